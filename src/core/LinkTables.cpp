#include "LinkTables.h"

#include "Db.h"

namespace {

const RefTable kRefTables[] = {
    {"vocals", "vocalsid", "vocals"},                   // Vocals
    {"themes", "themeid", "theme"},                     // Themes
    {"orchestration", "orchid", "orchestration"},       // Orchestration
    {"choir", "ChoirID", "choir"},                      // Choirs
    {"composer", "composerid", "composer"},             // Composers
    {"vocalsm", "vocalsmid", "vocals"},                 // Sections
};

struct OwnerLinks {
    RecordKind owner;
    CheckGridKind kind;
    LinkTable link;
};

// Per owner in the order its editor writes them.
const OwnerLinks kLinks[] = {
    {RecordKind::Collection, CheckGridKind::Themes, {"col_th_l", "collectionid", "themeid"}},
    {RecordKind::Collection, CheckGridKind::Vocals, {"col_v_l", "collectionid", "vocalsid"}},
    {RecordKind::Collection, CheckGridKind::Composers, {"col_com_l", "collectionid", "composerid"}},
    {RecordKind::Collection, CheckGridKind::Choirs, {"col_chr_l", "collectionid", "choirid"}},
    {RecordKind::Collection, CheckGridKind::Orchestration, {"col_orch_l", "collectionid", "orchid"}},
    {RecordKind::Anthem, CheckGridKind::Themes, {"a_th_l", "anthemid", "themeid"}},
    {RecordKind::Anthem, CheckGridKind::Vocals, {"a_v_l", "anthemid", "vocalsid"}},
    {RecordKind::Anthem, CheckGridKind::Composers, {"a_com_l", "anthemid", "composerid"}},
    {RecordKind::Anthem, CheckGridKind::Choirs, {"a_chr_l", "anthemid", "choirid"}},
    {RecordKind::Anthem, CheckGridKind::Orchestration, {"a_orch_l", "anthemid", "orchid"}},
    {RecordKind::Member, CheckGridKind::Choirs, {"chr_m_l", "memberid", "choirid", "isactive"}},
    {RecordKind::Member, CheckGridKind::Sections, {"m_vm_l", "memberid", "vocalsmid"}},
    {RecordKind::Member, CheckGridKind::Orchestration, {"m_orch_l", "memberid", "orchid"}},
};

} // namespace

namespace LinkTables {

const RefTable &reference(CheckGridKind kind)
{
    return kRefTables[static_cast<int>(kind)];
}

const LinkTable *link(RecordKind owner, CheckGridKind kind)
{
    for (const OwnerLinks &l : kLinks)
        if (l.owner == owner && l.kind == kind)
            return &l.link;
    return nullptr;
}

QList<const LinkTable *> linksOf(RecordKind owner)
{
    QList<const LinkTable *> out;
    for (const OwnerLinks &l : kLinks)
        if (l.owner == owner)
            out << &l.link;
    return out;
}

const char *recordTable(RecordKind kind)
{
    switch (kind) {
    case RecordKind::Collection: return "collection";
    case RecordKind::Anthem: return "anthem";
    case RecordKind::Member: return "member";
    }
    return "";
}

const char *recordIdColumn(RecordKind kind)
{
    switch (kind) {
    case RecordKind::Collection: return "collectionid";
    case RecordKind::Anthem: return "anthemid";
    case RecordKind::Member: return "memberid";
    }
    return "";
}

void rewrite(RecordKind owner, qint32 id, const QList<LinkChoice> &choices)
{
    Db::Transaction tx;
    for (const LinkChoice &c : choices) {
        const LinkTable *t = link(owner, c.kind);
        if (!t)
            continue;
        const QString table = QLatin1String(t->table);
        const QString ownerColumn = QLatin1String(t->ownerColumn);
        Db::exec(QStringLiteral("delete from %1 where %2 = ?").arg(table, ownerColumn), {id});
        if (t->activeColumn) {
            const QString insert = QStringLiteral("insert into %1 (%2, %3, %4) values (?, ?, ?)")
                                       .arg(table, ownerColumn, QLatin1String(t->itemColumn),
                                            QLatin1String(t->activeColumn));
            for (qint32 linked : c.ids)
                Db::exec(insert, {id, linked, c.activeIds.contains(linked) ? -1 : 0});
        } else {
            const QString insert = QStringLiteral("insert into %1 (%2, %3) values (?, ?)")
                                       .arg(table, ownerColumn, QLatin1String(t->itemColumn));
            for (qint32 linked : c.ids)
                Db::exec(insert, {id, linked});
        }
    }
    tx.commit();
}

void deleteAll(RecordKind owner, qint32 id)
{
    Db::Transaction tx;
    for (const LinkTable *t : linksOf(owner))
        Db::exec(QStringLiteral("delete from %1 where %2 = ?").arg(QLatin1String(t->table), QLatin1String(t->ownerColumn)),
                 {id});
    tx.commit();
}

} // namespace LinkTables
