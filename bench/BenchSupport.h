#pragma once
// What the anthem benchmarks share: their command line ("[library]
// [--size N]"), the library generated on first use, the work copy, medians,
// the peak memory and the figures printed beside their targets.
//
// The targets depend on the size of the library: those of 100,000
// anthems, those of 1,000,000, or none for other sizes.

#include "Db.h"
#include "LibraryGenerator.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace bench {

struct Options {
    QString library;
    int size = 100000;
    // Arguments the benchmark reads itself ("--exports").
    QStringList flags;
};

// "[library] [--size N] [--flag ...]": the library file given, else the
// default of 100,000 anthems, else /tmp/velmora-anthems-<N>.mdb.
inline Options parse(int argc, char **argv, const QString &defaultLibrary)
{
    Options o;
    bool sized = false;
    for (int i = 1; i < argc; ++i) {
        const QString a = QString::fromLocal8Bit(argv[i]);
        if (a == QLatin1String("--size") && i + 1 < argc) {
            o.size = QString::fromLocal8Bit(argv[++i]).toInt();
            sized = true;
        } else if (a.startsWith(QLatin1String("--"))) {
            o.flags << a;
        } else {
            o.library = a;
        }
    }
    if (o.size < 1)
        o.size = 100000;
    if (o.library.isEmpty())
        o.library = sized && o.size != 100000 ? QStringLiteral("/tmp/velmora-anthems-%1.mdb").arg(o.size) : defaultLibrary;
    return o;
}

// Generates the library when its file does not exist yet.
inline bool ensureLibrary(const Options &o)
{
    if (QFileInfo::exists(o.library))
        return true;
    std::printf("  generating %s with %d anthems (once; a million take a few minutes and over a gigabyte) ...\n",
                qPrintable(o.library), o.size);
    std::fflush(stdout);
    QElapsedTimer t;
    t.start();
    LibrarySize size;
    size.anthems = o.size;
    QString error;
    if (!generateLibrary(o.library, size, &error)) {
        std::fprintf(stderr, "cannot generate %s: %s\n", qPrintable(o.library), qPrintable(error));
        return false;
    }
    std::printf("  generated in %.1f s\n", t.elapsed() / 1000.0);
    return true;
}

// Copies the library into the folder and opens the copy: the runs never
// change the library itself.
inline bool openCopy(const Options &o, const QTemporaryDir &dir)
{
    const QString work = dir.filePath(QStringLiteral("hxdata97.mdb"));
    if (!dir.isValid() || !QFile::copy(o.library, work)) {
        std::fprintf(stderr, "cannot copy %s\n", qPrintable(o.library));
        return false;
    }
    QString error;
    if (!Db::open(work, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return false;
    }
    return true;
}

enum class Scale { Other, Hundred, Million };

// The size whose targets apply to a library of this many anthems.
inline Scale scaleOf(int anthems)
{
    if (anthems >= 900000 && anthems <= 1100000)
        return Scale::Million;
    if (anthems >= 90000 && anthems <= 110000)
        return Scale::Hundred;
    return Scale::Other;
}

inline double msSince(const QElapsedTimer &t)
{
    return t.nsecsElapsed() / 1e6;
}

// The median of several runs of a step, in milliseconds; before runs
// ahead of each, untimed.
inline double median(int runs, const std::function<void()> &step, const std::function<void()> &before = {})
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        if (before)
            before();
        QElapsedTimer t;
        t.start();
        step();
        times.push_back(msSince(t));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

inline double peakMemoryMb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong() / 1024.0;
    return -1;
}

// Prints figures beside their targets (a target of 0: none at this size)
// and counts those over.
class Figures {
public:
    void report(const char *what, double value, const char *unit, double target)
    {
        const bool ok = target <= 0 || value < target;
        if (!ok)
            ++m_over;
        if (target > 0)
            std::printf("  %-56s %9.1f %-3s (target < %g %s)%s\n", what, value, unit, target, unit,
                        ok ? "" : "  OVER TARGET");
        else
            std::printf("  %-56s %9.1f %s\n", what, value, unit);
        std::fflush(stdout);
    }
    // A figure beside the bare work it does (the same statements run
    // straight on SQLite): within factor times of it.
    void compare(const char *what, double value, double bare, double factor)
    {
        const bool ok = factor <= 0 || value <= bare * factor;
        if (!ok)
            ++m_over;
        std::printf("  %-56s %9.1f ms, bare %.1f ms: %.2f times%s%s\n", what, value, bare, bare > 0 ? value / bare : 0.0,
                    factor > 0 ? qPrintable(QStringLiteral(" (target within %1 times)").arg(factor)) : "",
                    ok ? "" : "  OVER TARGET");
        std::fflush(stdout);
    }
    void note(const QString &text)
    {
        std::printf("  %s\n", qPrintable(text));
        std::fflush(stdout);
    }
    void fail() { ++m_over; }
    int over() const { return m_over; }
    void summary() const
    {
        std::printf("\n%s\n", m_over ? "Some figures are over their targets." : "Every figure is within its target.");
    }

private:
    int m_over = 0;
};

} // namespace bench
