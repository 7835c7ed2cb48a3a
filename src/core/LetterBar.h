#pragma once
// The letter bar of the record editors (their "Toolbar2"): three buttons
// per letter A to Z, indexes 1 to 78. For letter k (0 for A ... 25 for Z)
// button 3k + 1 is the normal look (the letter has records), 3k + 2 the
// selected look and 3k + 3 the disabled look (no record begins with it).
// The navigation routines keep exactly one button of each letter visible.
//
// From the keyboard the bar is one Tab stop: the selected letter, else the
// first enabled one. The arrow keys (and Home and End) move between the
// enabled letters, Space or Return chooses the one in focus.

#include <QString>
#include <QToolBar>

class QAction;
class QKeyEvent;

class LetterBar : public QToolBar {
    Q_OBJECT
public:
    static constexpr int ButtonCount = 78;

    explicit LetterBar(QWidget *parent = nullptr);

    // The button with the index 1 to 78; nullptr for any other index.
    QAction *button(int index) const;
    bool isButtonVisible(int index) const;
    void setButtonVisible(int index, bool visible);
    QString buttonToolTip(int index) const;
    // The tooltip of the normal and selected buttons: the editor's records
    // ("Anthems", "Collections", "Members") followed by " beginning with "
    // and the letter. "Collections" until an editor says otherwise.
    void setRecordsName(const QString &plural);

    // The letter of a button's group: "A" for 1 to 3 ... "Z" for 76 to 78;
    // "" outside 1 to 78.
    static QString letterOfButton(int index);
    // The role of a button within its group: 0 normal, 1 selected, 2 disabled.
    static int roleOfButton(int index) { return (index - 1) % 3; }

signals:
    // The user clicked the button with this index.
    void buttonClicked(int index);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *e) override;

private:
    // The letter's button a user can reach (normal or selected look,
    // visible, enabled); nullptr when the letter has none. Letters 0 to 25.
    QWidget *reachableButton(int letter) const;
    // The letter whose button has the focus; -1 when none has.
    int letterInFocus() const;
    // Arrow, Home, End, Return: true when the key was one of them.
    bool navigationKey(QKeyEvent *e, int fromLetter);
    // Gives the Tab stop to the right button, and the focus back to the
    // letter whose button was swapped for another look while in focus.
    void settleTabStop();

    QAction *m_buttons[ButtonCount] = {};
    QWidget *m_widgets[ButtonCount] = {};
    // The letter whose focused button was hidden (its look changes by
    // hiding one button and showing another); -1 when none.
    int m_focusLetter = -1;
};
