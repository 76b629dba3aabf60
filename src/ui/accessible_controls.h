#pragma once

// What a screen reader meets in the controls whose Qt interface falls short, on every platform alike.
//
// A combo box (TComboBox): Qt's own interface for a combo box names it, on Linux, by its current text and
// leaves the name the program gives it unread, so a reader announced the count box of the timing tab as
// "1e+3". This one names it as any other control is named (its accessible name, else the caption whose buddy
// it is) and keeps the rest of what Qt offers: the text as its value, the list of items and the edit as its
// children, the states editable, expandable and expanded, and the actions that open and close the list.
//
// A page control's tab strip (TPageTabBar): Qt's page tabs all carry the strip's own state, so none
// is ever "selected"; here the tab in front is selected (and focused while the strip has the
// keyboard), and a change of tab is announced as a change of selection.
//
// A chart (TChart) is a chart, not the blank "client" of a plain widget, so that a reader
// says what it is before its name and description.

class QAccessibleInterface;
class QObject;
class QString;

namespace ui {

// An announcer (ui::Announcer) is a notification, which a screen reader speaks when it is shown.

// A factory for QAccessible::installFactory: the interfaces above for a TComboBox, a TPageTabBar, a
// TChart and an announcer, none for others.
QAccessibleInterface* accessibleControl(const QString& className, QObject* object);

} // namespace ui
