#include "FieldServices.h"

#include "DateField.h"
#include "Db.h"
#include "DbStatement.h"
#include "Fmt.h"
#include "LinkTables.h"
#include "MyDataLabels.h"
#include "Prompter.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QSet>
#include <QSqlQuery>
#include <QTextEdit>
#include <QTimer>
#include <QValidator>
#include <algorithm>
#include <limits>

namespace {

const QString kNameRequired = QStringLiteral("The system requires that a name be entered.");
const QString kBracesNotice = QStringLiteral(
    "The characters: { } are used by system and cannot be used in a name\n"
    "They will be replaced with 'SPACE' character.");

QString tableOfDatatype(int datatype)
{
    if (datatype < int(RecordKind::Collection) || datatype > int(RecordKind::Member))
        return {};
    return QLatin1String(LinkTables::recordTable(RecordKind(datatype)));
}

// The checked name to store, or nullopt when the name is refused. A
// notice is shown when braces were replaced.
std::optional<QString> checkName(const QString &text)
{
    const QString name = text.trimmed();
    QString cleaned = name;
    cleaned.replace(QLatin1Char('{'), QLatin1Char(' ')).replace(QLatin1Char('}'), QLatin1Char(' '));
    cleaned = cleaned.trimmed();
    // Braces and blanks alone would leave no name at all: refused like an
    // empty one rather than saved empty.
    if (cleaned.isEmpty()) {
        MsgBox(kNameRequired, QString(), MsgButtons::Ok, MsgIcon::None);
        return std::nullopt;
    }
    if (name.contains(QLatin1Char('{')) || name.contains(QLatin1Char('}'))) {
        MsgBox(kBracesNotice, QStringLiteral("System message"), MsgButtons::Ok, MsgIcon::Information);
        return cleaned;
    }
    return text;
}

// Selects on focus-in, after the event that brought the focus has done
// its own cursor placing.
class SelectAllFilter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::FocusIn) {
            QPointer<QWidget> w = qobject_cast<QWidget *>(parent());
            QTimer::singleShot(0, this, [w] {
                if (w && w->hasFocus())
                    SelectAllText(w);
            });
        }
        return QObject::eventFilter(watched, event);
    }
};

// Cuts what is typed or pasted to a number of characters. A line edit's
// own maximum counts UTF-16 units and would keep half of a pair.
class CharacterLimit : public QValidator {
public:
    CharacterLimit(int characters, QObject *parent) : QValidator(parent), m_characters(characters) {}
    int characters() const { return m_characters; }
    State validate(QString &input, int &pos) const override
    {
        if (input.size() > m_characters && Fmt::length(input) > m_characters) {
            input = Fmt::cut(input, m_characters);
            pos = qMin(pos, int(input.size()));
        }
        return Acceptable;
    }

private:
    int m_characters;
};

} // namespace

void LimitTextWidth(QLineEdit *field, int characters)
{
    if (!field)
        return;
    // The control's own limit stays out of the way; the validator keeps
    // whole characters.
    field->setMaxLength(std::numeric_limits<int>::max());
    if (characters > 0)
        field->setValidator(new CharacterLimit(characters, field));
    else
        field->setValidator(nullptr);
}

int TextWidth(const QLineEdit *field)
{
    if (!field)
        return 0;
    if (const auto *limit = dynamic_cast<const CharacterLimit *>(field->validator()))
        return limit->characters();
    return field->maxLength();
}

ClickLabel::ClickLabel(QWidget *parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setCursor(Qt::PointingHandCursor);
}

ClickLabel::ClickLabel(const QString &text, QWidget *parent) : ClickLabel(parent)
{
    setText(text);
}

void ClickLabel::mousePressEvent(QMouseEvent *e)
{
    m_pressed = e->button() == Qt::LeftButton;
    QLabel::mousePressEvent(e);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent *e)
{
    const bool click = m_pressed && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint());
    m_pressed = false;
    QLabel::mouseReleaseEvent(e);
    if (click)
        emit clicked();
}

void SelectAllText(QWidget *field)
{
    if (!field)
        return;
    if (auto *d = qobject_cast<DateField *>(field)) {
        d->lineEdit()->selectAll();
    } else if (auto *le = qobject_cast<QLineEdit *>(field)) {
        le->setSelection(0, int(le->text().size()));
    } else if (auto *cb = qobject_cast<QComboBox *>(field)) {
        if (cb->lineEdit())
            cb->lineEdit()->selectAll();
    } else if (auto *te = qobject_cast<QTextEdit *>(field)) {
        te->selectAll();
    } else if (auto *pe = qobject_cast<QPlainTextEdit *>(field)) {
        pe->selectAll();
    }
}

void SelectAllTextUtility(QWidget *field)
{
    SelectAllText(field);
}

void InstallSelectAllOnFocus(QWidget *field)
{
    if (!field)
        return;
    // An editable combo box takes the focus itself and hands its focus-in
    // to its line edit directly, past any filter there: watch the box.
    QWidget *target = field;
    if (auto *d = qobject_cast<DateField *>(field))
        target = d->lineEdit();
    target->installEventFilter(new SelectAllFilter(target));
}

bool ValidateNameText(QLineEdit *field)
{
    if (!field)
        return false;
    const std::optional<QString> name = checkName(field->text());
    if (!name) {
        field->setFocus();
        return false;
    }
    if (*name != field->text())
        field->setText(*name);
    return true;
}

bool ValidateNameText(QComboBox *field)
{
    if (!field)
        return false;
    const std::optional<QString> name = checkName(field->currentText());
    if (!name) {
        field->setFocus();
        return false;
    }
    if (*name != field->currentText())
        field->setEditText(*name);
    return true;
}

void LoadMyDataLabels(QWidget *editor, int datatype)
{
    if (!editor)
        return;
    const std::optional<std::array<QString, 5>> captions = MyDataLabels::read(datatype);
    if (!captions)
        return;
    for (int i = 1; i <= 5; ++i) {
        if (auto *label = editor->findChild<QLabel *>(QStringLiteral("ULabel%1").arg(i))) {
            label->setTextFormat(Qt::PlainText);
            label->setText(captions->at(i - 1));
        }
    }
}

void RenameMyDataLabel(QLabel *label, int datatype, int n)
{
    if (!label || n < 1 || n > 5)
        return;
    const std::optional<QString> answer =
        InputBox(QStringLiteral("Enter desired label"), QStringLiteral("Modify My Data Label"), label->text());
    if (!answer)
        return;
    if (answer->isEmpty())
        return;
    label->setText(MyDataLabels::rename(datatype, n, *answer));
}

void LoadLimitByOptions(QWidget *viewer, int datatype)
{
    const QString table = tableOfDatatype(datatype);
    if (!viewer || table.isEmpty())
        return;
    const std::optional<std::array<QString, 5>> labels = MyDataLabels::read(datatype);
    if (!labels)
        return;
    const std::array<QStringList, 5> values = MyDataValues(table);
    for (int i = 5; i <= 9; ++i) {
        const int n = i - 4;
        auto *list = viewer->findChild<QComboBox *>(QStringLiteral("MyData%1").arg(i));
        if (list)
            list->clear();
        if (auto *box = viewer->findChild<QAbstractButton *>(QStringLiteral("optLimit%1").arg(i))) {
            box->setText(QStringLiteral("Limit by ") + labels->at(n - 1));
        }
        // The list offers values; the text stays empty until the user types
        // or picks one, so an untouched limit filters by nothing.
        if (list) {
            list->addItems(values[size_t(n - 1)]);
            list->setCurrentIndex(-1);
            list->clearEditText();
        }
    }
}

std::array<QStringList, 5> MyDataValues(const QString &table)
{
    // One pass over the table for the five fields: each field's values
    // once (the same bytes are the same value), then in the order the
    // database sorts them, as "select distinct uN ... order by uN" gives
    // them (a value stored as a blob after every text).
    struct Field {
        QSet<QByteArray> seen;
        QList<QByteArray> texts;
        QList<QByteArray> blobs;
    };
    std::array<Field, 5> fields;
    Db::Statement rows(QStringLiteral("select u1, u2, u3, u4, u5 from %1").arg(table));
    while (rows.next()) {
        for (int k = 0; k < 5; ++k) {
            const int type = rows.type(k);
            if (type == Db::Statement::Null)
                continue;
            const QByteArrayView v = type == Db::Statement::Blob ? rows.blob(k) : rows.utf8(k);
            if (v.isEmpty())
                continue;
            Field &f = fields[size_t(k)];
            // A look-up without a copy; only a new value is copied.
            if (f.seen.contains(QByteArray::fromRawData(v.data(), v.size())))
                continue;
            const QByteArray value = v.toByteArray();
            f.seen.insert(value);
            (type == Db::Statement::Blob ? f.blobs : f.texts).append(value);
        }
    }
    std::array<QStringList, 5> out;
    for (int k = 0; k < 5; ++k) {
        Field &f = fields[size_t(k)];
        std::sort(f.texts.begin(), f.texts.end());
        std::sort(f.blobs.begin(), f.blobs.end());
        QStringList found;
        found.reserve(f.texts.size() + f.blobs.size());
        for (const QByteArray &v : std::as_const(f.texts))
            found.append(QString::fromUtf8(v));
        for (const QByteArray &v : std::as_const(f.blobs))
            found.append(QString::fromUtf8(v));
        // Each value once, case ignored, in name order.
        out[size_t(k)] = Db::distinctNames(found);
    }
    return out;
}
