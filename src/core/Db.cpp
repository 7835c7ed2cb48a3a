#include "Db.h"

#include "Cursor.h"
#include "DbFile.h"
#include "DbStatement.h"

#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlRecord>
#include <sqlite3.h>

#include <algorithm>
#include <vector>

namespace {

const char *const kMainConnection = "velmora_main";
int g_txDepth = 0;
int g_savepointSeq = 0;

QString fromSqlite(const unsigned char *text, int bytes)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(text), bytes);
}

void upperFunc(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (argc != 1 || sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const QByteArray up =
        Db::upper(fromSqlite(sqlite3_value_text(argv[0]), sqlite3_value_bytes(argv[0]))).toUtf8();
    sqlite3_result_text(ctx, up.constData(), int(up.size()), SQLITE_TRANSIENT);
}

void nameKeyFunc(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (argc != 1 || sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_text(ctx, "", 0, SQLITE_STATIC);
        return;
    }
    const QByteArray key =
        Db::nameKey(fromSqlite(sqlite3_value_text(argv[0]), sqlite3_value_bytes(argv[0]))).toUtf8();
    sqlite3_result_text(ctx, key.constData(), int(key.size()), SQLITE_TRANSIENT);
}

// Printable ASCII, where the key is the name upper-cased.
bool isPlain(const QString &s)
{
    for (const QChar c : s) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u > 0x7e)
            return false;
    }
    return true;
}

char16_t plainUpper(char16_t c)
{
    return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c;
}

// UTF-16 units reordered so that comparing them compares code points:
// surrogates (U+D800..U+DFFF) stand for characters above U+FFFF.
char16_t inCodePointOrder(char16_t u)
{
    if (u >= 0xd800)
        return u >= 0xe000 ? char16_t(u - 0x800) : char16_t(u + 0x2000);
    return u;
}

bool isOnlyComments(const QString &statement)
{
    for (const QString &line : statement.split(QLatin1Char('\n'))) {
        const QString t = line.trimmed();
        if (!t.isEmpty() && !t.startsWith(QLatin1String("--")))
            return false;
    }
    return true;
}

int compareCodePoints(const QString &a, const QString &b)
{
    const qsizetype n = std::min(a.size(), b.size());
    const QChar *pa = a.constData();
    const QChar *pb = b.constData();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t x = pa[i].unicode();
        const char16_t y = pb[i].unicode();
        if (x != y)
            return inCodePointOrder(x) < inCodePointOrder(y) ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

sqlite3 *handleOf(QSqlDatabase &db)
{
    const QVariant v = db.driver()->handle();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(v.data());
}

QString describe(const QSqlError &e)
{
    QString text = e.databaseText().isEmpty() ? e.text() : e.databaseText();
    return text.trimmed();
}

void bindAll(QSqlQuery &q, const Params &params)
{
    for (int i = 0; i < params.size(); ++i)
        q.bindValue(i, params.at(i));
}

} // namespace

namespace Db {

QString upper(const QString &text)
{
    return text.toUpper();
}

bool installFunctions(sqlite3 *h)
{
    if (!h)
        return false;
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    // Only names of our own: an index or check of the user's that calls
    // SQLite's upper() must get SQLite's values from us too, or rows we
    // write no longer match it.
    return sqlite3_create_function(h, "ucase", 1, flags, nullptr, upperFunc, nullptr, nullptr) == SQLITE_OK
        && sqlite3_create_function(h, "namekey", 1, flags, nullptr, nameKeyFunc, nullptr, nullptr) == SQLITE_OK;
}

bool installFunctions(QSqlDatabase &db, QString *error)
{
    sqlite3 *h = handleOf(db);
    if (!h) {
        if (error)
            *error = QStringLiteral("The SQLite driver gave no connection handle.");
        return false;
    }
    if (!installFunctions(h)) {
        if (error)
            *error = QString::fromUtf8(sqlite3_errmsg(h));
        return false;
    }
    return true;
}

QSqlDatabase openNamed(const QString &name, const QString &path, bool mayCreate, QString *error)
{
    if (!mayCreate && !QFileInfo(path).isFile()) {
        if (error)
            *error = QStringLiteral("The file \"%1\" does not exist.").arg(path);
        return {};
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(path);
    if (!mayCreate)
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=3000"));
    if (!db.open()) {
        if (error)
            *error = describe(db.lastError());
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
        return {};
    }
    QString why;
    bool ready = installFunctions(db, &why);
    if (ready && !mayCreate) {
        try {
            installKeyTriggers(db);
        } catch (const DbError &e) {
            why = e.message();
            ready = false;
        }
    }
    if (!ready) {
        if (error)
            *error = why;
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
        return {};
    }
    return db;
}

void closeNamed(const QString &name)
{
    {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        if (db.isValid())
            db.close();
    }
    if (QSqlDatabase::contains(name))
        QSqlDatabase::removeDatabase(name);
}

// Each mends the key when it is not the name's: a statement that left it
// out, or a stored trigger that cleared it (the name changed only in the
// case of a letter SQLite's upper() does not know).
void installKeyTriggers(QSqlDatabase &db)
{
    for (const NameKeyColumn &c : nameKeyColumns()) {
        const QString table = QLatin1String(c.table);
        const QString id = QLatin1String(c.idColumn);
        const QString name = QLatin1String(c.nameColumn);
        const QString key = QLatin1String(c.keyColumn);
        const QString mend = QStringLiteral(" WHEN new.%1 IS NOT namekey(new.%2) BEGIN UPDATE %3 SET %1 = "
                                            "namekey(new.%2) WHERE %4 = new.%4; END")
                                 .arg(key, name, table, id);
        exec(db, QStringLiteral("CREATE TEMP TRIGGER IF NOT EXISTS velmora_%1_%2_insert AFTER INSERT ON main.%1")
                     .arg(table, key) + mend);
        exec(db, QStringLiteral("CREATE TEMP TRIGGER IF NOT EXISTS velmora_%1_%2_update AFTER UPDATE OF %3, %2 ON main.%1")
                     .arg(table, key, name) + mend);
    }
}

bool open(const QString &path, QString *error)
{
    close();
    DbFile::Check check;
    {
        BusyCursor busy; // converting a database of the previous format takes a while
        check = DbFile::prepare(path, DbFile::PageCheck::Skip);
    }
    if (!check.ok()) {
        if (error)
            *error = check.message(path);
        return false;
    }
    QString why;
    QSqlDatabase db = openNamed(QLatin1String(kMainConnection), path, false, &why);
    if (!db.isValid()) {
        if (error)
            *error = QStringLiteral("The database \"%1\" could not be opened (%2).").arg(path, why);
        return false;
    }
    try {
        fillMissingNameKeys(db);
    } catch (const DbError &e) {
        if (error)
            *error = QStringLiteral("The database \"%1\" could not be made ready for use (%2).").arg(path, e.message());
        db = QSqlDatabase();
        closeNamed(QLatin1String(kMainConnection));
        return false;
    }
    return true;
}

void close()
{
    g_txDepth = 0;
    closeNamed(QLatin1String(kMainConnection));
}

bool isOpen()
{
    if (!QSqlDatabase::contains(QLatin1String(kMainConnection)))
        return false;
    return QSqlDatabase::database(QLatin1String(kMainConnection), false).isOpen();
}

QString path()
{
    if (!QSqlDatabase::contains(QLatin1String(kMainConnection)))
        return {};
    return QSqlDatabase::database(QLatin1String(kMainConnection), false).databaseName();
}

QSqlDatabase connection()
{
    QSqlDatabase db = QSqlDatabase::database(QLatin1String(kMainConnection), false);
    if (!db.isValid() || !db.isOpen())
        throw DbError(QStringLiteral("The database is not open."));
    return db;
}

QSqlQuery query(QSqlDatabase &db, const QString &sql, const Params &params)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        throw DbError(describe(q.lastError()));
    bindAll(q, params);
    if (!q.exec())
        throw DbError(describe(q.lastError()));
    return q;
}

QSqlQuery query(const QString &sql, const Params &params)
{
    QSqlDatabase db = connection();
    return query(db, sql, params);
}

int exec(QSqlDatabase &db, const QString &sql, const Params &params)
{
    QSqlQuery q = query(db, sql, params);
    return q.numRowsAffected();
}

int exec(const QString &sql, const Params &params)
{
    QSqlDatabase db = connection();
    return exec(db, sql, params);
}

QVariant scalar(const QString &sql, const Params &params)
{
    QSqlQuery q = query(sql, params);
    if (q.next())
        return q.value(0);
    return {};
}

bool exists(const QString &sql, const Params &params)
{
    QSqlQuery q = query(sql, params);
    return q.next();
}

qint64 lastInsertId()
{
    QSqlDatabase db = connection();
    sqlite3 *h = handleOf(db);
    if (!h)
        throw DbError(QStringLiteral("The SQLite driver gave no connection handle."));
    return sqlite3_last_insert_rowid(h);
}

QVector<QPair<qint32, QString>> idTextRows(const QString &sql, const Params &params)
{
    Statement rows(sql, params);
    QVector<QPair<qint32, QString>> out;
    while (rows.next())
        out.append({rows.integer(0), rows.text(1)});
    return out;
}

const QVector<NameKeyColumn> &nameKeyColumns()
{
    static const QVector<NameKeyColumn> columns = {
        {"anthem", "anthemid", "Anthem", "anthemkey"},
        {"collection", "collectionid", "Collection", "collectionkey"},
        {"member", "memberid", "LName", "lnamekey"},
        {"member", "memberid", "FName", "fnamekey"},
        {"member", "memberid", "MName", "mnamekey"},
        {"themes", "themeid", "theme", "themekey"},
        {"vocals", "vocalsid", "vocals", "vocalskey"},
        {"composer", "composerid", "composer", "composerkey"},
        {"orchestration", "orchid", "orchestration", "orchestrationkey"},
        {"choir", "ChoirID", "choir", "choirkey"},
        {"vocalsm", "vocalsmid", "vocals", "vocalskey"},
        {"city", "CityID", "City", "citykey"},
        {"zip", "ZipID", "Zip", "zipkey"},
        {"school", "SchoolID", "School", "schoolkey"},
    };
    return columns;
}

QString keyColumn(const QString &table, const QString &nameColumn)
{
    for (const NameKeyColumn &c : nameKeyColumns())
        if (table.compare(QLatin1String(c.table), Qt::CaseInsensitive) == 0
            && nameColumn.compare(QLatin1String(c.nameColumn), Qt::CaseInsensitive) == 0)
            return QLatin1String(c.keyColumn);
    return {};
}

QString nameKey(const QString &name)
{
    if (name.isEmpty())
        return QStringLiteral("");
    if (isPlain(name)) {
        QString key(name.size(), Qt::Uninitialized);
        QChar *out = key.data();
        for (const QChar c : name)
            *out++ = QChar(plainUpper(c.unicode()));
        return key;
    }
    const QString up = upper(name);
    const QString decomposed = up.normalized(QString::NormalizationForm_D);
    QString base;
    base.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        // Accents go; so do control characters, which also keeps the
        // separator below out of the first part.
        const QChar::Category cat = c.category();
        if (cat != QChar::Mark_NonSpacing && cat != QChar::Other_Control)
            base.append(c);
    }
    if (base == up)
        return up;
    return base + QChar(0x01) + up;
}

int compareNames(const QString &a, const QString &b)
{
    if (isPlain(a) && isPlain(b)) {
        const qsizetype n = std::min(a.size(), b.size());
        for (qsizetype i = 0; i < n; ++i) {
            const char16_t x = plainUpper(a.at(i).unicode());
            const char16_t y = plainUpper(b.at(i).unicode());
            if (x != y)
                return x < y ? -1 : 1;
        }
        return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
    }
    return compareCodePoints(nameKey(a), nameKey(b));
}

QStringList distinctNames(const QStringList &values)
{
    struct Item {
        QString key;
        qsizetype at;
    };
    std::vector<Item> items;
    items.reserve(values.size());
    for (qsizetype i = 0; i < values.size(); ++i)
        if (!values.at(i).isEmpty())
            items.push_back({nameKey(values.at(i)), i});
    std::stable_sort(items.begin(), items.end(),
                     [](const Item &x, const Item &y) { return compareCodePoints(x.key, y.key) < 0; });
    QStringList out;
    out.reserve(qsizetype(items.size()));
    const QString *previous = nullptr;
    for (const Item &item : items) {
        if (previous && item.key == *previous)
            continue;
        out.append(values.at(item.at));
        previous = &item.key;
    }
    return out;
}

int fillMissingNameKeys(QSqlDatabase &db)
{
    int filled = 0;
    for (const NameKeyColumn &c : nameKeyColumns()) {
        const QString table = QLatin1String(c.table);
        const QString id = QLatin1String(c.idColumn);
        const QString key = QLatin1String(c.keyColumn);
        QVector<QPair<qint64, QString>> rows;
        {
            QSqlQuery q = query(db, QStringLiteral("select %1, %2 from %3 where %4 is null")
                                        .arg(id, QLatin1String(c.nameColumn), table, key));
            while (q.next())
                rows.append({q.value(0).toLongLong(), q.value(1).toString()});
        }
        if (rows.isEmpty())
            continue;
        exec(db, QStringLiteral("SAVEPOINT velmora_keys"));
        try {
            const QString sql = QStringLiteral("update %1 set %2 = ? where %3 = ?").arg(table, key, id);
            for (const auto &r : rows)
                exec(db, sql, {nameKey(r.second), r.first});
            exec(db, QStringLiteral("RELEASE velmora_keys"));
        } catch (const DbError &) {
            exec(db, QStringLiteral("ROLLBACK TO velmora_keys"));
            exec(db, QStringLiteral("RELEASE velmora_keys"));
            throw;
        }
        filled += int(rows.size());
    }
    return filled;
}

void runScript(QSqlDatabase &db, const QString &script)
{
    // A statement ends where SQLite says it is complete ('--' comments
    // and a trigger's inner statements included).
    QByteArray current;
    const QStringList lines = script.split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        current += line.toUtf8() + '\n';
        if (sqlite3_complete(current.constData())) {
            const QString statement = QString::fromUtf8(current).trimmed();
            current.clear();
            if (!isOnlyComments(statement))
                exec(db, statement);
        }
    }
    const QString rest = QString::fromUtf8(current).trimmed();
    if (!rest.isEmpty() && !isOnlyComments(rest))
        exec(db, rest);
}

Transaction::Transaction()
{
    if (g_txDepth == 0) {
        exec(QStringLiteral("BEGIN IMMEDIATE"));
    } else {
        m_savepoint = QStringLiteral("sp%1").arg(++g_savepointSeq);
        exec(QStringLiteral("SAVEPOINT ") + m_savepoint);
    }
    ++g_txDepth;
}

void Transaction::commit()
{
    if (m_done)
        return;
    if (m_savepoint.isEmpty())
        exec(QStringLiteral("COMMIT"));
    else
        exec(QStringLiteral("RELEASE ") + m_savepoint);
    m_done = true;
    --g_txDepth;
}

Transaction::~Transaction()
{
    if (m_done)
        return;
    --g_txDepth;
    if (!isOpen())
        return;
    try {
        if (m_savepoint.isEmpty()) {
            exec(QStringLiteral("ROLLBACK"));
        } else {
            exec(QStringLiteral("ROLLBACK TO ") + m_savepoint);
            exec(QStringLiteral("RELEASE ") + m_savepoint);
        }
    } catch (const DbError &) {
        // The failure that brought us here is what the user hears about.
    }
}

} // namespace Db
