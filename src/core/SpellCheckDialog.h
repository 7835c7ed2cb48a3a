#pragma once
// The spell-check dialog: walks the misspelt words of one text field, each
// shown with the dictionary's suggestions, and changes, ignores or adds it
// to the user dictionary. Changes go into the field at once, so Cancel keeps
// what was already changed.

#include "SpellCheck.h"

#include <QDialog>
#include <QPointer>

class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

class SpellCheckDialog : public QDialog {
    Q_OBJECT
public:
    // `first` is the field's first misspelt word.
    SpellCheckDialog(QWidget *field, SpellEngine &engine, const SpellCheck::Word &first,
                     QWidget *parent = nullptr);

    // True once the walk has passed the last word of the field.
    bool completed() const { return m_completed; }

private:
    void showWord(const SpellCheck::Word &word);
    void moveOn(int from);
    void change();
    void ignore();
    void ignoreAll();
    void addWord();
    void suggestionChosen(QListWidgetItem *item);
    void updateButtons();
    bool replaceInField(const QString &with, int *end);

    QPointer<QWidget> m_field;
    SpellEngine &m_engine;
    SpellCheck::Word m_word;
    bool m_completed = false;
    bool m_readOnly = false;

    QLabel *m_context = nullptr;
    QLineEdit *m_notFound = nullptr;
    QLineEdit *m_changeTo = nullptr;
    QListWidget *m_suggestions = nullptr;
    QPushButton *m_change = nullptr;
};
