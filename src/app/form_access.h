#pragma once

// The main window for keyboard users and assistive technology, set up on the controls of its form
// once they are in their window.

#include <vector>

#include "tabs.h"

namespace Ui {
class TForm1;
}

namespace form_access {

// Tab walks each tab's controls in the order its home gives, and from the last one back to the tab
// strip; memos and grids pass Tab on instead of keeping it. A focused button is pressed by Enter as
// well as by Space. Once every page is built.
void setUpKeyboard(Ui::TForm1& form, const std::vector<tabs::Tab>& tabs);

// Ctrl+Tab and Ctrl+Shift+Tab bring the next and the previous tab to the front, from wherever the
// focus is, wrapping around at the ends.
void addTabShortcuts(Ui::TForm1& form);

// Gives every control the name a screen reader announces: a button, check box, label or group its
// caption, a labelled edit its label's text, and each control its home names a short Polish
// description of what it holds. Once every page is built.
void nameControls(Ui::TForm1& form, const std::vector<tabs::Tab>& tabs);

} // namespace form_access
