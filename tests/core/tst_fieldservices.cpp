// Record-field services in a small editor-like window: whole-text
// selection, the name check, the "My Data" captions and the viewers'
// limit-by lists.
#include "DateField.h"
#include "Db.h"
#include "FieldServices.h"
#include "Fmt.h"
#include "TestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QTextEdit>
#include <QVBoxLayout>
#include <QRandomGenerator>
#include <QtTest>

namespace {

// An editor's user-field captions and name box, with the click on a
// caption wired the way the editors wire it.
class EditorWindow : public QWidget {
public:
    explicit EditorWindow(int datatype)
    {
        auto *lay = new QVBoxLayout(this);
        name = new QLineEdit(this);
        name->setObjectName("AnthemName");
        lay->addWidget(name);
        for (int i = 1; i <= 5; ++i) {
            auto *l = new ClickLabel(QStringLiteral("Designed %1").arg(i), this);
            l->setObjectName(QStringLiteral("ULabel%1").arg(i));
            lay->addWidget(l);
            QObject::connect(l, &ClickLabel::clicked, this,
                             [l, datatype, i] { RenameMyDataLabel(l, datatype, i); });
        }
        other = new QLineEdit(this);
        lay->addWidget(other);
    }
    QLabel *label(int i) const { return findChild<QLabel *>(QStringLiteral("ULabel%1").arg(i)); }
    QLineEdit *name;
    QLineEdit *other;
};

class ViewerWindow : public QWidget {
public:
    ViewerWindow()
    {
        auto *lay = new QVBoxLayout(this);
        for (int i = 5; i <= 9; ++i) {
            auto *box = new QCheckBox(QStringLiteral("Designed %1").arg(i), this);
            box->setObjectName(QStringLiteral("optLimit%1").arg(i));
            auto *list = new QComboBox(this);
            list->setObjectName(QStringLiteral("MyData%1").arg(i));
            list->setEditable(true); // as the viewers have them
            list->addItem("stale");
            lay->addWidget(box);
            lay->addWidget(list);
        }
    }
    QCheckBox *box(int i) const { return findChild<QCheckBox *>(QStringLiteral("optLimit%1").arg(i)); }
    QStringList items(int i) const
    {
        auto *list = findChild<QComboBox *>(QStringLiteral("MyData%1").arg(i));
        QStringList out;
        for (int k = 0; k < list->count(); ++k)
            out << list->itemText(k);
        return out;
    }
};

QString storedLabel(int datatype, int n)
{
    return Fmt::nz(Db::scalar(QStringLiteral("select label%1 from labels where datatype = ?").arg(n), {datatype}));
}

} // namespace

class TestFieldServices : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_folder = std::make_unique<TempProgramFolder>();
        QVERIFY(m_folder->ok());
        m_prompter = std::make_unique<TestPrompter>();
    }
    void cleanup()
    {
        m_prompter.reset();
        m_folder.reset();
    }

    void selectAllText()
    {
        QLineEdit line("Magnificat");
        line.setCursorPosition(3);
        SelectAllText(&line);
        QCOMPARE(line.selectedText(), QString("Magnificat"));
        QCOMPARE(line.selectionStart(), 0);

        QComboBox combo;
        combo.setEditable(true);
        combo.setEditText("Nunc dimittis");
        SelectAllText(&combo);
        QCOMPARE(combo.lineEdit()->selectedText(), QString("Nunc dimittis"));

        QTextEdit memo;
        memo.setPlainText("two\nlines");
        SelectAllTextUtility(&memo);
        QCOMPARE(memo.textCursor().selectedText().size(), 9);

        DateField date;
        date.setText("03/05/2001");
        SelectAllText(&date);
        QCOMPARE(date.lineEdit()->selectedText(), QString("03/05/2001"));
        SelectAllText(nullptr);
    }

    // Selection on focus survives the click that brings the focus.
    void selectAllOnFocus()
    {
        EditorWindow w(2);
        w.name->setText("Jubilate Deo");
        InstallSelectAllOnFocus(w.name);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.other->setFocus();
        QTest::mouseClick(w.name, Qt::LeftButton, {}, QPoint(5, w.name->height() / 2));
        QTRY_COMPARE(w.name->selectedText(), QString("Jubilate Deo"));
    }

    void validateName_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("message");
        const QString required = "The system requires that a name be entered.";
        const QString braces = "The characters: { } are used by system and cannot be used in a name\n"
                               "They will be replaced with 'SPACE' character.";
        QTest::newRow("empty") << "" << false << "" << required;
        QTest::newRow("blanks") << "   " << false << "   " << required;
        QTest::newRow("braces only") << "{}" << false << "{}" << required;
        QTest::newRow("braces and blanks") << " { } " << false << " { } " << required;
        QTest::newRow("plain untrimmed") << "  Gloria  " << true << "  Gloria  " << "";
        QTest::newRow("word in braces") << "{Gloria}" << true << "Gloria" << braces;
        QTest::newRow("two words") << " Gloria {Patri} " << true << "Gloria  Patri" << braces;
        QTest::newRow("apostrophe") << "O'Brien's Hymn" << true << "O'Brien's Hymn" << "";
    }
    void validateName()
    {
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        QFETCH(QString, after);
        QFETCH(QString, message);
        EditorWindow w(2);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.other->setFocus();
        w.name->setText(typed);
        QCOMPARE(ValidateNameText(w.name), accepted);
        QCOMPARE(w.name->text(), after);
        if (message.isEmpty()) {
            QVERIFY(m_prompter->messages.isEmpty());
        } else {
            QCOMPARE(m_prompter->messages.size(), 1);
            const AskedMessage &m = m_prompter->messages.first();
            QCOMPARE(m.text, message);
            QCOMPARE(m.buttons, MsgButtons::Ok);
            if (accepted) {
                QCOMPARE(m.title, QString("System message"));
                QCOMPARE(m.icon, MsgIcon::Information);
            } else {
                QVERIFY(m.title.isEmpty()); // the application's title
                QCOMPARE(m.icon, MsgIcon::None);
                QTRY_VERIFY(w.name->hasFocus());
            }
        }
    }

    void validateNameInComboBox()
    {
        QComboBox combo;
        combo.setEditable(true);
        combo.setEditText("{Te Deum}");
        QVERIFY(ValidateNameText(&combo));
        QCOMPARE(combo.currentText(), QString("Te Deum"));
        combo.setEditText("  ");
        QVERIFY(!ValidateNameText(&combo));
    }

    void loadMyDataLabels()
    {
        Db::exec("update labels set label1 = 'Publisher', label3 = null where datatype = 2");
        EditorWindow w(2);
        LoadMyDataLabels(&w, 2);
        QCOMPARE(w.label(1)->text(), QString("Publisher"));
        QCOMPARE(w.label(2)->text(), QString("My Field 2"));
        QCOMPARE(w.label(3)->text(), QString(""));
        Db::exec("delete from labels where datatype = 3");
        EditorWindow m(3);
        LoadMyDataLabels(&m, 3);
        QCOMPARE(m.label(1)->text(), QString("Designed 1"));
    }

    // Renaming through a click on the caption, as the user does it.
    void renameMyDataLabel()
    {
        EditorWindow w(2);
        LoadMyDataLabels(&w, 2);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));

        m_prompter->inputAnswers.enqueue(QString("Arranger's publisher name"));
        QTest::mouseClick(w.label(3), Qt::LeftButton);
        QCOMPARE(m_prompter->inputPrompts, QStringList({"Enter desired label"}));
        QCOMPARE(w.label(3)->text(), QString("Arranger's publisher"));
        QCOMPARE(storedLabel(2, 3), QString("Arranger's publisher"));
        QCOMPARE(storedLabel(1, 3), QString("My Field 3")); // other kinds untouched
        QCOMPARE(storedLabel(2, 2), QString("My Field 2"));

        // Cancel and an empty answer change nothing.
        m_prompter->inputAnswers.enqueue(std::nullopt);
        QTest::mouseClick(w.label(3), Qt::LeftButton);
        m_prompter->inputAnswers.enqueue(QString(""));
        QTest::mouseClick(w.label(3), Qt::LeftButton);
        QCOMPARE(w.label(3)->text(), QString("Arranger's publisher"));
        QCOMPARE(storedLabel(2, 3), QString("Arranger's publisher"));

        // Text that looks like SQL is stored as typed.
        m_prompter->inputAnswers.enqueue(QString("x' where 1; --"));
        QTest::mouseClick(w.label(5), Qt::LeftButton);
        QCOMPARE(storedLabel(2, 5), QString("x' where 1; --"));
        QCOMPARE(storedLabel(3, 5), QString("My Field 5"));

        // A new load shows what was stored.
        EditorWindow again(2);
        LoadMyDataLabels(&again, 2);
        QCOMPARE(again.label(3)->text(), QString("Arranger's publisher"));
    }

    void textsAreCutByCharacters()
    {
        const QString note = QString::fromUtf8("\xF0\x9F\x8E\xB5"); // one character, two UTF-16 units
        const QString title = QString(99, 'a') + note;
        QCOMPARE(Fmt::length(title), 100);
        QCOMPARE(Fmt::cut(title, 100), title);
        QCOMPARE(Fmt::cut(title, 99), QString(99, 'a'));
        QCOMPARE(Fmt::cut(QString(100, 'a') + note, 100), QString(100, 'a'));
        QCOMPARE(Fmt::cut(note + note + "b", 2), note + note);
        QCOMPARE(Fmt::trimCut("  " + note + "xy  ", 2), note + "x");
        QCOMPARE(Fmt::cut("abc", 0), QString());

        // A field of 100 characters takes 99 letters and the note whole,
        // typed or pasted, and nothing after them.
        QLineEdit field;
        LimitTextWidth(&field, 100);
        QCOMPARE(TextWidth(&field), 100);
        field.insert(title);
        QCOMPARE(field.text(), title);
        QTest::keyClicks(&field, "z");
        QCOMPARE(field.text(), title);
        field.clear();
        field.insert(QString(100, 'a') + note);
        QCOMPARE(field.text(), QString(100, 'a'));
        field.setText(QString(98, 'a') + note + note);
        QCOMPARE(field.text(), QString(98, 'a') + note + note);
        field.setText(QString(99, 'a') + note + note);
        QCOMPARE(field.text(), title);

        // A field without a width keeps whatever was typed or pasted.
        QLineEdit free;
        LimitTextWidth(&free, 0);
        const QString pasted = QString(40000, 'x') + note;
        free.insert(pasted);
        QCOMPARE(free.text(), pasted);

        // A caption is cut to 20 characters, never inside one.
        EditorWindow w(2);
        m_prompter->inputAnswers.enqueue(QString(19, 'c') + note + "tail");
        RenameMyDataLabel(w.label(1), 2, 1);
        QCOMPARE(storedLabel(2, 1), QString(19, 'c') + note);
    }

    void theRenameBoxShowsItsTitleWhole()
    {
        const std::unique_ptr<QInputDialog> box =
            newInputDialog(QStringLiteral("Enter desired label"), QStringLiteral("Modify My Data Label"), QStringLiteral("Shelf"));
        box->show();
        QVERIFY(QTest::qWaitForWindowExposed(box.get()));
        QCOMPARE(box->windowTitle(), QStringLiteral("Modify My Data Label"));
        QCOMPARE(box->textValue(), QStringLiteral("Shelf"));
        // The title in a bold face, with room for the title bar's icon and
        // its three buttons.
        QFont bold = box->font();
        bold.setBold(true);
        const QFontMetrics fm(bold);
        QVERIFY2(box->width() >= fm.horizontalAdvance(box->windowTitle()) + 4 * fm.height(),
                 qPrintable(QString::number(box->width())));
    }

    void loadLimitByOptions()
    {
        Db::exec("update labels set label1 = 'Publisher', label2 = null where datatype = 2");
        Db::exec("insert into anthem (Anthem, u1) values ('a', 'Novello'), ('b', null), ('c', ''),"
                 " ('d', '  '), ('e', 'Augsburg'), ('f', 'Novello'), ('g', 'Zeta'),"
                 " ('h', 'novello'), ('i', 'zeta'), ('j', 'élan'), ('k', 'ÉLAN')");
        Db::exec("insert into member (LName, u1) values ('m', 'Member only')");
        ViewerWindow v;
        LoadLimitByOptions(&v, 2);
        QCOMPARE(v.box(5)->text(), QString("Limit by Publisher"));
        QCOMPARE(v.box(6)->text(), QString("Limit by "));
        QCOMPARE(v.box(9)->text(), QString("Limit by My Field 5"));
        // Each value once, case ignored (Unicode too), in name order.
        QCOMPARE(v.items(5), QStringList({"  ", "Augsburg", "ÉLAN", "Novello", "Zeta"}));
        QCOMPARE(v.items(6), QStringList());
        // Nothing is chosen for the user: every text starts empty.
        for (int i = 5; i <= 9; ++i) {
            auto *list = v.findChild<QComboBox *>(QStringLiteral("MyData%1").arg(i));
            QCOMPARE(list->currentText(), QString());
            QCOMPARE(list->currentIndex(), -1);
        }

        Db::exec("delete from labels where datatype = 3");
        ViewerWindow m;
        LoadLimitByOptions(&m, 3);
        QCOMPARE(m.box(5)->text(), QString("Designed 5"));
        QCOMPARE(m.items(5), QStringList({"stale"}));
    }

    // The lists of all five fields come from one pass over the table, the
    // same as each field's own "select distinct ... order by" gives them.
    void myDataValuesInOnePass()
    {
        const QStringList pool{"Novello", "novello", "NOVELLO", "Augsburg", "élan", "ÉLAN", "Élan", "  ", "",
                               "Zeta", "zeta ", "Öl", "ol", "oL", "Ärger", "10", "9", "ſ", "S"};
        QRandomGenerator rng(23);
        for (const char *table : {"anthem", "collection", "member"}) {
            Db::Transaction tx;
            for (int row = 0; row < 300; ++row) {
                Params values;
                for (int k = 0; k < 5; ++k) {
                    const int pick = int(rng.bounded(pool.size() + 2));
                    values << (pick == pool.size() ? QVariant() : pick > pool.size() ? QVariant(QByteArray("blob"))
                                                                                      : QVariant(pool.at(pick)));
                }
                Db::exec(QStringLiteral("insert into %1 (u1, u2, u3, u4, u5) values (?, ?, ?, ?, ?)").arg(table),
                         values);
            }
            tx.commit();
            const std::array<QStringList, 5> lists = MyDataValues(table);
            for (int n = 1; n <= 5; ++n) {
                QStringList found;
                QSqlQuery q = Db::query(
                    QStringLiteral("select distinct u%1 from %2 where u%1 <> '' order by u%1").arg(n).arg(table));
                while (q.next())
                    found << q.value(0).toString();
                QCOMPARE(lists[size_t(n - 1)], Db::distinctNames(found));
                QVERIFY(!lists[size_t(n - 1)].isEmpty());
            }
        }
    }

private:
    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<TestPrompter> m_prompter;
};

QTEST_MAIN(TestFieldServices)
#include "tst_fieldservices.moc"
