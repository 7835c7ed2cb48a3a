#include "SpellCheckDialog.h"

#include "Cursor.h"
#include "FieldServices.h"
#include "Fmt.h"
#include "Prompter.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

// Characters of context shown on each side of the word.
constexpr int ContextChars = 40;

QString oneLine(QString text)
{
    for (QChar &c : text) {
        if (c.isSpace() || c == QChar::ParagraphSeparator || c == QChar::LineSeparator
            || c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    }
    return text;
}

bool isReadOnly(const QWidget *field)
{
    if (!field->isEnabled())
        return true;
    if (auto *line = qobject_cast<const QLineEdit *>(field))
        return line->isReadOnly();
    if (auto *edit = qobject_cast<const QTextEdit *>(field))
        return edit->isReadOnly();
    if (auto *plain = qobject_cast<const QPlainTextEdit *>(field))
        return plain->isReadOnly();
    return true;
}

QPushButton *makeButton(const QString &text, const QString &name, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

} // namespace

SpellCheckDialog::SpellCheckDialog(QWidget *field, SpellEngine &engine, const SpellCheck::Word &first,
                                   QWidget *parent)
    : QDialog(parent), m_field(field), m_engine(engine)
{
    setObjectName(QStringLiteral("SpellCheckDialog"));
    setWindowTitle(QStringLiteral("Spelling"));
    m_readOnly = !field || isReadOnly(field);

    m_notFound = new QLineEdit(this);
    m_notFound->setObjectName(QStringLiteral("txtNotInDictionary"));
    m_notFound->setReadOnly(true);
    m_context = new QLabel(this);
    m_context->setObjectName(QStringLiteral("lblContext"));
    m_context->setTextFormat(Qt::RichText);
    m_context->setWordWrap(true);
    m_changeTo = new QLineEdit(this);
    m_changeTo->setObjectName(QStringLiteral("txtChangeTo"));
    m_suggestions = new QListWidget(this);
    m_suggestions->setObjectName(QStringLiteral("lstSuggestions"));

    m_change = makeButton(QStringLiteral("&Change"), QStringLiteral("btnChange"), this);
    m_change->setDefault(true);
    auto *ignoreButton = makeButton(QStringLiteral("&Ignore"), QStringLiteral("btnIgnore"), this);
    auto *ignoreAllButton = makeButton(QStringLiteral("I&gnore All"), QStringLiteral("btnIgnoreAll"), this);
    auto *addButton = makeButton(QStringLiteral("&Add to Dictionary"), QStringLiteral("btnAdd"), this);
    addButton->setToolTip(QStringLiteral("Add the word to the user dictionary"));
    auto *cancelButton = makeButton(QStringLiteral("Cancel"), QStringLiteral("btnCancel"), this);

    auto *notFoundLabel = new QLabel(QStringLiteral("&Not in dictionary:"), this);
    notFoundLabel->setBuddy(m_notFound);
    auto *changeToLabel = new QLabel(QStringLiteral("C&hange to:"), this);
    changeToLabel->setBuddy(m_changeTo);
    auto *suggestionsLabel = new QLabel(QStringLiteral("&Suggestions:"), this);
    suggestionsLabel->setBuddy(m_suggestions);
    // Qt names a list by its accessible name alone, never by its caption.
    m_suggestions->setAccessibleName(QStringLiteral("Suggestions"));

    auto *grid = new QGridLayout;
    grid->addWidget(notFoundLabel, 0, 0);
    grid->addWidget(m_notFound, 0, 1);
    grid->addWidget(m_context, 1, 1);
    grid->addWidget(changeToLabel, 2, 0);
    grid->addWidget(m_changeTo, 2, 1);
    grid->addWidget(suggestionsLabel, 3, 0, Qt::AlignTop);
    grid->addWidget(m_suggestions, 3, 1);
    auto *buttons = new QVBoxLayout;
    for (QPushButton *b : {m_change, ignoreButton, ignoreAllButton, addButton, cancelButton})
        buttons->addWidget(b);
    buttons->addStretch();
    auto *top = new QHBoxLayout(this);
    top->addLayout(grid, 1);
    top->addLayout(buttons);

    connect(m_change, &QPushButton::clicked, this, &SpellCheckDialog::change);
    connect(ignoreButton, &QPushButton::clicked, this, &SpellCheckDialog::ignore);
    connect(ignoreAllButton, &QPushButton::clicked, this, &SpellCheckDialog::ignoreAll);
    connect(addButton, &QPushButton::clicked, this, &SpellCheckDialog::addWord);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_suggestions, &QListWidget::itemClicked, this, &SpellCheckDialog::suggestionChosen);
    connect(m_suggestions, &QListWidget::currentItemChanged, this,
            [this](QListWidgetItem *item) { suggestionChosen(item); });
    connect(m_suggestions, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) {
        suggestionChosen(item);
        if (m_change->isEnabled())
            change();
    });
    connect(m_changeTo, &QLineEdit::textChanged, this, &SpellCheckDialog::updateButtons);

    showWord(first);
}

void SpellCheckDialog::showWord(const SpellCheck::Word &word)
{
    m_word = word;
    m_notFound->setText(word.text);

    QStringList suggestions;
    {
        BusyCursor busy;
        suggestions = m_engine.suggestions(word.text);
    }
    {
        const QSignalBlocker block(m_suggestions);
        m_suggestions->clear();
        m_suggestions->addItems(suggestions);
        if (!suggestions.isEmpty())
            m_suggestions->setCurrentRow(0);
    }
    m_changeTo->setText(suggestions.isEmpty() ? word.text : suggestions.first());
    m_changeTo->selectAll();
    m_changeTo->setFocus();

    const QString text = m_field ? SpellCheck::fieldText(m_field) : QString();
    const int before = qMax(0, word.start - ContextChars);
    const int afterStart = word.start + word.length;
    const int afterEnd = qMin(int(text.size()), afterStart + ContextChars);
    QString context = oneLine(text.mid(before, word.start - before)).toHtmlEscaped();
    if (before > 0)
        context.prepend(QStringLiteral("..."));
    context += QStringLiteral("<b>") + word.text.toHtmlEscaped() + QStringLiteral("</b>");
    context += oneLine(text.mid(afterStart, afterEnd - afterStart)).toHtmlEscaped();
    if (afterEnd < text.size())
        context += QStringLiteral("...");
    m_context->setText(context);

    updateButtons();
}

void SpellCheckDialog::moveOn(int from)
{
    if (!m_field) {
        reject();
        return;
    }
    const auto next = SpellCheck::nextMisspelt(m_engine, SpellCheck::fieldText(m_field), from);
    if (!next) {
        m_completed = true;
        accept();
        return;
    }
    showWord(*next);
}

void SpellCheckDialog::change()
{
    if (m_readOnly || m_changeTo->text().isEmpty())
        return;
    int end = 0;
    if (!replaceInField(m_changeTo->text(), &end))
        return;
    moveOn(end);
}

void SpellCheckDialog::ignore()
{
    moveOn(m_word.start + m_word.length);
}

void SpellCheckDialog::ignoreAll()
{
    m_engine.ignoreAll(m_word.text);
    moveOn(m_word.start + m_word.length);
}

void SpellCheckDialog::addWord()
{
    QString error;
    if (!m_engine.addWord(m_word.text, &error)) {
        MsgBox(error, QString(), MsgButtons::Ok, MsgIcon::Exclamation);
        return;
    }
    moveOn(m_word.start + m_word.length);
}

void SpellCheckDialog::suggestionChosen(QListWidgetItem *item)
{
    if (item)
        m_changeTo->setText(item->text());
}

void SpellCheckDialog::updateButtons()
{
    m_change->setEnabled(!m_readOnly && !m_changeTo->text().isEmpty());
}

// Replaces the current word in the field as an edit of the user's (so the
// window sees the field change and undo works); *end is the position just
// after the replacement.
bool SpellCheckDialog::replaceInField(const QString &with, int *end)
{
    if (!m_field)
        return false;
    const int start = m_word.start;
    const int length = m_word.length;
    const QString before = SpellCheck::fieldText(m_field);
    if (before.mid(start, length) != m_word.text)
        return false;

    if (auto *line = qobject_cast<QLineEdit *>(m_field.data())) {
        const int width = TextWidth(line);
        if (Fmt::length(before) - Fmt::length(m_word.text) + Fmt::length(with) > width) {
            MsgBox(QStringLiteral("The field holds at most %1 characters: \"%2\" does not fit in it.")
                       .arg(width)
                       .arg(with),
                   QString(), MsgButtons::Ok, MsgIcon::Exclamation);
            return false;
        }
        line->setSelection(start, length);
        line->insert(with);
    } else {
        QTextDocument *doc = nullptr;
        if (auto *edit = qobject_cast<QTextEdit *>(m_field.data()))
            doc = edit->document();
        else if (auto *plain = qobject_cast<QPlainTextEdit *>(m_field.data()))
            doc = plain->document();
        if (!doc)
            return false;
        QTextCursor cursor(doc);
        cursor.setPosition(start);
        cursor.setPosition(start + length, QTextCursor::KeepAnchor);
        cursor.insertText(with);
    }
    *end = start + length + int(SpellCheck::fieldText(m_field).size() - before.size());
    return true;
}
