#pragma once
// What the three record editors share to move between records: the letter
// of a name and the letter bar, the record toolbar's three modes, and the
// record move that wraps around at both ends.

#include "HXData.h"

#include <QString>
#include <concepts>

class LetterBar;
class QWidget;

// The one letter rule: the name's first character upper-cased; a name
// that does not begin with A to Z (a digit, a blank, an accented or any
// other character, or no character at all) files under "A".
QString LetterOfName(const QString &name);
// The first button of a letter's group: 1 for "A", 4 for "B" ... 76 for
// "Z"; 1 for anything else.
int LetterGroupButton(const QString &letter);

// Records that the letter of the button (1 to 78) is the selected one:
// P_Button := A_Button, A_Button := the group's first button, SLetterW :=
// its letter. Any other index changes nothing.
void SetLetterFromButton(int index, HXData &data);
// The letter of the name. Mode 0: shows that letter as having records
// (normal button visible, the other two hidden), data untouched. Any other
// mode: SetLetterFromButton with the letter's group, no button changed.
QString LetterButtonForName(int mode, const QString &name, LetterBar *bar, HXData &data);
// Moves the selected look from the group at oldIndex to the group at
// newIndex (both first buttons of a group). A letter showing its
// disabled button keeps it.
void MoveLetterHighlight(int newIndex, int oldIndex, LetterBar *bar);
// Shows every letter as having no records.
void DisableAllLetters(LetterBar *bar);

// The record toolbar ("Toolbar1", a RecordToolbar) of an editor window:
// edit mode (adding) shows only cancel and save; browse mode shows all
// but cancel; empty mode only add. Buttons the toolbar lacks are skipped,
// the separator is never touched; an editor without the toolbar is left
// alone.
void SetToolbarEditMode(QWidget *editor);
void SetToolbarBrowseMode(QWidget *editor);
void SetToolbarEmptyMode(QWidget *editor);

// What a record move needs of a set of records: the editors' NameIndex
// has it.
template <class T>
concept RecordCursor = requires(T &c) {
    { c.bof() } -> std::convertible_to<bool>;
    { c.eof() } -> std::convertible_to<bool>;
    c.moveFirst();
    c.moveLast();
    c.moveNext();
    c.movePrevious();
};

// Direction 1 next, 2 previous, anything else no move; then from before
// the first record to the last, and from after the last to the first.
// Every error is ignored: a failed move leaves the set as it was.
template <RecordCursor T>
void MoveRecordWrap(int direction, T &set) noexcept
{
    auto attempt = [](auto &&step) {
        try {
            step();
        } catch (...) {
        }
    };
    if (direction == 1)
        attempt([&] { set.moveNext(); });
    else if (direction == 2)
        attempt([&] { set.movePrevious(); });
    attempt([&] {
        if (set.bof())
            set.moveLast();
    });
    attempt([&] {
        if (set.eof())
            set.moveFirst();
    });
}
