#include "AddressLookups.h"

#include "Db.h"
#include "Fmt.h"
#include "MemberTables.h"

#include <QComboBox>
#include <QSet>
#include <QSqlQuery>

namespace {

struct AddressTable {
    const char *table;
    const char *idColumn;
    const char *textColumn;
    int width; // characters a stored text keeps
};

const AddressTable kTables[] = {
    {"city", "CityID", "City", 50},
    {"zip", "ZipID", "Zip", 10},
    {"school", "SchoolID", "School", 100},
};

QString name(const char *s)
{
    return QLatin1String(s);
}

const AddressTable &addressTable(AddressKind kind)
{
    return kTables[static_cast<int>(kind)];
}

QStringList stateAbbreviations()
{
    QStringList out;
    QSqlQuery q = Db::query(QStringLiteral("select statea from state order by statea, rowid"));
    while (q.next())
        out << Fmt::nz(q.value(0));
    return out;
}

} // namespace

namespace MemberTables {

QStringList distinctTexts(const QString &sql)
{
    QStringList found;
    QSqlQuery q = Db::query(sql);
    while (q.next())
        found << Fmt::nz(q.value(0));
    // Each value once, case ignored (the first as stored), in name order.
    return Db::distinctNames(found);
}

} // namespace MemberTables


qint32 LookupAddressId(AddressKind kind, const QString &text)
{
    const AddressTable &t = addressTable(kind);
    const QVariant id = Db::scalar(QStringLiteral("select %1 from %2 where ucase(%3) = ? order by %1 limit 1")
                                       .arg(name(t.idColumn), name(t.table), name(t.textColumn)),
                                   {Db::upper(text)});
    return id.isValid() && !id.isNull() ? qint32(id.toLongLong()) : 0;
}

QString LookupAddressText(AddressKind kind, qint32 id)
{
    const AddressTable &t = addressTable(kind);
    QSqlQuery q = Db::query(QStringLiteral("select %1 from %2 where %3 = ?")
                                .arg(name(t.textColumn), name(t.table), name(t.idColumn)),
                            {id});
    return q.next() ? Fmt::nz(q.value(0)) : QString();
}

qint32 LearnAddressText(AddressKind kind, const QString &typed)
{
    const AddressTable &t = addressTable(kind);
    const QString text = Fmt::cut(typed, t.width);
    if (text.trimmed().isEmpty())
        return 0;
    if (const qint32 id = LookupAddressId(kind, text))
        return id;
    Db::exec(QStringLiteral("insert into %1 (%2, %3) values (?, ?)")
                 .arg(name(t.table), name(t.textColumn), Db::keyColumn(name(t.table), name(t.textColumn))),
             {text, Db::nameKey(text)});
    return qint32(Db::lastInsertId());
}

QStringList AddressValues(AddressKind kind)
{
    const AddressTable &t = addressTable(kind);
    return MemberTables::distinctTexts(
        QStringLiteral("select %1 from %2 order by %3").arg(name(t.textColumn), name(t.table), name(t.idColumn)));
}

void FillStateCombo(QComboBox *list)
{
    if (!list)
        return;
    // Read first: a failing query leaves the list as it was.
    const QStringList states = stateAbbreviations();
    list->clear();
    list->addItems(states);
    list->addItem(QStringLiteral(" "));
}

qint32 GetCityID(const QString &text)
{
    return LookupAddressId(AddressKind::City, text);
}

qint32 GetZipID(const QString &text)
{
    return LookupAddressId(AddressKind::Zip, text);
}

qint32 GetSchoolID(const QString &text)
{
    return LookupAddressId(AddressKind::School, text);
}

QString GetCityName(qint32 id)
{
    return LookupAddressText(AddressKind::City, id);
}

QString GetZipText(qint32 id)
{
    return LookupAddressText(AddressKind::Zip, id);
}

QString GetSchoolName(qint32 id)
{
    return LookupAddressText(AddressKind::School, id);
}
