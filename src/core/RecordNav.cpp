#include "RecordNav.h"

#include "LetterBar.h"
#include "RecordCodes.h"
#include "RecordToolbar.h"

#include <QWidget>

namespace {

RecordToolbar *toolbarOf(QWidget *editor)
{
    return editor ? editor->findChild<RecordToolbar *>(QStringLiteral("Toolbar1")) : nullptr;
}

void show(RecordToolbar *tb, std::initializer_list<int> indexes, bool visible)
{
    for (int i : indexes)
        if (i != RecordButton::Separator)
            tb->setButtonVisible(i, visible);
}

} // namespace

QString LetterOfName(const QString &name)
{
    if (!name.isEmpty()) {
        const QString first = QString(name.at(0)).toUpper();
        if (first.size() == 1 && first.at(0) >= u'A' && first.at(0) <= u'Z')
            return first;
    }
    return QStringLiteral("A");
}

int LetterGroupButton(const QString &letter)
{
    if (letter.size() == 1 && letter.at(0) >= u'A' && letter.at(0) <= u'Z')
        return 3 * (letter.at(0).unicode() - u'A') + 1;
    return 1;
}

void SetLetterFromButton(int index, HXData &data)
{
    if (index < 1 || index > LetterBar::ButtonCount)
        return;
    const int k = (index - 1) / 3;
    data.setP_Button(data.A_Button());
    data.setA_Button(qint16(3 * k + 1));
    data.setSLetterW(QString(QChar(u'A' + k)));
}

QString LetterButtonForName(int mode, const QString &name, LetterBar *bar, HXData &data)
{
    const QString letter = LetterOfName(name);
    const int g = LetterGroupButton(letter);
    if (mode == 0) {
        if (bar) {
            bar->setButtonVisible(g, true);
            bar->setButtonVisible(g + 1, false);
            bar->setButtonVisible(g + 2, false);
        }
    } else {
        SetLetterFromButton(g, data);
    }
    return letter;
}

void MoveLetterHighlight(int newIndex, int oldIndex, LetterBar *bar)
{
    if (!bar)
        return;
    // Only first buttons of a group are meant; anything else is ignored so
    // no button of another letter is touched.
    auto isGroup = [](int i) { return i >= 1 && i <= LetterBar::ButtonCount && (i - 1) % 3 == 0; };
    if (isGroup(oldIndex) && !bar->isButtonVisible(oldIndex + 2)) {
        bar->setButtonVisible(oldIndex + 1, false);
        bar->setButtonVisible(oldIndex, true);
    }
    if (isGroup(newIndex) && !bar->isButtonVisible(newIndex + 2)) {
        bar->setButtonVisible(newIndex, false);
        bar->setButtonVisible(newIndex + 1, true);
    }
}

void DisableAllLetters(LetterBar *bar)
{
    if (!bar)
        return;
    for (int i = 1; i <= LetterBar::ButtonCount; i += 3) {
        bar->setButtonVisible(i, false);
        bar->setButtonVisible(i + 1, false);
        bar->setButtonVisible(i + 2, true);
    }
}

using namespace RecordButton;

void SetToolbarEditMode(QWidget *editor)
{
    if (RecordToolbar *tb = toolbarOf(editor)) {
        show(tb, {Add, Cancel, Save, Delete, First, Previous, Next, Last, Schedule}, false);
        show(tb, {Cancel, Save}, true);
    }
}

void SetToolbarBrowseMode(QWidget *editor)
{
    if (RecordToolbar *tb = toolbarOf(editor)) {
        show(tb, {Add, Cancel, Save, Delete, First, Previous, Next, Last, Schedule}, true);
        show(tb, {Cancel}, false);
    }
}

void SetToolbarEmptyMode(QWidget *editor)
{
    if (RecordToolbar *tb = toolbarOf(editor)) {
        show(tb, {Cancel, Save, Delete, First, Previous, Next, Last, Schedule}, false);
        show(tb, {Add}, true);
    }
}
