#include "ui/caption_fit.h"

#include <QCheckBox>
#include <QEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>
#include <QTabBar>
#include <QTabWidget>

#include <algorithm>
#include <functional>

namespace ui {

namespace {

int textWidth(const QFont& font, const QString& text) {
    return QFontMetrics(font).size(Qt::TextShowMnemonic, text).width();
}

// The widest stretch, from 100 down to the narrowest, at which `width(stretch)` is at most `room`;
// the narrowest when none is.
int fittingStretch(int room, const std::function<int(int stretch)>& width) {
    int stretch = 100;
    int needed = width(stretch);
    while (needed > room && stretch > kNarrowestStretch) {
        // Widths shrink about in proportion to the stretch; the step of one keeps the search going
        // where hinting rounds a width up.
        stretch = std::clamp(stretch * room / needed, kNarrowestStretch, stretch - 1);
        needed = width(stretch);
    }
    return stretch;
}

QFont stretched(QFont font, int stretch) {
    // A font that names no stretch is drawn at its normal width already; naming 100 would make Qt
    // load the same face a second time, which costs as much as a new one.
    if (stretch != QFont::Unstretched || font.stretch() != QFont::AnyStretch)
        font.setStretch(stretch);
    return font;
}

// The room a push button, check box or radio button gives its text: the style's contents rectangle
// without the icon.
int buttonRoom(const QAbstractButton* button) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    option.icon = button->icon();
    option.iconSize = button->iconSize();
    QStyle::SubElement contents = QStyle::SE_PushButtonContents;
    if (const auto* push = qobject_cast<const QPushButton*>(button)) {
        if (push->autoDefault())
            option.features |= QStyleOptionButton::AutoDefaultButton;
        if (push->isDefault())
            option.features |= QStyleOptionButton::DefaultButton;
        if (push->isFlat())
            option.features |= QStyleOptionButton::Flat;
    } else if (qobject_cast<const QCheckBox*>(button)) {
        contents = QStyle::SE_CheckBoxContents;
    } else {
        contents = QStyle::SE_RadioButtonContents;
    }
    int room = button->style()->subElementRect(contents, &option, button).width();
    if (!option.icon.isNull())
        room -= option.iconSize.width() + 4;
    return room;
}

// A group box's title starts where the style puts it and may run to the box's right edge.
int titleRoom(const QGroupBox* box) {
    QStyleOptionGroupBox option;
    option.initFrom(box);
    option.text = box->title();
    option.textAlignment = box->alignment();
    option.lineWidth = 1;
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    const QRect label =
        box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
    return box->width() - std::max(label.left(), 0);
}

int labelRoom(const QLabel* label) {
    return label->contentsRect().width() - 2 * label->margin() - std::max(label->indent(), 0);
}

bool condense(QWidget* control, const QString& text, int room) {
    const QFont font = control->font();
    const QFont condensed = condensedToFit(font, text, room);
    if (condensed == font)
        return false;
    control->setFont(condensed);
    return true;
}

// The tabs must fit side by side in the tab widget, so that none hides behind the scroll buttons.
bool condenseTabs(QTabBar* bar) {
    const auto* pages = qobject_cast<const QTabWidget*>(bar->parentWidget());
    const int room = pages ? pages->width() : bar->width();
    const QFont font = bar->font();
    const int stretch = fittingStretch(room, [&](int s) {
        bar->setFont(stretched(font, s));
        return bar->sizeHint().width();
    });
    if (stretch == 100) {
        bar->setFont(font);
        return false;
    }
    bar->setFont(stretched(font, stretch));
    return true;
}

} // namespace

QFont condensedToFit(const QFont& font, const QString& text, int room) {
    if (text.isEmpty())
        return font;
    const int stretch = fittingStretch(room, [&](int s) { return textWidth(stretched(font, s), text); });
    return stretch == 100 ? font : stretched(font, stretch);
}

namespace {

// The width a line edit draws its text in: the style's contents rectangle, less the text margins,
// QLineEdit's own margin of 2 pixels on either side, and the cursor's pixel.
int editTextRoom(const QLineEdit* edit) {
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.rect = edit->contentsRect();
    option.lineWidth =
        edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit) : 0;
    const QRect contents = edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit);
    const QMargins margins = edit->textMargins();
    return contents.width() - margins.left() - margins.right() - 2 * 2 - 1;
}

} // namespace

void condenseEditTextToFit(QLineEdit* edit, const QString& text) {
    QFont normal = edit->font();
    if (normal.stretch() != QFont::AnyStretch)
        normal.setStretch(QFont::Unstretched);
    const QFont fitting = condensedToFit(normal, text, editTextRoom(edit));
    if (fitting != edit->font())
        edit->setFont(fitting);
}

namespace {

bool condenseControl(QWidget* control) {
    if (auto* label = qobject_cast<QLabel*>(control)) {
        if (!label->wordWrap() && label->textFormat() != Qt::RichText)
            return condense(label, label->text(), labelRoom(label));
    } else if (qobject_cast<QPushButton*>(control) || qobject_cast<QCheckBox*>(control) ||
               qobject_cast<QRadioButton*>(control)) {
        auto* button = static_cast<QAbstractButton*>(control);
        return condense(button, button->text(), buttonRoom(button));
    } else if (auto* box = qobject_cast<QGroupBox*>(control)) {
        if (!condense(box, box->title(), titleRoom(box)))
            return false;
        // Only the title is condensed: the controls in the box keep their own width.
        for (QWidget* child : box->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            QFont own = child->font();
            own.setStretch(QFont::Unstretched);
            child->setFont(own);
        }
        return true;
    } else if (auto* bar = qobject_cast<QTabBar*>(control)) {
        return condenseTabs(bar);
    }
    return false;
}

// Measuring captions loads a font for every stretch tried, which makes up much of the start-up
// time. A hidden widget (a tab page not shown) has its captions condensed when it is first shown,
// before it is painted, with the same fonts, style and sizes as it would have had at once.
class CondenseOnFirstShow : public QObject {
public:
    explicit CondenseOnFirstShow(QWidget* widget) : QObject(widget) { widget->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            auto* widget = static_cast<QWidget*>(watched);
            widget->removeEventFilter(this);
            condenseCaptionsToFit(widget);
            deleteLater();
        }
        return false;
    }
};

// `root`'s descendants, each processed before its own children; a hidden one is left, with its
// children, to its first showing.
int condenseTree(QWidget* root) {
    int condensed = 0;
    for (QWidget* control : root->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (control->isHidden() && !control->isWindow()) {
            new CondenseOnFirstShow(control);
            continue;
        }
        condensed += condenseControl(control) ? 1 : 0;
        condensed += condenseTree(control);
    }
    return condensed;
}

} // namespace

int condenseCaptionsToFit(QWidget* root) {
    // Controls placed by a layout have their final size only once it has run.
    for (QLayout* layout : root->findChildren<QLayout*>())
        layout->activate();
    return condenseTree(root);
}

} // namespace ui
