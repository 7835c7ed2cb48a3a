#include "RefKinds.h"

#include "Db.h"
#include "Fmt.h"
#include "Forms.h"
#include "LinkTables.h"

namespace {

// Designed positions are in twips; at 96 dots per inch 15 twips make a pixel.
QRect tw(int left, int top, int width, int height)
{
    return QRect(left / 15, top / 15, width / 15, height / 15);
}

// The link tables that refer to entries of a kind: the collections',
// the anthems' and the members' (memberRefusal: the members' own refusal).
QList<RefUse> linkUses(CheckGridKind kind, const char *memberRefusal = nullptr)
{
    QList<RefUse> uses;
    for (RecordKind owner : {RecordKind::Collection, RecordKind::Anthem, RecordKind::Member})
        if (const LinkTable *t = LinkTables::link(owner, kind))
            uses.append({t->table, t->itemColumn, owner == RecordKind::Member ? memberRefusal : nullptr});
    return uses;
}

QList<RefKind> buildKinds()
{
    QList<RefKind> k;
    k.append({RefKindId::Theme, ThemeFormCode, "ThemeForm", "Themes", "ThemeGrid",
              "themes", "themeid", "theme", "Description", 30,
              "Theme", "Theme Description", 3, 8,
              "btnAddTheme", "btnModifyTheme", "btnDeleteTheme",
              "Add New Theme", "Modify Selected Theme", "Delete Selected Theme",
              "Do you wish to delete the Theme: ",
              linkUses(CheckGridKind::Themes),
              "The selected theme is assigned to a collection or anthem",
              "The theme cannot be deleted...", "Theme Delete", "theme",
              tw(0, 0, 6525, 4830), tw(30, 90, 6405, 4245), tw(15, 4455, 1635, 330),
              tw(1680, 4455, 2085, 330), tw(3765, 4455, 2085, 330), tw(5850, 4455, 660, 330)});
    k.append({RefKindId::Vocals, VocalsFormCode, "VocalsForm", "Vocalization - Music", "VocalsGrid",
              "vocals", "vocalsid", "vocals", nullptr, 20,
              "Vocalizing", nullptr, 1, 6,
              "btnAddVocals", "btnModifyVocals", "btnDeleteVocals",
              "Add New", "Modify Selected", "Delete Selected",
              "Do you wish to delete the Vocalization: ",
              linkUses(CheckGridKind::Vocals),
              "The selected vocalization is assigned to a collection or anthem",
              "The vocalization cannot be deleted...", "Vocal Delete", "vocalization",
              tw(0, 0, 5025, 5265), tw(15, 15, 3270, 5205), tw(3330, 15, 1605, 330),
              tw(3330, 375, 1605, 330), tw(3330, 750, 1605, 330), tw(4350, 4905, 660, 330)});
    k.append({RefKindId::Composer, ComposerFormCode, "ComposerForm", "Arrangers/Composers", "ComposerGrid",
              "composer", "composerid", "composer", nullptr, 100,
              "Arranger/Composer", nullptr, 2, 7,
              "btnAddComposer", "btnModifyComposer", "btnDeleteComposer",
              "Add New", "Modify Selected", "Delete Selected",
              "Do you wish to delete the Composer: ",
              linkUses(CheckGridKind::Composers),
              "The selected Composer is assigned to a collection or anthem",
              "The Composer cannot be deleted...", "Composer Delete", "composer/arranger",
              tw(0, 0, 4950, 5280), tw(0, 0, 3270, 5205), tw(3330, 15, 1605, 330),
              tw(3330, 375, 1605, 330), tw(3330, 750, 1605, 330), tw(4290, 4950, 660, 315)});
    // Members' instruments are orchestration entries too: an instrument a
    // member still plays must not vanish from under the member.
    k.append({RefKindId::Orchestration, OrchestrationFormCode, "OrchestrationForm", "Orchestration",
              "OrchestrationGrid", "orchestration", "orchid", "orchestration", nullptr, 100,
              "Orchestration/Instrument", nullptr, 5, 0,
              "btnAddOrchestration", "btnModifyOrchestration", "btnDeleteOrchestration",
              "Add New", "Modify Selected", "Delete Selected",
              "Do you wish to delete the Orchestration: ",
              linkUses(CheckGridKind::Orchestration, "The selected orchestration is assigned to a member"),
              "The selected orchestration is assigned to a collection or anthem",
              "The orchestration cannot be deleted...", "Orchestration Delete", "orchestration",
              tw(0, 0, 4995, 5175), tw(0, 15, 3270, 5115), tw(3330, 30, 1605, 330),
              tw(3330, 390, 1605, 330), tw(3330, 765, 1605, 330), tw(4320, 4845, 660, 315)});
    // A choir also names the schedule entries and performed dates it sings;
    // deleting it would leave them pointing at nothing.
    k.append({RefKindId::Choir, ChoirFormCode, "ChoirForm", "Choirs", "ChoirGrid",
              "choir", "ChoirID", "choir", "Description", 100,
              "Choir", "Choir Description", 4, 9,
              "btnAddChoir", "btnModifyChoir", "btnDeleteChoir",
              "Add New Choir", "Modify Selected Choir", "Delete Selected Choir",
              "Do you wish to delete the Choir: ",
              linkUses(CheckGridKind::Choirs) + QList<RefUse>{
               {"schedule", "ChoirID", "The selected choir is still on the schedule"},
               {"a_lperform", "ChoirID", "The selected choir is named in performed dates"},
               {"col_lperform", "ChoirID", "The selected choir is named in performed dates"}},
              "The selected choir is assigned to a collection, anthem, or still has members",
              "The Choir cannot be deleted...", "Choir Delete", "choir",
              tw(0, 0, 6555, 3555), tw(0, 0, 6510, 3105), tw(0, 3210, 1635, 330),
              tw(1635, 3210, 2085, 330), tw(3735, 3210, 2085, 330), tw(5835, 3210, 660, 330)});
    k.append({RefKindId::Section, VocalsMFormCode, "VocalsMForm", "Sections - Members", "VocalsMGrid",
              "vocalsm", "vocalsmid", "vocals", nullptr, 20,
              "Sections", nullptr, 10, 11,
              "btnAddVocals", "btnModifyVocals", "btnDeleteVocals",
              "Add New", "Modify Selected", "Delete Selected",
              "Do you wish to delete the Section: ",
              linkUses(CheckGridKind::Sections),
              "The selected section is assigned to a member",
              "The section cannot be deleted...", "Vocal Delete", "section",
              tw(0, 0, 4965, 5325), tw(0, 0, 3270, 5280), tw(3315, 0, 1605, 330),
              tw(3315, 360, 1605, 330), tw(3315, 735, 1605, 330), tw(4290, 5010, 660, 300)});
    k.append({RefKindId::City, CityFormCode, "CityForm", "Cities", "CityGrid",
              "city", "CityID", "City", nullptr, 50,
              "City", nullptr, 12, 13,
              "btnAddCity", "btnModifyCity", "btnDeleteCity",
              "Add New", "Modify Selected", "Delete Selected",
              "Do you wish to delete the City: ",
              {{"member", "cityid"}},
              "The selected city is assigned to a member",
              "The city cannot be deleted...", "City Delete", "city",
              tw(0, 0, 4995, 5175), tw(0, 15, 3270, 5115), tw(3330, 30, 1605, 330),
              tw(3345, 390, 1605, 330), tw(3330, 765, 1605, 330), tw(4320, 4845, 660, 315)});
    k.append({RefKindId::Zip, ZipFormCode, "ZipForm", "ZipCodes", "ZipGrid",
              "zip", "ZipID", "Zip", nullptr, 10,
              "ZipCode", nullptr, 14, 15,
              "btnAddZip", "btnModifyZip", "btnDeleteZip",
              "Add New", "Modify Selected", "Delete Selected",
              "Do you wish to delete the ZipCOde: ",
              {{"member", "zipid"}},
              "The selected zipcode is assigned to a member",
              "The zipcode cannot be deleted...", "ZipCode Delete", "zipcode",
              tw(0, 0, 4995, 5175), tw(0, 15, 3270, 5115), tw(3330, 30, 1605, 330),
              tw(3345, 390, 1605, 330), tw(3330, 765, 1605, 330), tw(4320, 4845, 660, 315)});
    k.append({RefKindId::School, SchoolFormCode, "SchoolForm", "Schools", "SchGrid",
              "school", "SchoolID", "School", nullptr, 100,
              "School", nullptr, 16, 17,
              "btnAddSch", "btnModifySch", "btnDeleteSch",
              "Add New", "Modify Selected", "Delete Selected",
              "Do you wish to delete the school: ",
              {{"member", "schoolid"}},
              "The selected school is assigned to a member",
              "The school cannot be deleted...", "School Delete", "school",
              tw(0, 0, 4995, 5175), tw(45, 30, 3240, 5115), tw(3330, 30, 1605, 330),
              tw(3345, 390, 1605, 330), tw(3330, 765, 1605, 330), tw(4320, 4845, 660, 315)});
    return k;
}

QString q(const char *s)
{
    return QString::fromLatin1(s);
}

// The columns the add/edit dialog writes and their values.
void entryColumns(const RefKind &kind, const RefEntry &entry, const QString &choirInfo, QStringList &columns,
                  Params &values)
{
    columns << q(kind.nameColumn) << Db::keyColumn(q(kind.table), q(kind.nameColumn));
    values << entry.name << Db::nameKey(entry.name);
    if (kind.descColumn) {
        columns << q(kind.descColumn);
        values << entry.description;
    }
    if (kind.id == RefKindId::Choir) {
        columns << QStringLiteral("info");
        values << choirInfo;
    }
}

} // namespace

const QList<RefKind> &allRefKinds()
{
    static const QList<RefKind> kinds = buildKinds();
    return kinds;
}

const RefKind &refKind(RefKindId id)
{
    return allRefKinds().at(int(id));
}

namespace RefData {

QList<RefEntry> entries(const RefKind &kind)
{
    const QString desc = kind.descColumn ? QStringLiteral("coalesce(%1, '')").arg(q(kind.descColumn))
                                         : QStringLiteral("''");
    const QString sql = QStringLiteral("select %1, coalesce(%2, ''), %3 from %4 order by %5, %1")
                            .arg(q(kind.idColumn), q(kind.nameColumn), desc, q(kind.table),
                                 Db::keyColumn(q(kind.table), q(kind.nameColumn)));
    QSqlQuery query = Db::query(sql);
    QList<RefEntry> list;
    while (query.next())
        list.append({query.value(0).toInt(), query.value(1).toString(), query.value(2).toString()});
    return list;
}

const RefUse *firstUse(const RefKind &kind, qint32 id)
{
    for (const RefUse &use : kind.uses) {
        const QString sql = QStringLiteral("select 1 from %1 where %2 = ? limit 1").arg(q(use.table), q(use.column));
        if (Db::exists(sql, {id}))
            return &use;
    }
    return nullptr;
}

DeleteResult deleteEntry(const RefKind &kind, qint32 id, const RefUse **use)
{
    Db::Transaction tx;
    if (const RefUse *u = firstUse(kind, id)) {
        if (use)
            *use = u;
        return DeleteResult::InUse;
    }
    Db::exec(QStringLiteral("delete from %1 where %2 = ?").arg(q(kind.table), q(kind.idColumn)), {id});
    tx.commit();
    return DeleteResult::Deleted;
}

QString refusalText(const RefKind &kind, const RefUse *use)
{
    const char *first = use && use->refusal ? use->refusal : kind.refusal1;
    return q(first) + QLatin1Char('\n') + q(kind.refusal2);
}

bool nameExists(const RefKind &kind, const QString &name, qint32 exceptId)
{
    const QString sql = QStringLiteral("select 1 from %1 where ucase(trim(coalesce(%2, ''))) = ? and %3 <> ? limit 1")
                            .arg(q(kind.table), q(kind.nameColumn), q(kind.idColumn));
    return Db::exists(sql, {Db::upper(name.trimmed()), exceptId});
}

void addEntry(const RefKind &kind, const RefEntry &entry, const QString &choirInfo)
{
    QStringList columns;
    Params values;
    entryColumns(kind, entry, choirInfo, columns, values);
    QStringList marks;
    for (int i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?");
    Db::exec(QStringLiteral("insert into %1 (%2) values (%3)")
                 .arg(q(kind.table), columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))),
             values);
}

void updateEntry(const RefKind &kind, const RefEntry &entry, const QString &choirInfo)
{
    QStringList columns;
    Params values;
    entryColumns(kind, entry, choirInfo, columns, values);
    QStringList sets;
    for (const QString &c : columns)
        sets << c + QStringLiteral(" = ?");
    values << entry.id;
    Db::exec(QStringLiteral("update %1 set %2 where %3 = ?")
                 .arg(q(kind.table), sets.join(QStringLiteral(", ")), q(kind.idColumn)),
             values);
}

QString choirInfo(qint32 choirId)
{
    return Fmt::nz(Db::scalar(QStringLiteral("select info from choir where choirid = ?"), {choirId}));
}

} // namespace RefData
