#pragma once
// A small schedule and a user's hands on the schedule windows, shared by
// the schedule tests.

#include "ChangeNotifier.h"
#include "Db.h"
#include "Fmt.h"
#include "Module.h"
#include "TestSupport.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDate>
#include <QtTest>

namespace schedtest {

using testdb::count;
using testdb::insert;

inline qint32 choir(const QString &name, const QVariant &info = QVariant())
{
    return insert("insert into choir (choir, info) values (?, ?)", {name, info});
}

inline qint32 anthem(const QString &title, qint32 collection = 0)
{
    return insert("insert into anthem (Anthem, collectionid) values (?, ?)", {title, collection});
}

inline qint32 collection(const QString &title)
{
    return insert("insert into collection (Collection) values (?)", {title});
}

inline qint32 composer(const QString &name)
{
    return insert("insert into composer (composer) values (?)", {name});
}

// One schedule row; slot 0 call, 1 anthem, 2 offertory, 3 benediction.
inline qint32 entry(qint32 choirId, const QDate &d, const QString &ampm, int slot, qint32 anthemId = 0,
                    qint32 collectionId = 0, const QString &other = QString())
{
    return insert("insert into schedule (ChoirID, SchedDate, AMPM, call, Anthem, Offertory, Benediction, other, "
                  "collectionid, anthemid) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                  {choirId, Fmt::dateToDb(d), ampm, slot == 0 ? -1 : 0, slot == 1 ? -1 : 0, slot == 2 ? -1 : 0,
                   slot == 3 ? -1 : 0, other, collectionId, anthemId});
}

inline void notes(const QDate &d, const QString &ampm, const QString &text)
{
    Db::exec("insert into schednotes (SchedDate, AMPM, notes) values (?, ?, ?)", {Fmt::dateToDb(d), ampm, text});
}

inline void click(QObject *parent, const QString &name)
{
    auto *b = parent->findChild<QAbstractButton *>(name);
    QVERIFY2(b, qPrintable(name));
    b->click();
}

// Chooses an item of a combo as the user does.
inline void choose(QComboBox *combo, int index)
{
    QVERIFY(combo);
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

} // namespace schedtest
