#pragma once
// The record toolbar of the record editors (their "Toolbar1"), buttons by
// index: 1 add, 2 cancel, 3 save, 4 delete, 5 first, 6 previous, 7 next,
// 8 last, 9 a separator, 10 schedule (RecordButton in RecordCodes.h). Each editor sets the captions and
// tooltips and decides what a click does; the mode routines show and hide
// the buttons.

#include "RecordCodes.h"

#include <QToolBar>

class QAction;

class RecordToolbar : public QToolBar {
    Q_OBJECT
public:
    static constexpr int ButtonCount = RecordButton::Schedule;
    static constexpr int Separator = RecordButton::Separator;

    explicit RecordToolbar(QWidget *parent = nullptr);

    // The button with the index; nullptr for an index the toolbar lacks.
    QAction *button(int index) const;
    bool isButtonVisible(int index) const;
    void setButtonVisible(int index, bool visible);
    // Takes a button off the toolbar for good (the member editor has no
    // schedule button); the mode routines then skip it.
    void removeButton(int index);

signals:
    // The user clicked the button with this index (never the separator).
    void buttonClicked(int index);

private:
    QAction *m_buttons[ButtonCount] = {};
};
