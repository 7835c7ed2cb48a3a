#pragma once
// The member editor opened through the form dispatcher and driven through
// its controls as a user would, for the member editor tests (the record
// editors' common hands are EditorTestUtil's).

#include "EditorTestUtil.h"
#include "MemberForm.h"
#include "MemberRegistration.h"
#include "MemberTestUtil.h"

#include <QSqlQuery>

namespace memberui {

using namespace editortest;

inline MemberForm *open()
{
    OpenFormByCode(MemberFormCode);
    return Forms::find<MemberForm>(MemberFormCode);
}

inline QString lastName(QWidget *f) { return list(f, "LName")->currentText(); }

// The rows of a grid ("name") or those ticked in a column.
inline QStringList rows(const CheckListGrid *g, int tickedColumn = 0)
{
    if (tickedColumn)
        return ticked(g, tickedColumn);
    QStringList out;
    for (int r = 1; r < g->Rows(); ++r)
        out << g->nameAt(r);
    out.sort();
    return out;
}

// A member's choir links as "Choir:isactive", by choir name.
inline QStringList choirLinks(qint32 member)
{
    return column("select c.choir || ':' || l.isactive from chr_m_l l join choir c on c.ChoirID = l.choirid"
                  " where l.memberid = ? order by c.choir",
                  {member});
}

// A member's row, Null read as an invalid QVariant.
inline QVariantList memberRow(qint32 id, const QString &columns)
{
    QSqlQuery q = Db::query("select " + columns + " from member where memberid = ?", {id});
    QVariantList out;
    if (q.next())
        for (int i = 0; i < columns.count(',') + 1; ++i)
            out << (q.value(i).isNull() ? QVariant() : q.value(i));
    return out;
}

inline qint32 addMember(const QString &last, const QString &first = QString(), const QString &middle = QString())
{
    return membertest::insert("insert into member (LName, FName, MName) values (?, ?, ?)", {last, first, middle});
}

} // namespace memberui
