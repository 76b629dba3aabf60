#pragma once

// The forms place every control in pixels, measured against a font that Linux desktops do not have.
// The desktop's sans serif is often wider, so a caption that filled its control there would now run
// past the control's edge and be cut off. Instead of moving controls, such a text is drawn in a
// condensed cut of the same font at the same point size, just as narrow as it must be.

#include <QFont>

class QLineEdit;
class QString;
class QWidget;

namespace ui {

// The narrowest condensing (percent of the normal width) that is still comfortable to read; a text
// that needs more keeps this width and is cut off.
inline constexpr int kNarrowestStretch = 75;

// `font` when `text` fits in `room` pixels; otherwise `font` with the widest stretch, down to
// kNarrowestStretch, at which it fits (or that narrowest one).
QFont condensedToFit(const QFont& font, const QString& text, int room);

// Condenses, under `root`, each caption that is wider than the room its control gives it: the text of
// a label, a push button, a check box or a radio button, the title of a group box (not the controls
// inside it), and the tabs of a tab bar taken together, so that every tab is in view without
// scrolling. Controls whose caption fits keep their font. Measures with the fonts and the style in
// effect now, so call it once the form is built and the application's font is set. A hidden widget
// under `root` (a tab page not shown) and all it holds are measured when it is first shown, before
// it is painted. Returns how many controls were condensed now.
int condenseCaptionsToFit(QWidget* root);

// The same for a text the program writes into an edit field, whose width the form fixes too: the
// field's font is condensed as far as `text` needs to show whole, and back to normal for a text
// that fits. What the user types is not measured: a field scrolls under the cursor as it is typed.
void condenseEditTextToFit(QLineEdit* edit, const QString& text);

} // namespace ui
