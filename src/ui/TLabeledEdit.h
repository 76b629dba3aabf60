#pragma once

#include <QPointer>

#include "ui/TEdit.h"

class QLabel;

// An edit field with its caption: a QLabel sibling (same parent) whose bottom edge lies 3 pixels above
// the edit and whose left edge is the edit's. The label follows the edit when it moves, is shown or
// hidden, or changes parent; its buddy is the edit, so its mnemonic focuses the field.
class TLabeledEdit : public TEdit {
    Q_OBJECT
    Q_PROPERTY(QString labelText READ labelText WRITE setLabelText)

public:
    static constexpr int kLabelSpacing = 3;

    explicit TLabeledEdit(QWidget* parent = nullptr);
    ~TLabeledEdit() override;

    QLabel* label() const;
    QString labelText() const;
    void setLabelText(const QString& text);

    void setVisible(bool visible) override;

protected:
    bool event(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    void placeLabel() const;

    QPointer<QLabel> m_label;
};
