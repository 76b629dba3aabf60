#include "ui/TLabeledEdit.h"

#include <QEvent>
#include <QLabel>

TLabeledEdit::TLabeledEdit(QWidget* parent) : TEdit(parent), m_label(new QLabel(parent)) {
    m_label->setBuddy(this);
    // Without a parent the label would be a window of its own: it waits hidden for one.
    if (!parent)
        m_label->hide();
}

TLabeledEdit::~TLabeledEdit() {
    // When both die with their parent, Qt has deleted the label already if it came first.
    delete m_label.data();
}

QLabel* TLabeledEdit::label() const {
    // Qt holds back the move event of a hidden widget until it is shown; whoever looks at the label
    // before that still finds it in place.
    placeLabel();
    return m_label.data();
}

QString TLabeledEdit::labelText() const { return m_label ? m_label->text() : QString(); }

void TLabeledEdit::setLabelText(const QString& text) {
    if (!m_label)
        return;
    m_label->setText(text);
    // Measuring a caption lays its text out. An edit on a tab page not yet shown is placed when it
    // is shown, or when someone asks for its label, so start-up measures only what it shows.
    if (isVisible())
        placeLabel();
}

void TLabeledEdit::setVisible(bool visible) {
    TEdit::setVisible(visible);
    if (m_label && m_label->parentWidget())
        m_label->setVisible(visible);
}

bool TLabeledEdit::event(QEvent* event) {
    if (event->type() == QEvent::Show)
        placeLabel();
    if (event->type() == QEvent::ParentChange && m_label) {
        m_label->setParent(parentWidget());
        if (parentWidget() && !isHidden())
            m_label->show();
        placeLabel();
    }
    return TEdit::event(event);
}

void TLabeledEdit::moveEvent(QMoveEvent* event) {
    TEdit::moveEvent(event);
    placeLabel();
}

void TLabeledEdit::placeLabel() const {
    if (!m_label)
        return;
    const QSize size = m_label->sizeHint();
    m_label->setGeometry(x(), y() - kLabelSpacing - size.height(), size.width(), size.height());
}
