#pragma once
// Writes a realistic large choir library into a new database file through
// the program's own schema, for the benchmarks.

#include <QDate>
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

// The service schedule the schedule benchmarks share: every Sunday from
// the first one after today over the coming months, an AM and a PM
// service each, at each service a few choirs with one to four slots each
// (mostly anthems, some collections, some other text alone or beside a
// title), notes on most services, and information texts for all choirs
// and for every other choir. All of it lies in the future, as after the
// start-up archive.
struct ServiceScheduleShape {
    int choirs = 20;
    int months = 12;
    int minChoirsPerService = 3;
    int maxChoirsPerService = 4;
    int notesPercent = 80;
    unsigned seed = 2027;
    // When above 0: the choir first in name order (the one the schedule
    // viewer opens on) has this many entries instead, 1 to 4 at each AM
    // and PM service of every day from the first Sunday on, with notes
    // on most of those services as above.
    int oneChoirEntries = 0;
};

// Replaces the schedule, its notes and its information texts in an
// existing library file (adding choirs when it has fewer). False with
// *error on failure.
bool writeServiceSchedule(const QString &path, const ServiceScheduleShape &shape, const QDate &today,
                          QString *error);
