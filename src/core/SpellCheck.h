#pragma once
// The spell checker behind F7 in the record windows: hunspell with the
// system's en_US dictionary and the user dictionary of the program folder
// ("MyDictionary.dct", one word a line, UTF-8).

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class Hunspell;
class QWidget;

// One loaded hunspell engine plus the words of the user dictionary and the
// words the user chose to ignore while the program runs.
class SpellEngine {
public:
    ~SpellEngine();
    SpellEngine(const SpellEngine &) = delete;
    SpellEngine &operator=(const SpellEngine &) = delete;

    // Loads "<dictionaryFolder>/en_US.aff" and ".dic" and the user
    // dictionary. nullptr with *error set when the system dictionary is
    // missing; an unreadable user dictionary still gives an engine, with
    // *warning set.
    static std::unique_ptr<SpellEngine> load(const QString &dictionaryFolder,
                                             const QString &userDictionary, QString *error,
                                             QString *warning = nullptr);

    bool isCorrect(const QString &word) const;
    QStringList suggestions(const QString &word) const;

    // Ignored until the program ends.
    void ignoreAll(const QString &word);
    // Appends the word to the user dictionary file and teaches it to the
    // running engine. False with *error set when the file cannot be written.
    bool addWord(const QString &word, QString *error);

    QString userDictionary() const { return m_userDictionary; }

private:
    SpellEngine() = default;
    // The word in the dictionary's own encoding; false when it cannot be
    // written in it (such a word is unknown to the system dictionary).
    bool encode(const QString &word, std::string *out) const;
    QString decode(const std::string &text) const;

    std::unique_ptr<Hunspell> m_hunspell;
    QString m_encoding; // upper-cased SET of the affix file
    QString m_userDictionary;
    QSet<QString> m_userWords;
    QSet<QString> m_ignored;
};

namespace SpellCheck {
// The user dictionary file, set by the main window's load; until then the
// program folder's "MyDictionary.dct".
void setUserDictionary(const QString &path);
QString userDictionary();

// Folder holding en_US.aff and en_US.dic; "" restores the system's.
void setDictionaryFolder(const QString &folder);
QString dictionaryFolder();

// The shared engine, loaded on first use. On failure shows one message and
// returns nullptr (the next call tries again).
SpellEngine *engine();
// Drops the shared engine; the next check loads the dictionaries afresh.
void unloadEngine();

struct Word {
    int start = 0;
    int length = 0;
    QString text;
};
// The words of a text from position `from` on: runs of letters with
// apostrophes inside them (O'Brien, don't); runs holding a digit are no
// words to check.
QList<Word> words(const QString &text, int from = 0);
// The first word from `from` on that the engine does not accept.
std::optional<Word> nextMisspelt(const SpellEngine &engine, const QString &text, int from);

// The text of a QLineEdit, QTextEdit or QPlainTextEdit as positions of the
// field count it; isTextField() says whether the widget is one of those.
bool isTextField(const QWidget *field);
QString fieldText(const QWidget *field);

inline constexpr const char *CompleteMessage = "The spelling check is complete.";
} // namespace SpellCheck

// F7 (with or without Shift) starts the spell check of the field; any other
// key does nothing. The key is never consumed.
void SpellCheckKeyDown(QWidget *field, int key);
// Walks the misspelt words of a text field in the spell-check dialog.
void SpellCheckWindow(QWidget *field);
// Hooks F7 on a field: an event filter that calls SpellCheckKeyDown.
void installSpellCheckKey(QWidget *field);
