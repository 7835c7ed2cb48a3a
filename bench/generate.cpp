// velmora-generate <database file> [anthems]: writes a large test library.
#include "LibraryGenerator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: velmora-generate <database file> [anthems]\n");
        return 2;
    }
    LibrarySize size;
    if (argc > 2)
        size.anthems = QString::fromLocal8Bit(argv[2]).toInt();
    QElapsedTimer t;
    t.start();
    QString error;
    if (!generateLibrary(QString::fromLocal8Bit(argv[1]), size, &error)) {
        std::fprintf(stderr, "velmora-generate: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("generated %d anthems in %.1f s\n", size.anthems, t.elapsed() / 1000.0);
    return 0;
}
