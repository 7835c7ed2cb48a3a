#include "Db.h"

#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlRecord>
#include <sqlite3.h>

namespace {

const char *const kMainConnection = "velmora_main";
int g_txDepth = 0;
int g_savepointSeq = 0;

QString fromSqlite(const unsigned char *text, int bytes)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(text), bytes);
}

void ucaseFunc(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (argc != 1 || sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const QByteArray up =
        Db::upper(fromSqlite(sqlite3_value_text(argv[0]), sqlite3_value_bytes(argv[0]))).toUtf8();
    sqlite3_result_text(ctx, up.constData(), int(up.size()), SQLITE_TRANSIENT);
}

// Upper case without accents: "élan" sorts with the E's.
QString primaryKey(const QString &upper)
{
    const QString d = upper.normalized(QString::NormalizationForm_D);
    QString out;
    out.reserve(d.size());
    for (const QChar c : d)
        if (c.category() != QChar::Mark_NonSpacing)
            out.append(c);
    return out;
}

// The letter a character up to U+017F sorts under: upper case without
// accent, as primaryKey() gives it; 0 beyond that range and where upper
// case is more than one letter (those take the full comparison).
char32_t latinPrimary(char32_t c)
{
    if (c < 0x80)
        return (c >= 'a' && c <= 'z') ? c - 32 : c;
    if (c > 0x17F || c == 0xDF || c == 0x149)
        return 0;
    char32_t u = QChar::toUpper(c);
    while (QChar::decompositionTag(u) == QChar::Canonical) {
        const QString d = QChar::decomposition(u);
        if (d.isEmpty())
            break;
        u = d.at(0).unicode();
    }
    return u;
}

// The character of one or two UTF-8 bytes at s[at] and its length in
// bytes; length 0 for a longer or cut-off character.
char32_t smallChar(const char *s, int len, int at, int *bytes)
{
    const unsigned char c0 = static_cast<unsigned char>(s[at]);
    *bytes = 1;
    if (c0 < 0x80)
        return c0;
    *bytes = 0;
    if ((c0 & 0xE0) != 0xC0 || at + 1 >= len)
        return 0;
    const unsigned char c1 = static_cast<unsigned char>(s[at + 1]);
    if ((c1 & 0xC0) != 0x80)
        return 0;
    *bytes = 2;
    return (char32_t(c0 & 0x1F) << 6) | (c1 & 0x3F);
}

// The order by letters without accents of two texts from a character
// both begin alike: -1 or 1 when Latin letters decide it ("Müller" after
// "Miller", "Martínez" after "Martin"), 0 when they do not (equal letters
// throughout, or a character the full comparison must see).
int latinPrimaryOrder(const char *a, int len1, const char *b, int len2, int at)
{
    int i = at;
    int j = at;
    for (;;) {
        if (i == len1 || j == len2) {
            if (i == len1 && j == len2)
                return 0;
            // The one that ended first is the start of the other, which goes
            // on with a letter: it comes first.
            int bytes = 0;
            const char32_t next = i == len1 ? smallChar(b, len2, j, &bytes) : smallChar(a, len1, i, &bytes);
            if (!bytes || !latinPrimary(next))
                return 0;
            return i == len1 ? -1 : 1;
        }
        int na = 0;
        int nb = 0;
        const char32_t ca = smallChar(a, len1, i, &na);
        const char32_t cb = smallChar(b, len2, j, &nb);
        if (!na || !nb)
            return 0;
        const char32_t pa = latinPrimary(ca);
        const char32_t pb = latinPrimary(cb);
        if (!pa || !pb)
            return 0;
        if (pa != pb)
            return pa < pb ? -1 : 1;
        i += na;
        j += nb;
    }
}

// Case-insensitive order: first by the letters without accents, then by
// the accents; two texts are equal when they differ only in case.
//
// Most pairs are decided before the costly Unicode work: by their first
// difference when it is plain ASCII in both, or by Latin letters without
// their accents. Upper-casing and stripping accents leave ASCII as it is
// and in its place, and nothing after an ASCII character attaches to what
// precedes it, so these shortcuts answer as the full comparison would.
int unocaseCompare(void *, int len1, const void *s1, int len2, const void *s2)
{
    const char *a = static_cast<const char *>(s1);
    const char *b = static_cast<const char *>(s2);
    const int n = len1 < len2 ? len1 : len2;
    // Where the common start last ended with an ASCII character: the full
    // comparison of what follows decides as that of the whole.
    int from = 0;
    int i = 0;
    for (; i < n; ++i) {
        const unsigned char ua = static_cast<unsigned char>(a[i]);
        const unsigned char ub = static_cast<unsigned char>(b[i]);
        if (ua == ub) {
            if (ua < 0x80)
                from = i + 1;
            continue;
        }
        if (ua >= 0x80 || ub >= 0x80)
            break;
        from = i + 1;
        const int ca = (ua >= 'a' && ua <= 'z') ? ua - 32 : ua;
        const int cb = (ub >= 'a' && ub <= 'z') ? ub - 32 : ub;
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (i == n && len1 == len2)
        return 0;
    // From the start of the character where they differ (the start of the
    // rest of the longer one when one is the start of the other).
    int at = i;
    while (at > 0 && at < n && (static_cast<unsigned char>(a[at]) & 0xC0) == 0x80)
        --at;
    if (const int latin = latinPrimaryOrder(a, len1, b, len2, at))
        return latin;
    const QString ua = Db::upper(QString::fromUtf8(a + from, len1 - from));
    const QString ub = Db::upper(QString::fromUtf8(b + from, len2 - from));
    const int primary = QString::compare(primaryKey(ua), primaryKey(ub), Qt::CaseSensitive);
    if (primary != 0)
        return primary;
    return QString::compare(ua, ub, Qt::CaseSensitive);
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

bool installFunctions(QSqlDatabase &db, QString *error)
{
    sqlite3 *h = handleOf(db);
    if (!h) {
        if (error)
            *error = QStringLiteral("The SQLite driver gave no connection handle.");
        return false;
    }
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    int rc = sqlite3_create_function(h, "ucase", 1, flags, nullptr, ucaseFunc, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_collation(h, "UNOCASE", SQLITE_UTF8, nullptr, unocaseCompare);
    if (rc != SQLITE_OK) {
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
    if (!installFunctions(db, &why)) {
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

bool open(const QString &path, QString *error)
{
    close();
    QString why;
    QSqlDatabase db = openNamed(QLatin1String(kMainConnection), path, false, &why);
    if (!db.isValid()) {
        if (error)
            *error = why;
        return false;
    }
    // SQLite opens any file lazily; the first read tells whether it is a
    // database at all, and the anthem table whether it is ours.
    QSqlQuery probe(db);
    if (!probe.exec(QStringLiteral("select count(*) from sqlite_master where type = 'table' and name = 'anthem'"))) {
        if (error)
            *error = QStringLiteral("The file is not a database (%1).").arg(describe(probe.lastError()));
        probe = QSqlQuery();
        db = QSqlDatabase();
        closeNamed(QLatin1String(kMainConnection));
        return false;
    }
    const bool ours = probe.next() && probe.value(0).toInt() == 1;
    probe = QSqlQuery();
    if (!ours) {
        if (error)
            *error = QStringLiteral("The file is a database, but not one of this program.");
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
    QSqlDatabase db = connection();
    sqlite3 *h = handleOf(db);
    if (!h)
        throw DbError(QStringLiteral("The SQLite driver gave no connection handle."));
    sqlite3_stmt *stmt = nullptr;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(h, text.constData(), int(text.size()), &stmt, nullptr) != SQLITE_OK)
        throw DbError(QString::fromUtf8(sqlite3_errmsg(h)));
    struct Finalizer {
        sqlite3_stmt *s;
        ~Finalizer() { sqlite3_finalize(s); }
    } finalizer{stmt};
    for (int i = 0; i < params.size(); ++i) {
        const QVariant &v = params.at(i);
        int rc = SQLITE_OK;
        if (v.isNull()) {
            rc = sqlite3_bind_null(stmt, i + 1);
        } else {
            switch (v.metaType().id()) {
            case QMetaType::Int:
            case QMetaType::LongLong:
            case QMetaType::UInt:
            case QMetaType::Bool:
                rc = sqlite3_bind_int64(stmt, i + 1, v.toLongLong());
                break;
            case QMetaType::Double:
                rc = sqlite3_bind_double(stmt, i + 1, v.toDouble());
                break;
            default: {
                const QByteArray b = v.toString().toUtf8();
                rc = sqlite3_bind_text(stmt, i + 1, b.constData(), int(b.size()), SQLITE_TRANSIENT);
            }
            }
        }
        if (rc != SQLITE_OK)
            throw DbError(QString::fromUtf8(sqlite3_errmsg(h)));
    }
    QVector<QPair<qint32, QString>> rows;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        const auto *t = sqlite3_column_text(stmt, 1);
        rows.append({qint32(sqlite3_column_int64(stmt, 0)),
                     t ? QString::fromUtf8(reinterpret_cast<const char *>(t), sqlite3_column_bytes(stmt, 1))
                       : QString()});
    }
    if (rc != SQLITE_DONE)
        throw DbError(QString::fromUtf8(sqlite3_errmsg(h)));
    return rows;
}

int compareNames(const QString &a, const QString &b)
{
    const QByteArray ua = a.toUtf8();
    const QByteArray ub = b.toUtf8();
    return unocaseCompare(nullptr, int(ua.size()), ua.constData(), int(ub.size()), ub.constData());
}

void runScript(QSqlDatabase &db, const QString &script)
{
    // Statements end with ';' at the end of a line; '--' starts a comment line.
    QString current;
    const QStringList lines = script.split(QLatin1Char('\n'));
    for (const QString &raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1String("--")))
            continue;
        current += raw + QLatin1Char('\n');
        if (line.endsWith(QLatin1Char(';'))) {
            exec(db, current.trimmed());
            current.clear();
        }
    }
    if (!current.trimmed().isEmpty())
        exec(db, current.trimmed());
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
