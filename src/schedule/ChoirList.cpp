#include "ChoirList.h"

#include "Db.h"
#include "Fmt.h"

#include <QComboBox>
#include <QSqlQuery>

QVector<ChoirItem> ChoirItems()
{
    QVector<ChoirItem> items;
    QSqlQuery q = Db::query(QStringLiteral("select ChoirID, choir from choir order by choirkey, ChoirID"));
    while (q.next())
        items.append(ChoirItem{q.value(0).toInt(), Fmt::nz(q.value(1))});
    return items;
}

void FillChoirCombo(QComboBox *combo)
{
    if (!combo)
        return;
    const QVector<ChoirItem> items = ChoirItems();
    const QSignalBlocker quiet(combo);
    combo->clear();
    for (const ChoirItem &c : items)
        combo->addItem(c.name, c.id);
    combo->setCurrentIndex(items.isEmpty() ? -1 : 0);
}

qint32 GetChoirID(const QString &name)
{
    const QVariant id = Db::scalar(QStringLiteral("select ChoirID from choir where ucase(choir) = ? "
                                                  "order by ChoirID limit 1"),
                                   {Db::upper(name)});
    return id.isValid() ? id.toInt() : -1;
}

qint32 ChosenChoirId(const QComboBox *combo)
{
    if (!combo || combo->currentIndex() < 0)
        return -1;
    const QVariant id = combo->currentData();
    return id.isValid() ? id.toInt() : -1;
}

bool ChooseChoir(QComboBox *combo, qint32 choirId)
{
    if (!combo)
        return false;
    const int at = combo->findData(choirId);
    combo->setCurrentIndex(at);
    return at >= 0;
}
