#include "ui/accessible_controls.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QLineEdit>
#include <QString>

#include "ui/TComboBox.h"

namespace ui {

namespace {

class AccessibleComboBox : public QAccessibleWidget {
public:
    explicit AccessibleComboBox(TComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value)
            return comboBox()->currentText();
        return QAccessibleWidget::text(t);
    }

    // The list first, as Qt's own interface has it, then the edit.
    int childCount() const override { return comboBox()->lineEdit() != nullptr ? 2 : 1; }

    QAccessibleInterface* child(int index) const override {
        if (index == 0)
            return QAccessible::queryAccessibleInterface(comboBox()->view());
        if (index == 1 && comboBox()->lineEdit() != nullptr)
            return QAccessible::queryAccessibleInterface(comboBox()->lineEdit());
        return nullptr;
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        if (child == nullptr)
            return -1;
        if (child->object() == comboBox()->view())
            return 0;
        if (comboBox()->lineEdit() != nullptr && child->object() == comboBox()->lineEdit())
            return 1;
        return -1;
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.editable = comboBox()->isEditable();
        s.expandable = true;
        s.expanded = comboBox()->view()->isVisible();
        s.collapsed = !s.expanded;
        return s;
    }

    QStringList actionNames() const override {
        return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& name) override {
        if (name == showMenuAction() || name == pressAction()) {
            if (comboBox()->view()->isVisible())
                comboBox()->hidePopup();
            else
                comboBox()->showPopup();
        } else {
            QAccessibleWidget::doAction(name);
        }
    }

private:
    TComboBox* comboBox() const { return static_cast<TComboBox*>(widget()); }
};

} // namespace

QAccessibleInterface* accessibleControl(const QString& className, QObject* object) {
    if (object == nullptr || !object->isWidgetType())
        return nullptr;
    if (className == QLatin1String("TComboBox"))
        return new AccessibleComboBox(static_cast<TComboBox*>(object));
    if (className == QLatin1String("TChart"))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Chart);
    return nullptr;
}

} // namespace ui
