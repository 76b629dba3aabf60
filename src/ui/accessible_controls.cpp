#include "ui/accessible_controls.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QHash>
#include <QLineEdit>
#include <QPointer>
#include <QString>

#include "ui/TComboBox.h"
#include "ui/plain_controls.h"

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

// One page tab of a tab strip; it has no widget of its own.
class AccessiblePageTab : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    AccessiblePageTab(QTabBar* bar, int index) : m_bar(bar), m_index(index) {}

    void* interface_cast(QAccessible::InterfaceType t) override {
        return t == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }
    bool isValid() const override { return m_bar && m_index < m_bar->count(); }
    QObject* object() const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::PageTab; }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        s.focusable = true;
        s.selectable = true;
        s.selected = m_index == m_bar->currentIndex();
        s.focused = s.selected && m_bar->hasFocus();
        s.disabled = !m_bar->isTabEnabled(m_index);
        s.invisible = !m_bar->isVisible();
        return s;
    }
    QRect rect() const override {
        if (!isValid())
            return {};
        const QRect r = m_bar->tabRect(m_index);
        return QRect(m_bar->mapToGlobal(r.topLeft()), r.size());
    }
    QString text(QAccessible::Text t) const override {
        if (!isValid())
            return {};
        if (t == QAccessible::Name) {
            const QString name = m_bar->accessibleTabName(m_index);
            return name.isEmpty() ? m_bar->tabText(m_index).remove(QLatin1Char('&')) : name;
        }
        if (t == QAccessible::Description)
            return m_bar->tabToolTip(m_index);
        return {};
    }
    void setText(QAccessible::Text, const QString&) override {}
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(m_bar.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override {
        if (isValid() && name == pressAction())
            m_bar->setCurrentIndex(m_index);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    int index() const { return m_index; }

private:
    QPointer<QTabBar> m_bar;
    int m_index;
};

// The tabs first, then the strip's own buttons (the scroll arrows), as Qt's interface has them.
class AccessiblePageTabBar : public QAccessibleWidget {
public:
    explicit AccessiblePageTabBar(QTabBar* bar) : QAccessibleWidget(bar, QAccessible::PageTabList) {}
    ~AccessiblePageTabBar() override {
        for (QAccessible::Id id : std::as_const(m_tabs))
            QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return static_cast<int>(tabBar()->count() + buttons().size()); }

    QAccessibleInterface* child(int index) const override {
        const int tabs = tabBar()->count();
        if (index < 0)
            return nullptr;
        if (index < tabs) {
            if (const QAccessible::Id id = m_tabs.value(index))
                return QAccessible::accessibleInterface(id);
            auto* tab = new AccessiblePageTab(tabBar(), index);
            m_tabs.insert(index, QAccessible::registerAccessibleInterface(tab));
            return tab;
        }
        const QList<QAbstractButton*> own = buttons();
        return index - tabs < own.size() ? QAccessible::queryAccessibleInterface(own.at(index - tabs))
                                         : nullptr;
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        if (child == nullptr)
            return -1;
        if (child->role() == QAccessible::PageTab && child->object() == nullptr) {
            for (auto it = m_tabs.cbegin(); it != m_tabs.cend(); ++it)
                if (QAccessible::accessibleInterface(it.value()) == child)
                    return it.key();
            return -1;
        }
        const qsizetype at = buttons().indexOf(qobject_cast<QAbstractButton*>(child->object()));
        return at < 0 ? -1 : tabBar()->count() + static_cast<int>(at);
    }

private:
    QTabBar* tabBar() const { return static_cast<QTabBar*>(widget()); }
    QList<QAbstractButton*> buttons() const {
        return tabBar()->findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly);
    }

    mutable QHash<int, QAccessible::Id> m_tabs;
};

} // namespace

QAccessibleInterface* accessibleControl(const QString& className, QObject* object) {
    if (object == nullptr || !object->isWidgetType())
        return nullptr;
    if (className == QLatin1String("TComboBox"))
        return new AccessibleComboBox(static_cast<TComboBox*>(object));
    if (className == QLatin1String("TPageTabBar"))
        return new AccessiblePageTabBar(static_cast<QTabBar*>(object));
    if (className == QLatin1String("ui::Announcer"))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Notification);
    if (className == QLatin1String("TChart"))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Chart);
    return nullptr;
}

} // namespace ui

TPageTabBar::TPageTabBar(QWidget* parent) : QTabBar(parent) {
    // The tab that leaves the front and the one that comes to it change their selected state.
    connect(this, &QTabBar::currentChanged, this, [this, previous = -1](int index) mutable {
        if (QAccessible::isActive()) {
            QAccessibleInterface* strip = QAccessible::queryAccessibleInterface(this);
            for (int tab : {previous, index})
                if (QAccessibleInterface* page = tab >= 0 ? strip->child(tab) : nullptr) {
                    QAccessibleEvent event(page, QAccessible::Selection);
                    QAccessible::updateAccessibility(&event);
                }
        }
        previous = index;
    });
}
