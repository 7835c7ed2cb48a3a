#pragma once
// Helpers shared by the reference-list tests: entries written straight to
// the database, the list windows driven through their controls, and the
// add/edit dialog answered through the test prompter.

#include "Db.h"
#include "Forms.h"
#include "Module.h"
#include "RefListForm.h"
#include "TestSupport.h"

#include <QCoreApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTextEdit>
#include <QtTest>
#include <functional>
#include <optional>

inline qint32 addRow(const QString &table, const QString &column, const QVariant &value)
{
    Db::exec(QStringLiteral("insert into %1 (%2) values (?)").arg(table, column), {value});
    return qint32(Db::lastInsertId());
}

inline QStringList columnValues(const QString &sql, const Params &params = {})
{
    QStringList out;
    QSqlQuery q = Db::query(sql, params);
    while (q.next())
        out << q.value(0).toString();
    return out;
}

inline int countRows(const QString &table)
{
    return Db::scalar(QStringLiteral("select count(*) from %1").arg(table)).toInt();
}

// The names a list window's grid shows, top to bottom.
inline QStringList gridNames(const QTableWidget *grid)
{
    QStringList out;
    for (int r = 0; r < grid->rowCount(); ++r)
        out << (grid->item(r, 1) ? grid->item(r, 1)->text() : QString());
    return out;
}

inline void selectName(QTableWidget *grid, const QString &name)
{
    for (int r = 0; r < grid->rowCount(); ++r)
        if (grid->item(r, 1) && grid->item(r, 1)->text() == name)
            grid->selectRow(r);
}

inline void clickButton(QWidget *parent, const char *name)
{
    auto *b = parent->findChild<QPushButton *>(QLatin1String(name));
    QVERIFY2(b, name);
    b->click();
}

// A dialog answer that types the texts and presses Save; when the dialog
// refuses to close it presses Cancel.
struct DialogInput {
    std::optional<QString> text1 = std::nullopt, text2 = std::nullopt, text3 = std::nullopt;
};

inline std::function<int(QDialog &)> typeAndSave(DialogInput in)
{
    return [in](QDialog &d) {
        if (in.text1)
            d.findChild<QLineEdit *>(QStringLiteral("Text1"))->setText(*in.text1);
        if (in.text2)
            d.findChild<QTextEdit *>(QStringLiteral("Text2"))->setPlainText(*in.text2);
        if (in.text3)
            d.findChild<QTextEdit *>(QStringLiteral("Text3"))->setPlainText(*in.text3);
        d.findChild<QPushButton *>(QStringLiteral("btnSave"))->click();
        if (d.result() != QDialog::Accepted)
            d.findChild<QPushButton *>(QStringLiteral("btnCancel"))->click();
        return d.result();
    };
}

inline std::function<int(QDialog &)> typeAndCancel(const QString &text1)
{
    return [text1](QDialog &d) {
        d.findChild<QLineEdit *>(QStringLiteral("Text1"))->setText(text1);
        d.findChild<QPushButton *>(QStringLiteral("btnCancel"))->click();
        return d.result();
    };
}

// Closes every open window and lets Qt delete them while the database is
// still open.
inline void closeAllForms()
{
    for (int code = 1; code <= 16; ++code)
        if (QWidget *w = Forms::instance(code))
            w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

template <class T> T *openList(int code)
{
    OpenFormByCode(code);
    return Forms::find<T>(code);
}
