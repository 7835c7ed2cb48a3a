#pragma once
// Writes a realistic large choir library into a new database file through
// the program's own schema, for the benchmarks.

#include <QString>

struct LibrarySize {
    int anthems = 100000;
    int collections = 10000;
    int composers = 2000;
    int themes = 300;
    int choirs = 20;
    int vocals = 30;
    int orchestrations = 80;
    int scheduleRows = 3000;
    // Choir members, with the cities, zip codes, schools and member
    // sections their addresses and links use (choirs and instruments are
    // the library's choirs and orchestration).
    int members = 20000;
    int cities = 150;
    int zips = 400;
    int schools = 120;
    int sections = 12;
    unsigned seed = 1997;
};

// Creates `path` (which must not exist) and fills it. False with *error on failure.
bool generateLibrary(const QString &path, const LibrarySize &size, QString *error);
