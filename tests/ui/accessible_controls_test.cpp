// What a screen reader gets from the controls whose Qt interface needs help.

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include "ui/TComboBox.h"
#include "ui_test_support.h"

namespace {

// Named as other controls are, by the name it is given or else by its caption, on every platform;
// its text is its value; the list of items and the edit are its children; the list opens by its
// action.
TEST(AccessibleComboBox, IsNamedByItsNameOrCaptionAndKeepsTextListAndActions) {
    QWidget window;
    auto* caption = new QLabel(QStringLiteral("podaj liczbę"), &window);
    auto* combo = new TComboBox(&window);
    combo->move(0, 30);
    combo->addItems({QStringLiteral("1e+3"), QStringLiteral("1e+5")});
    combo->setItemIndex(-1);
    combo->setAnsiText("12");
    caption->setBuddy(combo);
    uitest::showActive(window);

    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(combo);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->role(), QAccessible::ComboBox);
    EXPECT_EQ(face->text(QAccessible::Name).toStdString(), "podaj liczbę");
    EXPECT_EQ(face->text(QAccessible::Value).toStdString(), "12");
    combo->setAccessibleName(QStringLiteral("liczba działań"));
    EXPECT_EQ(face->text(QAccessible::Name).toStdString(), "liczba działań");

    ASSERT_EQ(face->childCount(), 2);
    EXPECT_EQ(face->child(0)->object(), combo->view());
    EXPECT_EQ(face->child(1)->object(), combo->lineEdit());
    EXPECT_EQ(face->indexOfChild(face->child(1)), 1);
    EXPECT_TRUE(face->state().editable);
    EXPECT_TRUE(face->state().collapsed);

    QAccessibleActionInterface* actions = face->actionInterface();
    ASSERT_NE(actions, nullptr);
    ASSERT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::showMenuAction()));
    actions->doAction(QAccessibleActionInterface::showMenuAction());
    EXPECT_TRUE(combo->view()->isVisible());
    EXPECT_TRUE(face->state().expanded);
    actions->doAction(QAccessibleActionInterface::showMenuAction());
    EXPECT_FALSE(combo->view()->isVisible());
}

} // namespace
