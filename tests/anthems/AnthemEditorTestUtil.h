#pragma once
// Helpers shared by the anthem editor tests: rows written straight to the
// database, and the editor driven through its controls as a user would
// (the record editors' common hands are EditorTestUtil's).

#include "AnthemForm.h"
#include "Db.h"
#include "EditorTestUtil.h"

#include <QCheckBox>
#include <QPushButton>

namespace ed {

using namespace editortest;

inline qint32 insertRow(const QString &sql, const Params &p = {})
{
    return testdb::insert(sql, p);
}

inline qint32 addAnthem(const QString &title, qint32 collection = 0)
{
    return insertRow("insert into anthem (Anthem, collectionid) values (?, ?)", {title, collection});
}

inline qint32 addRef(const char *table, const char *column, const QString &name)
{
    return insertRow(QStringLiteral("insert into %1 (%2) values (?)").arg(QLatin1String(table), QLatin1String(column)),
                     {name});
}

inline AnthemForm *open()
{
    OpenFormByCode(AnthemFormCode);
    return Forms::find<AnthemForm>(AnthemFormCode);
}

inline QString title(QWidget *f) { return edit(f, "AnthemName")->text(); }

inline void chooseCollection(QWidget *f, const QString &name) { choose(w<QComboBox>(f, "CollectionCombo"), name); }

inline QStringList linkedNames(const char *linkTable, const char *idColumn, const char *refTable,
                               const char *nameColumn, const char *refId, qint32 anthem)
{
    QStringList out = column(QStringLiteral("select r.%4 from %1 l join %3 r on r.%5 = l.%2 where l.anthemid = ?")
                                 .arg(QLatin1String(linkTable), QLatin1String(idColumn), QLatin1String(refTable),
                                      QLatin1String(nameColumn), QLatin1String(refId)),
                             {anthem});
    out.sort();
    return out;
}

} // namespace ed
