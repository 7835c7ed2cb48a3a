#include "SqlText.h"

#include <QList>

namespace {

enum class Kind { Space, Comment, String, Quoted, Word, Other };

struct Token {
    Kind kind;
    qsizetype start;
    qsizetype end;
};

// SQLite's own classes: only these five are spaces, and every character
// beyond ASCII may be part of a name.
bool isSpace(char u)
{
    return u == ' ' || u == '\t' || u == '\n' || u == '\f' || u == '\r';
}

bool isWordChar(char c)
{
    const uchar u = uchar(c);
    return u >= 0x80 || (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_'
        || u == '$';
}

QList<Token> tokens(const QByteArray &s)
{
    QList<Token> out;
    const qsizetype n = s.size();
    qsizetype i = 0;
    while (i < n) {
        const qsizetype start = i;
        const char c = s.at(i);
        Kind kind = Kind::Other;
        if (isSpace(c)) {
            while (i < n && isSpace(s.at(i)))
                ++i;
            kind = Kind::Space;
        } else if (c == '-' && i + 1 < n && s.at(i + 1) == '-') {
            i = s.indexOf('\n', i);
            i = i < 0 ? n : i;
            kind = Kind::Comment;
        } else if (c == '/' && i + 1 < n && s.at(i + 1) == '*') {
            i = s.indexOf("*/", i + 2);
            i = i < 0 ? n : i + 2;
            kind = Kind::Comment;
        } else if (c == '\'' || c == '"' || c == '`') {
            // A doubled quote stands for itself.
            for (++i; i < n; ++i) {
                if (s.at(i) != c)
                    continue;
                if (i + 1 < n && s.at(i + 1) == c) {
                    ++i;
                    continue;
                }
                ++i;
                break;
            }
            kind = c == '\'' ? Kind::String : Kind::Quoted;
        } else if (c == '[') {
            i = s.indexOf(']', i + 1);
            i = i < 0 ? n : i + 1;
            kind = Kind::Quoted;
        } else if (isWordChar(c)) {
            while (i < n && isWordChar(s.at(i)))
                ++i;
            kind = Kind::Word;
        } else {
            ++i;
        }
        out.append({kind, start, i});
    }
    return out;
}

// What a word, string or quoted name says, its quotes taken off.
QString nameOf(const QByteArray &s, const Token &t)
{
    const QByteArray text = s.mid(t.start, t.end - t.start);
    if (t.kind == Kind::Word || text.size() < 2)
        return QString::fromUtf8(text);
    const char open = text.front();
    const QByteArray inner = text.mid(1, text.size() - 2);
    if (open == '[')
        return QString::fromUtf8(inner);
    return QString::fromUtf8(QByteArray(inner).replace(QByteArray(2, open), QByteArray(1, open)));
}

// A "--" comment, which only a newline (or the statement's end) ends.
bool endsAtNewline(const QByteArray &s, const Token &t)
{
    return t.kind == Kind::Comment && s.at(t.start) == '-';
}

bool isWord(const QByteArray &s, const Token &t, QLatin1String word)
{
    return t.kind == Kind::Word && t.end - t.start == word.size()
        && qstrnicmp(s.constData() + t.start, word.data(), size_t(word.size())) == 0;
}

struct Clause {
    qsizetype from;      // the spaces before COLLATE, or COLLATE itself
    qsizetype nameStart; // the collation's name
    qsizetype nameEnd;
    QString name;
    QString column; // the column of a CREATE TABLE it belongs to, or ""
    QList<Token> comments; // between COLLATE and the name
    // In a column definition, the clause stands between the type and
    // GENERATED ALWAYS with a comment beside it. SQLite reads the words
    // of a type up to the clause; without it, it reads GENERATED ALWAYS
    // as part of the type, takes them off again only where spaces alone
    // stand between, and keeps a comment in the type ("text /*c*/").
    bool typeWouldTakeComment;
};

// Every COLLATE clause of a statement (as SQLite stores it: CREATE
// TABLE, INDEX, VIEW or TRIGGER), in order.
QList<Clause> collateClauses(const QByteArray &s)
{
    const QList<Token> all = tokens(s);
    QList<int> at; // the tokens that are neither spaces nor comments
    for (int i = 0; i < all.size(); ++i)
        if (all.at(i).kind != Kind::Space && all.at(i).kind != Kind::Comment)
            at.append(i);
    auto word = [&](int k, QLatin1String w) { return k < at.size() && isWord(s, all.at(at.at(k)), w); };

    // Only CREATE TABLE ... ( has column definitions.
    const bool table = word(0, QLatin1String("CREATE")) && word(1, QLatin1String("TABLE"));
    bool inBody = false, bodyDone = false, atDefinition = false;
    int depth = 0;
    QString column;
    QList<Clause> out;
    for (int k = 0; k < at.size(); ++k) {
        const Token &t = all.at(at.at(k));
        const char c = s.at(t.start);
        if (t.kind == Kind::Other && c == '(') {
            ++depth;
            if (table && !bodyDone && depth == 1) {
                inBody = true;
                atDefinition = true;
            }
            continue;
        }
        if (t.kind == Kind::Other && c == ')') {
            --depth;
            if (inBody && depth == 0) {
                inBody = false;
                bodyDone = true;
            }
            continue;
        }
        if (inBody && depth == 1 && t.kind == Kind::Other && c == ',') {
            atDefinition = true;
            continue;
        }
        // A table constraint (PRIMARY KEY, UNIQUE, ...) holds its clauses
        // in parentheses: every clause at this depth is a column's.
        if (inBody && depth == 1 && atDefinition) {
            atDefinition = false;
            column = nameOf(s, t);
        }
        if (!isWord(s, t, QLatin1String("COLLATE")) || k + 1 >= at.size())
            continue;
        const Token &name = all.at(at.at(k + 1));
        if (name.kind != Kind::Word && name.kind != Kind::Quoted && name.kind != Kind::String)
            continue;
        const int index = at.at(k);
        qsizetype from = index > 0 && all.at(index - 1).kind == Kind::Space ? all.at(index - 1).start : t.start;
        // The newline that ends a "--" comment belongs to it: without it
        // the rest of the statement's line would join the comment.
        if (from < t.start && index > 1 && endsAtNewline(s, all.at(index - 2)))
            from = s.indexOf('\n', from) + 1;
        QList<Token> comments;
        for (int i = index + 1; i < at.at(k + 1); ++i)
            if (all.at(i).kind == Kind::Comment)
                comments.append(all.at(i));
        const bool inColumn = inBody && depth == 1;
        bool typeWouldTakeComment = false;
        if (inColumn && k > 0 && word(k + 2, QLatin1String("GENERATED")) && word(k + 3, QLatin1String("ALWAYS")))
            for (int i = at.at(k - 1) + 1; i < at.at(k + 3); ++i)
                typeWouldTakeComment = typeWouldTakeComment || all.at(i).kind == Kind::Comment;
        out.append({from, name.start, name.end, nameOf(s, name), inColumn ? column : QString(), comments,
                    typeWouldTakeComment});
        ++k;
    }
    return out;
}

} // namespace

namespace SqlText {

QString folded(const QString &name)
{
    QString out = name;
    for (QChar &c : out)
        if (c.unicode() >= u'a' && c.unicode() <= u'z')
            c = QChar(char16_t(c.unicode() - 32));
    return out;
}

bool sameName(const QString &a, const QString &b)
{
    return a.size() == b.size() && folded(a) == folded(b);
}

bool namesCollation(const QByteArray &sql, const QString &collation)
{
    for (const Clause &c : collateClauses(sql))
        if (sameName(c.name, collation))
            return true;
    return false;
}

QHash<QString, QString> columnCollations(const QByteArray &createTable)
{
    QHash<QString, QString> out;
    for (const Clause &c : collateClauses(createTable))
        if (!c.column.isEmpty())
            out.insert(folded(c.column), c.name);
    return out;
}

QByteArray replaceCollation(const QByteArray &sql, const QString &collation,
                            const std::function<QString(const QString &column)> &instead)
{
    QByteArray out;
    qsizetype done = 0;
    bool changed = false;
    for (const Clause &c : collateClauses(sql)) {
        if (!sameName(c.name, collation))
            continue;
        QByteArray other = instead && !c.column.isEmpty() ? instead(c.column).toUtf8() : QByteArray();
        // BINARY, SQLite's own, is what a column without a clause has.
        if (other.isEmpty() && c.typeWouldTakeComment)
            other = "BINARY";
        const qsizetype to = other.isEmpty() ? c.from : c.nameStart;
        out += QByteArrayView(sql).sliced(done, to - done);
        out += other;
        // A comment inside the clause stays, a "--" one with its newline.
        for (const Token &t : other.isEmpty() ? c.comments : QList<Token>()) {
            out += ' ';
            out += QByteArrayView(sql).sliced(t.start, t.end - t.start);
            if (endsAtNewline(sql, t))
                out += '\n';
        }
        // What stood on either side must not run together into one word
        // or one name ("x COLLATE \"UNOCASE\"NOT NULL").
        const char next = c.nameEnd < sql.size() ? sql.at(c.nameEnd) : ' ';
        if (other.isEmpty() && to > 0 && !isSpace(sql.at(to - 1)) && (isWordChar(next) || QByteArrayView("'\"`[").contains(next)))
            out += ' ';
        done = c.nameEnd;
        changed = true;
    }
    return changed ? out.append(QByteArrayView(sql).sliced(done)) : sql;
}

} // namespace SqlText

namespace {

// The tokens that are not spaces.
QList<Token> significant(const QByteArray &s)
{
    QList<Token> out;
    for (const Token &t : tokens(s))
        if (t.kind != Kind::Space)
            out.append(t);
    return out;
}

// The token after `k` that is not a comment.
qsizetype nextNotComment(const QList<Token> &t, qsizetype k)
{
    for (++k; k < t.size() && t.at(k).kind == Kind::Comment; ++k) {
    }
    return k;
}

// Where a clause "COLLATE <collation>" starts at `k`: the index of its
// name, or -1 when there is none; `other` for a clause naming any other.
qsizetype clauseName(const QByteArray &s, const QList<Token> &t, qsizetype k, const QString &collation, bool other)
{
    if (!isWord(s, t.at(k), QLatin1String("COLLATE")))
        return -1;
    const qsizetype n = nextNotComment(t, k);
    if (n >= t.size() || (t.at(n).kind != Kind::Word && t.at(n).kind != Kind::Quoted && t.at(n).kind != Kind::String))
        return -1;
    return SqlText::sameName(nameOf(s, t.at(n)), collation) != other ? n : -1;
}

} // namespace

namespace SqlText {

bool onlyCollationChanged(const QByteArray &before, const QByteArray &after, const QString &collation,
                          const std::function<QString(const QString &column)> &instead)
{
    // The column each clause of `before` belongs to, by where its name is.
    QHash<qsizetype, QString> columns;
    for (const Clause &c : collateClauses(before))
        columns.insert(c.nameStart, c.column);
    const QList<Token> b = significant(before);
    const QList<Token> a = significant(after);
    auto same = [&](const Token &x, const Token &y) {
        return QByteArrayView(before).sliced(x.start, x.end - x.start) == QByteArrayView(after).sliced(y.start, y.end - y.start);
    };
    qsizetype j = 0;
    for (qsizetype i = 0; i < b.size(); ++i) {
        if (const qsizetype name = clauseName(before, b, i, collation, false); name >= 0) {
            const QString column = columns.value(b.at(name).start);
            qsizetype other = !column.isEmpty() && j < a.size() ? clauseName(after, a, j, collation, true) : -1;
            if (other >= 0) {
                const QString named = nameOf(after, a.at(other));
                if (!sameName(named, QStringLiteral("BINARY")) && !(instead && sameName(named, instead(column))))
                    other = -1;
            }
            if (other >= 0)
                j = other + 1;
            // Taken out, the clause leaves its comments in their order.
            for (qsizetype k = i + 1; other < 0 && k < name; ++k, ++j)
                if (j >= a.size() || !same(b.at(k), a.at(j)))
                    return false;
            i = name;
            continue;
        }
        if (j >= a.size() || !same(b.at(i), a.at(j++)))
            return false;
    }
    return j == a.size();
}

QList<QByteArray> checkExpressions(const QByteArray &createTable)
{
    QList<QByteArray> out;
    const QList<Token> t = tokens(createTable);
    auto isOther = [&](qsizetype k, char c) { return t.at(k).kind == Kind::Other && createTable.at(t.at(k).start) == c; };
    for (qsizetype k = 0; k < t.size(); ++k) {
        if (!isWord(createTable, t.at(k), QLatin1String("CHECK")))
            continue;
        qsizetype open = k + 1;
        while (open < t.size() && (t.at(open).kind == Kind::Space || t.at(open).kind == Kind::Comment))
            ++open;
        if (open >= t.size() || !isOther(open, '('))
            continue;
        QByteArray expression;
        int depth = 1;
        qsizetype close = open + 1;
        for (; close < t.size(); ++close) {
            depth += isOther(close, '(') ? 1 : isOther(close, ')') ? -1 : 0;
            if (depth == 0)
                break;
            expression += t.at(close).kind == Kind::Comment ? QByteArray(" ")
                                                            : createTable.mid(t.at(close).start, t.at(close).end - t.at(close).start);
        }
        if (close >= t.size())
            break;
        out.append(expression.trimmed());
        k = close;
    }
    return out;
}

} // namespace SqlText
