#pragma once
// Helpers of the collection editor tests: the editor opened through the
// dispatcher and driven through its controls as a user would (the record
// editors' common helpers come from the anthem editor tests).

#include "../anthems/AnthemEditorTestUtil.h"
#include "CollectionForm.h"
#include "CollectionRegistration.h"
#include "CollectionTestUtil.h"
#include "Fmt.h"

#include <QHeaderView>
#include <QTableWidget>

namespace colform {

using namespace ed;

inline CollectionForm *openCollections()
{
    OpenFormByCode(CollectionFormCode);
    return Forms::find<CollectionForm>(CollectionFormCode);
}

inline QString nameOf(QWidget *f) { return edit(f, "CollectionName")->text(); }

inline QTableWidget *anthemsGrid(QWidget *f) { return w<QTableWidget>(f, "AnthemsGrid"); }

// The titles the anthems grid lists, top to bottom.
inline QStringList anthemTitles(QWidget *f)
{
    QStringList out;
    QTableWidget *g = anthemsGrid(f);
    for (int r = 0; r < g->rowCount(); ++r)
        out << g->item(r, 1)->text();
    return out;
}

// The user double-clicks an anthem of the grid (its page must show).
inline void doubleClickAnthem(QWidget *f, const QString &title)
{
    w<QTabWidget>(f, "SSTab1")->setCurrentIndex(0);
    QTableWidget *g = anthemsGrid(f);
    for (int r = 0; r < g->rowCount(); ++r) {
        if (g->item(r, 1)->text() != title)
            continue;
        doubleClick(g->viewport(), g->visualItemRect(g->item(r, 1)).center());
        return;
    }
    QFAIL(qPrintable(QStringLiteral("no anthem %1").arg(title)));
}

inline QString text(const QString &sql, const Params &p = {})
{
    return Fmt::nz(Db::scalar(sql, p));
}

} // namespace colform
