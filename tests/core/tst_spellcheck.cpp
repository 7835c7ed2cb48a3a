// The spell check behind F7: word splitting, the hunspell engine with the
// user dictionary, and the dialog that walks a field's misspelt words.
#include "FieldServices.h"
#include "SpellCheck.h"
#include "TestSupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QtTest>

namespace {

// Records the F7 presses that reach the field itself.
class CountingLineEdit : public QLineEdit {
public:
    int f7Presses = 0;

protected:
    void keyPressEvent(QKeyEvent *e) override
    {
        if (e->key() == Qt::Key_F7)
            ++f7Presses;
        QLineEdit::keyPressEvent(e);
    }
};

void click(QDialog &d, const char *button)
{
    auto *b = child<QPushButton>(&d, QLatin1String(button));
    QVERIFY2(b, button);
    QVERIFY2(b->isEnabled(), button);
    b->click();
}

QString shownWord(QDialog &d)
{
    auto *w = child<QLineEdit>(&d, QStringLiteral("txtNotInDictionary"));
    return w ? w->text() : QString();
}

QString readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("<unreadable>");
    return QString::fromUtf8(f.readAll());
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

} // namespace

class TestSpellCheck : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void wordsOfAText();
    void engineKnowsEnglish();
    void changeToASuggestion();
    void walkIgnoresChangesAndCancels();
    void ignoreAllSkipsTheWordForTheSession();
    void addedWordSurvivesRestart();
    void addEndsAnUnfinishedLastLine();
    void f7AndShiftF7StartTheCheckF8DoesNot();
    void fieldWithoutErrorsSaysComplete();
    void missingDictionaryGivesMessage();
    void unreadableUserDictionary();
    void changeThatDoesNotFitIsRefused();
    void readOnlyFieldCannotBeChanged();
    void dictionaryInItsOwnEncoding();

private:
    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<TestPrompter> m_prompter;
    QString dictionaryFile() const { return m_folder->file(QStringLiteral("MyDictionary.dct")); }
};

void TestSpellCheck::init()
{
    m_folder = std::make_unique<TempProgramFolder>(false);
    m_prompter = std::make_unique<TestPrompter>();
    SpellCheck::setDictionaryFolder(QString());
    SpellCheck::setUserDictionary(dictionaryFile());
    SpellCheck::unloadEngine();
}

void TestSpellCheck::cleanup()
{
    SpellCheck::unloadEngine();
    SpellCheck::setDictionaryFolder(QString());
    SpellCheck::setUserDictionary(QString());
    m_prompter.reset();
    m_folder.reset();
}

void TestSpellCheck::wordsOfAText()
{
    QStringList found;
    for (const auto &w : SpellCheck::words(QStringLiteral("O'Brien don't 'tis sing-along, 3rd SATB2 choirs' x\u2019y 12")))
        found << w.text;
    QCOMPARE(found, QStringList({"O'Brien", "don't", "tis", "sing", "along", "choirs", "x\u2019y"}));

    const auto ws = SpellCheck::words(QStringLiteral("ab  cd"), 2);
    QCOMPARE(ws.size(), 1);
    QCOMPARE(ws[0].start, 4);
    QCOMPARE(ws[0].length, 2);
}

void TestSpellCheck::engineKnowsEnglish()
{
    SpellEngine *e = SpellCheck::engine();
    QVERIFY2(e, qPrintable(m_prompter->lastMessage()));
    QVERIFY(!e->isCorrect(QStringLiteral("recieve")));
    QVERIFY(e->suggestions(QStringLiteral("recieve")).contains(QStringLiteral("receive")));
    for (const char *good : {"receive", "don't", "O'Brien", "anthem", "choir's"})
        QVERIFY2(e->isCorrect(QLatin1String(good)), good);
    // Loaded once: the same engine comes back.
    QCOMPARE(SpellCheck::engine(), e);
    QVERIFY(m_prompter->messages.isEmpty());
}

void TestSpellCheck::changeToASuggestion()
{
    QLineEdit field;
    field.setText(QStringLiteral("We recieve 12 anthems"));
    QStringList suggestions;
    m_prompter->dialogHandlers.enqueue([&](QDialog &d) {
        [&] {
            QCOMPARE(shownWord(d), QStringLiteral("recieve"));
            auto *list = child<QListWidget>(&d, QStringLiteral("lstSuggestions"));
            QVERIFY(list);
            for (int i = 0; i < list->count(); ++i)
                suggestions << list->item(i)->text();
            const auto items = list->findItems(QStringLiteral("receive"), Qt::MatchExactly);
            QVERIFY(!items.isEmpty());
            list->setCurrentItem(items.first());
            QCOMPARE(child<QLineEdit>(&d, QStringLiteral("txtChangeTo"))->text(), QStringLiteral("receive"));
            QVERIFY(child<QLabel>(&d, QStringLiteral("lblContext"))->text().contains(QStringLiteral("<b>recieve</b>")));
            click(d, "btnChange");
        }();
        return d.result();
    });
    SpellCheckWindow(&field);
    QCOMPARE(m_prompter->dialogs, QStringList{QStringLiteral("SpellCheckDialog")});
    QVERIFY(suggestions.contains(QStringLiteral("receive")));
    QCOMPARE(field.text(), QStringLiteral("We receive 12 anthems"));
    QCOMPARE(m_prompter->lastMessage(), QStringLiteral("The spelling check is complete."));
    // The change is an edit of the field's: undo brings the old word back.
    field.undo();
    QCOMPARE(field.text(), QStringLiteral("We recieve 12 anthems"));
}

void TestSpellCheck::walkIgnoresChangesAndCancels()
{
    QTextEdit field;
    field.setPlainText(QStringLiteral("Teh choir will recieve\nthe anthm on Sundy"));
    QStringList seen;
    m_prompter->dialogHandlers.enqueue([&](QDialog &d) {
        [&] {
            seen << shownWord(d);
            click(d, "btnIgnore");
            seen << shownWord(d);
            child<QLineEdit>(&d, QStringLiteral("txtChangeTo"))->setText(QStringLiteral("receive"));
            click(d, "btnChange");
            seen << shownWord(d);
            child<QLineEdit>(&d, QStringLiteral("txtChangeTo"))->setText(QStringLiteral("anthem"));
            click(d, "btnChange");
            seen << shownWord(d);
            click(d, "btnCancel");
        }();
        return d.result();
    });
    SpellCheckWindow(&field);
    QCOMPARE(seen, QStringList({"Teh", "recieve", "anthm", "Sundy"}));
    // Cancel keeps what was already changed and stops the walk quietly.
    QCOMPARE(field.toPlainText(), QStringLiteral("Teh choir will receive\nthe anthem on Sundy"));
    QVERIFY(m_prompter->messages.isEmpty());
}

void TestSpellCheck::ignoreAllSkipsTheWordForTheSession()
{
    QPlainTextEdit field;
    field.setPlainText(QStringLiteral("recieve, recieve and recieve"));
    int words = 0;
    m_prompter->dialogHandlers.enqueue([&](QDialog &d) {
        ++words;
        click(d, "btnIgnoreAll");
        return d.result();
    });
    SpellCheckWindow(&field);
    QCOMPARE(words, 1);
    QCOMPARE(m_prompter->lastMessage(), QStringLiteral("The spelling check is complete."));
    QCOMPARE(field.toPlainText(), QStringLiteral("recieve, recieve and recieve"));

    // Still ignored at the next check, but never written to the user dictionary.
    m_prompter->clear();
    SpellCheckWindow(&field);
    QVERIFY(m_prompter->dialogs.isEmpty());
    QVERIFY(!QFile::exists(dictionaryFile()));
    SpellCheck::unloadEngine();
    QVERIFY(!SpellCheck::engine()->isCorrect(QStringLiteral("recieve")));
}

void TestSpellCheck::addedWordSurvivesRestart()
{
    QLineEdit field;
    field.setText(QStringLiteral("Velmorian Grüßlich Velmorian"));
    QStringList seen;
    m_prompter->dialogHandlers.enqueue([&](QDialog &d) {
        seen << shownWord(d);
        click(d, "btnAdd");
        seen << shownWord(d);
        click(d, "btnAdd");
        return d.result();
    });
    SpellCheckWindow(&field);
    // The second "Velmorian" is known once added.
    QCOMPARE(seen, QStringList({"Velmorian", "Grüßlich"}));
    QCOMPARE(m_prompter->lastMessage(), QStringLiteral("The spelling check is complete."));
    QCOMPARE(readFile(dictionaryFile()), QStringLiteral("Velmorian\nGrüßlich\n"));

    // A restart loads the words from the file again.
    SpellCheck::unloadEngine();
    SpellEngine *e = SpellCheck::engine();
    QVERIFY(e);
    QVERIFY(e->isCorrect(QStringLiteral("Velmorian")));
    QVERIFY(e->isCorrect(QStringLiteral("Grüßlich")));
    QVERIFY(!e->isCorrect(QStringLiteral("Velmorians")));
    m_prompter->clear();
    SpellCheckWindow(&field);
    QVERIFY(m_prompter->dialogs.isEmpty());

    // The user dictionary is case-sensitive the way hunspell is: a word
    // added in capitals does not accept the lower-case form.
    QVERIFY(!e->isCorrect(QStringLiteral("velmorian")));
}

void TestSpellCheck::addEndsAnUnfinishedLastLine()
{
    QVERIFY(writeFile(dictionaryFile(), "\xEF\xBB\xBFZwingly\r\n\r\nQuorple"));
    SpellEngine *e = SpellCheck::engine();
    QVERIFY(e);
    QVERIFY(e->isCorrect(QStringLiteral("Zwingly")));
    QVERIFY(e->isCorrect(QStringLiteral("Quorple")));
    QString error;
    QVERIFY(e->addWord(QStringLiteral("Blenkish"), &error));
    QVERIFY(e->addWord(QStringLiteral("Quorple"), &error)); // already there: not written twice
    QFile f(dictionaryFile());
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("\xEF\xBB\xBFZwingly\r\n\r\nQuorple\nBlenkish\n"));
}

void TestSpellCheck::f7AndShiftF7StartTheCheckF8DoesNot()
{
    CountingLineEdit field;
    field.setText(QStringLiteral("recieve"));
    installSpellCheckKey(&field);
    installSpellCheckKey(&field); // a second hook does not check twice

    QTest::keyClick(&field, Qt::Key_F8);
    QVERIFY(m_prompter->dialogs.isEmpty());
    QVERIFY(m_prompter->messages.isEmpty());

    QTest::keyClick(&field, Qt::Key_F7);
    QCOMPARE(m_prompter->dialogs.size(), 1);
    QTest::keyClick(&field, Qt::Key_F7, Qt::ShiftModifier);
    QCOMPARE(m_prompter->dialogs.size(), 2);
    // The key goes on to the field.
    QCOMPARE(field.f7Presses, 2);

    // The routine itself answers to F7 only.
    SpellCheckKeyDown(&field, Qt::Key_F8);
    SpellCheckKeyDown(&field, 118);
    QCOMPARE(m_prompter->dialogs.size(), 2);
    SpellCheckKeyDown(&field, Qt::Key_F7);
    QCOMPARE(m_prompter->dialogs.size(), 3);
    // A rejected dialog (Escape, close box) is a Cancel: nothing changed, no message.
    QCOMPARE(field.text(), QStringLiteral("recieve"));
    QVERIFY(m_prompter->messages.isEmpty());
}

void TestSpellCheck::fieldWithoutErrorsSaysComplete()
{
    QTextEdit field;
    field.setPlainText(QStringLiteral("The choir will sing the anthem on Sunday, 10:30 AM."));
    SpellCheckWindow(&field);
    QVERIFY(m_prompter->dialogs.isEmpty());
    QCOMPARE(m_prompter->messages.size(), 1);
    QCOMPARE(m_prompter->messages[0].text, QStringLiteral("The spelling check is complete."));

    // An empty field, and a widget that holds no text, are no trouble either.
    m_prompter->clear();
    QLineEdit empty;
    SpellCheckWindow(&empty);
    QCOMPARE(m_prompter->lastMessage(), QStringLiteral("The spelling check is complete."));
    m_prompter->clear();
    QWidget plain;
    SpellCheckWindow(&plain);
    SpellCheckWindow(nullptr);
    QVERIFY(m_prompter->messages.isEmpty());
}

void TestSpellCheck::missingDictionaryGivesMessage()
{
    QTemporaryDir empty;
    SpellCheck::setDictionaryFolder(empty.path());
    QLineEdit field;
    field.setText(QStringLiteral("recieve"));
    installSpellCheckKey(&field);
    QTest::keyClick(&field, Qt::Key_F7);
    QVERIFY(m_prompter->dialogs.isEmpty());
    QCOMPARE(m_prompter->messages.size(), 1);
    QVERIFY(m_prompter->messages[0].text.contains(QStringLiteral("dictionary could not be found")));
    QVERIFY(m_prompter->messages[0].text.contains(QStringLiteral("en_US")));
    QCOMPARE(field.text(), QStringLiteral("recieve"));

    // Once the dictionary is back the check works without a restart.
    SpellCheck::setDictionaryFolder(QString());
    m_prompter->clear();
    QTest::keyClick(&field, Qt::Key_F7);
    QCOMPARE(m_prompter->dialogs.size(), 1);
}

void TestSpellCheck::unreadableUserDictionary()
{
    // A folder where the file should be: it cannot be read nor added to.
    QVERIFY(QDir(m_folder->path()).mkdir(QStringLiteral("MyDictionary.dct")));
    QLineEdit field;
    field.setText(QStringLiteral("Velmorian"));
    m_prompter->dialogHandlers.enqueue([&](QDialog &d) {
        click(d, "btnAdd");
        // The word stays shown after the failed add.
        [&] { QCOMPARE(shownWord(d), QStringLiteral("Velmorian")); }();
        click(d, "btnIgnore");
        return d.result();
    });
    SpellCheckWindow(&field);
    QCOMPARE(m_prompter->messages.size(), 3);
    QVERIFY(m_prompter->messages[0].text.contains(QStringLiteral("user dictionary could not be read")));
    QVERIFY(m_prompter->messages[1].text.contains(QStringLiteral("could not be added")));
    QCOMPARE(m_prompter->messages[2].text, QStringLiteral("The spelling check is complete."));
}

void TestSpellCheck::changeThatDoesNotFitIsRefused()
{
    QLineEdit field;
    field.setMaxLength(10);
    field.setText(QStringLiteral("recieve ab"));
    m_prompter->dialogHandlers.enqueue([&](QDialog &d) {
        child<QLineEdit>(&d, QStringLiteral("txtChangeTo"))->setText(QStringLiteral("receiving"));
        click(d, "btnChange");
        [&] { QCOMPARE(shownWord(d), QStringLiteral("recieve")); }();
        child<QLineEdit>(&d, QStringLiteral("txtChangeTo"))->setText(QStringLiteral("receive"));
        click(d, "btnChange");
        return d.result();
    });
    SpellCheckWindow(&field);
    QCOMPARE(field.text(), QStringLiteral("receive ab"));
    QCOMPARE(m_prompter->messages.size(), 2);
    QVERIFY(m_prompter->messages[0].text.contains(QStringLiteral("at most 10 characters")));

    // A field limited to its column's width in characters says the same.
    m_prompter->clear();
    QLineEdit limited;
    LimitTextWidth(&limited, 10);
    limited.setText(QStringLiteral("recieve ab"));
    m_prompter->dialogHandlers.enqueue([&](QDialog &d) {
        child<QLineEdit>(&d, QStringLiteral("txtChangeTo"))->setText(QStringLiteral("receiving"));
        click(d, "btnChange");
        child<QLineEdit>(&d, QStringLiteral("txtChangeTo"))->setText(QStringLiteral("receive"));
        click(d, "btnChange");
        return d.result();
    });
    SpellCheckWindow(&limited);
    QCOMPARE(limited.text(), QStringLiteral("receive ab"));
    QVERIFY(m_prompter->messages[0].text.contains(QStringLiteral("at most 10 characters")));
}

void TestSpellCheck::readOnlyFieldCannotBeChanged()
{
    QTextEdit field;
    field.setPlainText(QStringLiteral("recieve"));
    field.setReadOnly(true);
    bool changeEnabled = true;
    m_prompter->dialogHandlers.enqueue([&](QDialog &d) {
        changeEnabled = child<QPushButton>(&d, QStringLiteral("btnChange"))->isEnabled();
        click(d, "btnIgnore");
        return d.result();
    });
    SpellCheckWindow(&field);
    QVERIFY(!changeEnabled);
    QCOMPARE(field.toPlainText(), QStringLiteral("recieve"));
}

void TestSpellCheck::dictionaryInItsOwnEncoding()
{
    // A dictionary in ISO8859-1: words are converted to it and back.
    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath(QStringLiteral("en_US.aff")), "SET ISO8859-1\nTRY e\n"));
    QVERIFY(writeFile(dir.filePath(QStringLiteral("en_US.dic")), "2\ncaf\xE9\nhymn\n"));
    SpellCheck::setDictionaryFolder(dir.path());
    SpellEngine *e = SpellCheck::engine();
    QVERIFY(e);
    QVERIFY(e->isCorrect(QStringLiteral("café")));
    QVERIFY(e->isCorrect(QStringLiteral("hymn")));
    QVERIFY(!e->isCorrect(QStringLiteral("cafe")));
    QVERIFY(e->suggestions(QStringLiteral("cafe")).contains(QStringLiteral("café")));
    // A word the dictionary's encoding cannot hold is simply unknown, and
    // can still be added to the user dictionary.
    QVERIFY(!e->isCorrect(QStringLiteral("Ŝabat")));
    QVERIFY(e->suggestions(QStringLiteral("Ŝabat")).isEmpty());
    QString error;
    QVERIFY(e->addWord(QStringLiteral("Ŝabat"), &error));
    SpellCheck::unloadEngine();
    QVERIFY(SpellCheck::engine()->isCorrect(QStringLiteral("Ŝabat")));
    QCOMPARE(readFile(dictionaryFile()), QStringLiteral("Ŝabat\n"));
}

QTEST_MAIN(TestSpellCheck)
#include "tst_spellcheck.moc"
