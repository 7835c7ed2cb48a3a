// Build step: writes the empty template database from schema.sql.
#include "Schema.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: velmora-mktemplate <output file>\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QFile::remove(out);
    QString error;
    if (!Schema::createDatabaseFile(out, &error)) {
        std::fprintf(stderr, "velmora-mktemplate: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
