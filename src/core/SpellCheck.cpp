#include "SpellCheck.h"

#include "AppPaths.h"
#include "Prompter.h"
#include "SpellCheckDialog.h"

#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QTextEdit>

#include <hunspell/hunspell.hxx>
#include <iconv.h>

namespace {

const QString Language = QStringLiteral("en_US");
// Hunspell's suggestion search grows steeply with the word's length; longer
// runs of letters are no words anybody wants suggestions for.
constexpr int MaxSuggestLength = 100;

QString g_userDictionary;
QString g_dictionaryFolder;
std::unique_ptr<SpellEngine> g_engine;

bool convert(const char *to, const char *from, const QByteArray &in, QByteArray *out)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    out->resize(in.size() * 4 + 16);
    char *inPtr = const_cast<char *>(in.constData());
    size_t inLeft = static_cast<size_t>(in.size());
    char *outPtr = out->data();
    size_t outLeft = static_cast<size_t>(out->size());
    const size_t r = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    // A character the target cannot hold fails (or counts as an inexact
    // conversion): such a word is not in that dictionary.
    if (r != 0 || inLeft != 0)
        return false;
    out->resize(out->size() - static_cast<qsizetype>(outLeft));
    return true;
}

// iconv's name for an affix file's SET.
QByteArray iconvName(const QString &set)
{
    if (set.startsWith(QLatin1String("MICROSOFT-CP")))
        return set.mid(10).toLatin1();
    return set.toLatin1();
}

bool isApostrophe(QChar c)
{
    return c == QLatin1Char('\'') || c == QChar(0x2019);
}

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c.isMark();
}

QString defaultDictionaryFolder()
{
    const QStringList candidates = {QStringLiteral("/usr/share/hunspell"),
                                    QStringLiteral("/usr/share/myspell/dicts"),
                                    QStringLiteral("/usr/share/myspell")};
    for (const QString &folder : candidates) {
        if (QFileInfo::exists(QDir(folder).filePath(Language + QLatin1String(".dic"))))
            return folder;
    }
    return candidates.first();
}

// Sends F7 of the field it watches to SpellCheckKeyDown.
class SpellKeyFilter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            auto *field = qobject_cast<QWidget *>(watched);
            if (field)
                SpellCheckKeyDown(field, static_cast<QKeyEvent *>(event)->key());
        }
        return false;
    }
};

} // namespace

// ---------------------------------------------------------------------------

SpellEngine::~SpellEngine() = default;

std::unique_ptr<SpellEngine> SpellEngine::load(const QString &dictionaryFolder,
                                               const QString &userDictionary, QString *error,
                                               QString *warning)
{
    const QDir dir(dictionaryFolder);
    const QString aff = dir.filePath(Language + QLatin1String(".aff"));
    const QString dic = dir.filePath(Language + QLatin1String(".dic"));
    for (const QString &file : {aff, dic}) {
        const QFileInfo info(file);
        if (!info.isFile() || !info.isReadable()) {
            if (error) {
                *error = QStringLiteral("The spelling dictionary could not be found:\n%1\n\n"
                                        "The spelling check is not available until the English "
                                        "(United States) dictionary for hunspell is installed.")
                             .arg(QDir::toNativeSeparators(file));
            }
            return nullptr;
        }
    }

    std::unique_ptr<SpellEngine> engine(new SpellEngine);
    engine->m_hunspell = std::make_unique<Hunspell>(QFile::encodeName(aff).constData(),
                                                    QFile::encodeName(dic).constData());
    engine->m_encoding = QString::fromStdString(engine->m_hunspell->get_dict_encoding()).toUpper();
    engine->m_userDictionary = userDictionary;

    QFile file(userDictionary);
    if (!userDictionary.isEmpty() && file.exists()) {
        if (!file.open(QIODevice::ReadOnly)) {
            if (warning) {
                *warning = QStringLiteral("The user dictionary could not be read:\n%1\n%2\n\n"
                                          "The spelling check goes on without its words.")
                               .arg(QDir::toNativeSeparators(userDictionary), file.errorString());
            }
        } else {
            QString text = QString::fromUtf8(file.readAll());
            if (text.startsWith(QChar(0xFEFF)))
                text.remove(0, 1);
            const QStringList lines = text.split(QLatin1Char('\n'));
            for (const QString &line : lines) {
                const QString word = line.trimmed();
                if (word.isEmpty() || engine->m_userWords.contains(word))
                    continue;
                engine->m_userWords.insert(word);
                std::string encoded;
                if (engine->encode(word, &encoded))
                    engine->m_hunspell->add(encoded);
            }
        }
    }
    return engine;
}

bool SpellEngine::encode(const QString &word, std::string *out) const
{
    if (m_encoding == QLatin1String("UTF-8")) {
        *out = word.toStdString();
        return true;
    }
    QByteArray converted;
    if (!convert(iconvName(m_encoding).constData(), "UTF-8", word.toUtf8(), &converted))
        return false;
    *out = converted.toStdString();
    return true;
}

QString SpellEngine::decode(const std::string &text) const
{
    if (m_encoding == QLatin1String("UTF-8"))
        return QString::fromStdString(text);
    QByteArray converted;
    if (!convert("UTF-8", iconvName(m_encoding).constData(), QByteArray::fromStdString(text),
                 &converted))
        return QString();
    return QString::fromUtf8(converted);
}

bool SpellEngine::isCorrect(const QString &word) const
{
    if (word.isEmpty() || m_userWords.contains(word) || m_ignored.contains(word))
        return true;
    std::string encoded;
    if (!encode(word, &encoded))
        return false;
    return m_hunspell->spell(encoded);
}

QStringList SpellEngine::suggestions(const QString &word) const
{
    QStringList out;
    std::string encoded;
    if (word.size() > MaxSuggestLength || !encode(word, &encoded))
        return out;
    for (const std::string &s : m_hunspell->suggest(encoded)) {
        const QString decoded = decode(s);
        if (!decoded.isEmpty() && !out.contains(decoded))
            out << decoded;
    }
    return out;
}

void SpellEngine::ignoreAll(const QString &word)
{
    m_ignored.insert(word);
}

bool SpellEngine::addWord(const QString &rawWord, QString *error)
{
    const QString word = rawWord.trimmed();
    if (word.isEmpty() || m_userWords.contains(word))
        return true;

    QFile file(m_userDictionary);
    // A file that does not end its last line gets the line ended first, so
    // the new word does not run into the last one.
    bool needsNewline = false;
    if (file.exists() && file.size() > 0 && file.open(QIODevice::ReadOnly)) {
        file.seek(file.size() - 1);
        needsNewline = file.read(1) != "\n";
        file.close();
    }
    QByteArray bytes;
    if (needsNewline)
        bytes += '\n';
    bytes += word.toUtf8() + '\n';
    bool ok = file.open(QIODevice::WriteOnly | QIODevice::Append);
    ok = ok && file.write(bytes) == bytes.size();
    ok = ok && file.flush();
    if (!ok) {
        if (error) {
            *error = QStringLiteral("The word \"%1\" could not be added to the user dictionary:\n%2\n%3")
                         .arg(word, QDir::toNativeSeparators(m_userDictionary), file.errorString());
        }
        return false;
    }
    file.close();

    m_userWords.insert(word);
    std::string encoded;
    if (encode(word, &encoded))
        m_hunspell->add(encoded);
    return true;
}

// ---------------------------------------------------------------------------

namespace SpellCheck {

void setUserDictionary(const QString &path)
{
    if (path != g_userDictionary)
        g_engine.reset();
    g_userDictionary = path;
}

QString userDictionary()
{
    if (!g_userDictionary.isEmpty())
        return g_userDictionary;
    return AppPaths::inProgramFolder(QLatin1String(AppPaths::UserDictionaryFile));
}

void setDictionaryFolder(const QString &folder)
{
    if (folder != g_dictionaryFolder)
        g_engine.reset();
    g_dictionaryFolder = folder;
}

QString dictionaryFolder()
{
    return g_dictionaryFolder.isEmpty() ? defaultDictionaryFolder() : g_dictionaryFolder;
}

SpellEngine *engine()
{
    // A program folder moved by a test (or never set by a main window) must
    // not keep the engine of another folder's user dictionary.
    if (g_engine && g_engine->userDictionary() != userDictionary())
        g_engine.reset();
    if (!g_engine) {
        QString error;
        QString warning;
        g_engine = SpellEngine::load(dictionaryFolder(), userDictionary(), &error, &warning);
        if (!g_engine) {
            MsgBox(error, QString(), MsgButtons::Ok, MsgIcon::Exclamation);
            return nullptr;
        }
        if (!warning.isEmpty())
            MsgBox(warning, QString(), MsgButtons::Ok, MsgIcon::Exclamation);
    }
    return g_engine.get();
}

void unloadEngine()
{
    g_engine.reset();
}

QList<Word> words(const QString &text, int from)
{
    QList<Word> out;
    const int n = int(text.size());
    int i = qMax(0, from);
    while (i < n) {
        if (!isWordChar(text[i])) {
            ++i;
            continue;
        }
        const int start = i;
        bool digit = false;
        while (i < n) {
            const QChar c = text[i];
            if (isWordChar(c)) {
                digit = digit || c.isNumber();
                ++i;
            } else if (isApostrophe(c) && i + 1 < n && isWordChar(text[i + 1])) {
                ++i;
            } else {
                break;
            }
        }
        if (!digit)
            out.append({start, i - start, text.mid(start, i - start)});
    }
    return out;
}

std::optional<Word> nextMisspelt(const SpellEngine &engine, const QString &text, int from)
{
    for (const Word &w : words(text, from)) {
        if (!engine.isCorrect(w.text))
            return w;
    }
    return std::nullopt;
}

bool isTextField(const QWidget *field)
{
    return qobject_cast<const QLineEdit *>(field) || qobject_cast<const QTextEdit *>(field)
           || qobject_cast<const QPlainTextEdit *>(field);
}

QString fieldText(const QWidget *field)
{
    if (auto *line = qobject_cast<const QLineEdit *>(field))
        return line->text();
    // The raw text counts every position as the document's cursors do.
    if (auto *edit = qobject_cast<const QTextEdit *>(field))
        return edit->document()->toRawText();
    if (auto *plain = qobject_cast<const QPlainTextEdit *>(field))
        return plain->document()->toRawText();
    return QString();
}

} // namespace SpellCheck

// ---------------------------------------------------------------------------

void SpellCheckKeyDown(QWidget *field, int key)
{
    if (key == Qt::Key_F7)
        SpellCheckWindow(field);
}

void SpellCheckWindow(QWidget *field)
{
    if (!SpellCheck::isTextField(field))
        return;
    SpellEngine *engine = SpellCheck::engine();
    if (!engine)
        return;
    const auto first = SpellCheck::nextMisspelt(*engine, SpellCheck::fieldText(field), 0);
    bool complete = !first.has_value();
    if (first) {
        SpellCheckDialog dialog(field, *engine, *first, field->window());
        prompter().execDialog(dialog);
        complete = dialog.completed();
    }
    if (complete)
        MsgBox(QLatin1String(SpellCheck::CompleteMessage), QString(), MsgButtons::Ok,
               MsgIcon::Information);
}

void installSpellCheckKey(QWidget *field)
{
    if (!field)
        return;
    const QString name = QStringLiteral("SpellCheckKeyFilter");
    if (field->findChild<QObject *>(name, Qt::FindDirectChildrenOnly))
        return;
    auto *filter = new SpellKeyFilter(field);
    filter->setObjectName(name);
    field->installEventFilter(filter);
}
