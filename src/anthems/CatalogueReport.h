#pragma once
// What the anthem and collections reports print alike of a catalogue
// record (CatalogueFields): the columns a slice reads, as stored, and the
// lines from "Catalog #: " to "Loaned To: " of the record's block.

#include "CatalogueRecord.h"

#include <QDate>
#include <QString>
#include <QVariant>

class ReportPrinter;
namespace Db {
class Statement;
}

struct CatalogueReportRow {
    QVariant catalog, location, datePurchased, cost, copies, pages, performTime, loanedTo;
    QVariant u[5];
    QDate lastPerformed; // the latest performance; invalid when there is none

    // How many columns read() takes.
    static constexpr int ColumnCount = 14;
    // The columns for a slice's statement, in the order read() takes them,
    // of the table under the alias given: the catalogue columns as stored,
    // then the latest performed date.
    static QString columns(const CatalogueTables &t, const char *alias);
    // Reads the columns of the current row, the first at column `first`
    // (read raw: a report may read every record of a large library).
    void read(const Db::Statement &q, int first);

    // The lines in their order, each when it has something to show: the
    // catalog number, the location, the dates (the last performed date and
    // the purchase date), the cost and the copies (numeric and not 0), the
    // pages, the performance time and the loaned-to text.
    void draw(ReportPrinter &p) const;
};
