#include "AccessibleNames.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLineEdit>

namespace {

// A drop-down list: its children are the popup list (the items to choose
// from) and, when it can be typed into, its text.
class NamedComboBox : public QAccessibleWidget {
public:
    explicit NamedComboBox(QComboBox *combo) : QAccessibleWidget(combo, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return shown();
        QString s = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && s.isEmpty())
            s = shown();
        return s;
    }

    int childCount() const override { return combo()->isEditable() ? 2 : 1; }

    QAccessibleInterface *child(int index) const override
    {
        if (index == 0)
            return QAccessible::queryAccessibleInterface(combo()->view());
        if (index == 1 && combo()->isEditable()) {
            nameText();
            return QAccessible::queryAccessibleInterface(combo()->lineEdit());
        }
        return nullptr;
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (!child)
            return -1;
        if (child->object() == combo()->view())
            return 0;
        if (combo()->isEditable() && child->object() == combo()->lineEdit())
            return 1;
        return -1;
    }

    QAccessibleInterface *childAt(int x, int y) const override
    {
        QLineEdit *edit = combo()->isEditable() ? combo()->lineEdit() : nullptr;
        if (edit && edit->isVisible() && QRect(edit->mapToGlobal(QPoint(0, 0)), edit->size()).contains(x, y))
            return child(1);
        return nullptr;
    }

    // The text of a list that can be typed into takes the list's focus.
    QAccessibleInterface *focusChild() const override
    {
        if (combo()->isEditable())
            return child(1);
        return QAccessibleWidget::focusChild();
    }

    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }

    QString localizedActionDescription(const QString &action) const override
    {
        if (action == showMenuAction() || action == pressAction())
            return QComboBox::tr("Open the combo box selection popup");
        return QString();
    }

    void doAction(const QString &action) override
    {
        if (action != showMenuAction() && action != pressAction())
            return;
        if (combo()->view()->isVisible())
            combo()->hidePopup();
        else
            combo()->showPopup();
    }

    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    QComboBox *combo() const { return static_cast<QComboBox *>(widget()); }

    // The text typed into the list is reached through the list, so it is
    // named when the list hands it out: as the list, unless it was given
    // a name of its own.
    void nameText() const
    {
        QLineEdit *edit = combo()->lineEdit();
        const char *given = "listNameGiven";
        if (!edit || (!edit->accessibleName().isEmpty() && edit->accessibleName() != edit->property(given).toString()))
            return;
        const QString name = QAccessibleWidget::text(QAccessible::Name);
        if (name.isEmpty() || name == edit->accessibleName())
            return;
        edit->setProperty(given, name);
        edit->setAccessibleName(name);
    }

    QString shown() const
    {
        return combo()->isEditable() && combo()->lineEdit() ? combo()->lineEdit()->text() : combo()->currentText();
    }
};

QAccessibleInterface *namedInterface(const QString &className, QObject *object)
{
    if (className == QLatin1String("QComboBox"))
        if (auto *combo = qobject_cast<QComboBox *>(object))
            return new NamedComboBox(combo);
    return nullptr;
}

} // namespace

void installAccessibleNames()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(namedInterface);
}
