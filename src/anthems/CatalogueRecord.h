#pragma once
// What an anthem and a collection share as records of the choir library's
// catalogue: the catalogue fields with their widths, how they are read and
// stored, and the performed dates kept for each record. A collection is a
// catalogue record like an anthem: the collections library reuses this.

#include "Db.h"

#include <QDate>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <optional>

struct CatalogueFields {
    // Column widths: longer text is cut (by characters) when stored.
    static constexpr int CatalogWidth = 20;
    static constexpr int LocationWidth = 50;
    static constexpr int PagesWidth = 50;
    static constexpr int LoanedToWidth = 250;
    static constexpr int PerformTimeWidth = 50;

    QString catalog;
    QString location;
    QString memo1;
    QString pages;
    QString loanedTo;
    QString performTime;
    QString u[5];
    QDate datePurchased;               // invalid: none (Null)
    std::optional<double> costPerCopy; // nullopt: Null
    std::optional<qint64> numCopies;   // nullopt: Null
    // Loaded: the latest performed date. Saved: a date to record as
    // performed when the record does not have it yet (invalid: none).
    QDate lastPerformed;
};

// The tables of one kind of catalogue record.
struct CatalogueTables {
    const char *table;          // "anthem"
    const char *idColumn;       // "anthemid"
    const char *nameColumn;     // "Anthem"
    const char *keyColumn;      // "anthemkey", the name's order key
    const char *performedTable; // "a_lperform"
    const char *noun;           // "anthem", for messages
};

namespace CatalogueData {

// The two kinds of catalogue record.
extern const CatalogueTables Anthems;
extern const CatalogueTables Collections;

// How many catalogue columns a read takes.
constexpr int ColumnCount = 14;

// The statement that reads one record by id: its id (column 0), its name
// (1), the catalogue columns (from 2), then the columns of `more` (from
// MoreColumn on).
QString selectById(const CatalogueTables &t, const QString &more);
constexpr int MoreColumn = 2 + ColumnCount;

// Reads the catalogue columns of the current row, the first at column
// `first` (Null read as "", a number also when stored as text). The latest
// performed date is not among them.
void read(const QSqlQuery &q, int first, CatalogueFields &fields);

// The latest performed date of a record; invalid when it has none (a value
// that is no date counts as none).
QDate lastPerformed(const CatalogueTables &t, qint32 id);

// Writes a record's row in the caller's transaction: its name (cut to
// nameWidth) with its order key, the catalogue columns (texts cut to their
// widths), and the columns of `more` with their values; then the performed
// date, when given and not yet recorded. A new row when adding, else the
// row of id (DbError when it is gone). Returns the record's id.
qint32 write(const CatalogueTables &t, qint32 id, bool adding, const QString &name, int nameWidth,
             const CatalogueFields &fields, const QStringList &more = {}, const Params &moreValues = {});

} // namespace CatalogueData
