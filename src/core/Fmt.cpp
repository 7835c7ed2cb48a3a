#include "Fmt.h"

#include <QLocale>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <limits>

namespace Fmt {

QString nz(const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return {};
    return v.toString();
}

QVariant dateToDb(const QDate &d)
{
    if (!d.isValid())
        return QVariant(QMetaType::fromType<QString>());
    return d.toString(QStringLiteral("yyyy-MM-dd"));
}

QDate dateFromDb(const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return {};
    if (v.metaType().id() == QMetaType::QDate)
        return v.toDate();
    const QString s = v.toString().trimmed();
    // The form the program stores, read without the general parser (a
    // report reads a hundred thousand of them).
    if (s.size() >= 10 && s.at(4) == u'-' && s.at(7) == u'-') {
        int digits[8];
        int k = 0;
        for (int i : {0, 1, 2, 3, 5, 6, 8, 9}) {
            const char16_t c = s.at(i).unicode();
            if (c < u'0' || c > u'9')
                break;
            digits[k++] = c - u'0';
        }
        if (k == 8)
            return QDate(digits[0] * 1000 + digits[1] * 100 + digits[2] * 10 + digits[3], digits[4] * 10 + digits[5],
                         digits[6] * 10 + digits[7]);
    }
    return QDate::fromString(s.left(10), QStringLiteral("yyyy-MM-dd"));
}

QString mdy(const QDate &d)
{
    return d.isValid() ? d.toString(QStringLiteral("MM/dd/yyyy")) : QString();
}

QString my(const QDate &d)
{
    return d.isValid() ? d.toString(QStringLiteral("MM/yyyy")) : QString();
}

QString md(const QDate &d)
{
    return d.isValid() ? d.toString(QStringLiteral("MM/dd")) : QString();
}

std::optional<QDate> parseMdy(const QString &text)
{
    static const QRegularExpression re(
        QStringLiteral("^\\s*(\\d{1,2})\\s*[/.-]\\s*(\\d{1,2})\\s*[/.-]\\s*(\\d{2}|\\d{4})\\s*$"));
    const auto m = re.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const int month = m.captured(1).toInt();
    const int day = m.captured(2).toInt();
    int year = m.captured(3).toInt();
    if (m.captured(3).size() == 2)
        year += year < 30 ? 2000 : 1900;
    if (year < 100)
        return std::nullopt;
    const QDate d(year, month, day);
    if (!d.isValid())
        return std::nullopt;
    return d;
}

bool isDate(const QString &text)
{
    return parseMdy(text).has_value();
}

QString longDate(const QDate &d)
{
    return QLocale(QLocale::English, QLocale::UnitedStates).toString(d, QStringLiteral("dddd, MMMM d, yyyy"));
}

QString shortTime(const QTime &t)
{
    return QLocale(QLocale::English, QLocale::UnitedStates).toString(t, QStringLiteral("h:mm:ss AP"));
}

namespace {
QString grouped(double value, int decimals)
{
    QLocale c(QLocale::English, QLocale::UnitedStates);
    return c.toString(value, 'f', decimals);
}
} // namespace

QString currency(double value)
{
    // Decide the sign on the value as shown: a fraction of a cent below
    // zero is "$0.00", never "($0.00)".
    const double cents = std::round(value * 100.0) / 100.0 + 0.0;
    if (cents < 0)
        return QStringLiteral("($") + grouped(-cents, 2) + QStringLiteral(")");
    return QStringLiteral("$") + grouped(cents, 2);
}

QString wholeNumber(double value)
{
    // + 0.0 turns the -0 of a small negative into 0, so it never shows "-0".
    return grouped(std::round(value) + 0.0, 0);
}

std::optional<double> parseNumber(const QString &text)
{
    QString s = text.trimmed();
    if (s.isEmpty())
        return std::nullopt;
    bool negative = false;
    if (s.startsWith(QLatin1Char('(')) && s.endsWith(QLatin1Char(')'))) {
        negative = true;
        s = s.mid(1, s.size() - 2).trimmed();
    }
    if (s.startsWith(QLatin1Char('-'))) {
        if (negative)
            return std::nullopt;
        negative = true;
        s = s.mid(1).trimmed();
    }
    if (s.startsWith(QLatin1Char('$')))
        s = s.mid(1).trimmed();
    if (s.startsWith(QLatin1Char('-'))) {
        if (negative)
            return std::nullopt;
        negative = true;
        s = s.mid(1).trimmed();
    }
    // Thousands separators must sit between groups of three digits.
    static const QRegularExpression re(
        QStringLiteral("^(\\d{1,3}(,\\d{3})+|\\d+)?(\\.\\d*)?$"));
    if (s.isEmpty() || s == QLatin1String(".") || !re.match(s).hasMatch())
        return std::nullopt;
    s.remove(QLatin1Char(','));
    bool ok = false;
    double v = s.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return negative ? -v : v;
}

bool isNumeric(const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return false;
    switch (v.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return parseNumber(v.toString()).has_value();
    }
}

QString plainNumber(double value)
{
    return QString::number(value, 'g', 15);
}

std::optional<double> storedNumber(const QVariant &v)
{
    if (!isNumeric(v))
        return std::nullopt;
    return v.userType() == QMetaType::QString ? parseNumber(v.toString()) : std::optional<double>(v.toDouble());
}

QVariant numberToDb(const std::optional<double> &value)
{
    return value ? QVariant(*value) : QVariant();
}

QVariant numberToDb(const std::optional<qint64> &value)
{
    return value ? QVariant(*value) : QVariant();
}

CostInput parseCost(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return {};
    const std::optional<double> v = parseNumber(t);
    if (!v || !std::isfinite(*v))
        return {false, std::nullopt};
    // Stored as shown: to the cent.
    return {true, std::round(*v * 100.0) / 100.0 + 0.0};
}

CopiesInput parseCopies(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return {};
    const std::optional<double> v = parseNumber(t);
    if (!v || *v != std::floor(*v) || std::fabs(*v) > double(std::numeric_limits<qint32>::max()))
        return {false, std::nullopt};
    return {true, qint64(*v)};
}

int length(const QString &text)
{
    int chars = 0;
    for (qsizetype i = 0; i < text.size(); ++i, ++chars) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
    }
    return chars;
}

QString cut(const QString &text, int n)
{
    if (n <= 0)
        return {};
    if (text.size() <= n)
        return text; // no more UTF-16 units than characters allowed
    qsizetype units = 0;
    for (int chars = 0; chars < n && units < text.size(); ++chars) {
        const bool pair = text.at(units).isHighSurrogate() && units + 1 < text.size() && text.at(units + 1).isLowSurrogate();
        units += pair ? 2 : 1;
    }
    return text.left(units);
}

QString trimBlanks(const QString &text)
{
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && text.at(from) == QLatin1Char(' '))
        ++from;
    while (to > from && text.at(to - 1) == QLatin1Char(' '))
        --to;
    return text.mid(from, to - from);
}

QString trimCut(const QString &text, int n)
{
    return cut(text.trimmed(), n);
}

bool isControl(char16_t u)
{
    return (u < 0x20 && u != u'\t' && u != u'\n') || (u >= 0x7f && u <= 0x9f);
}

QString withoutControls(const QString &text)
{
    if (std::none_of(text.begin(), text.end(), [](QChar c) { return isControl(c.unicode()); }))
        return text;
    QString out;
    out.reserve(text.size());
    for (const QChar c : text)
        if (!isControl(c.unicode()))
            out += c;
    return out;
}

} // namespace Fmt
