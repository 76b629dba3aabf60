#pragma once

#include <QPlainTextEdit>
#include <QStringList>
#include <string>
#include <vector>

// A multi-line text seen as a list of lines. An empty memo has no lines; a memo can still hold one
// empty line ("" added to an empty memo), which an empty QTextDocument cannot tell apart, so that
// case is remembered. The wheel over it scrolls the memo and nothing around it.
class TMemo : public QPlainTextEdit {
    Q_OBJECT
    // The initial lines of a form.
    Q_PROPERTY(QStringList lines READ lineList WRITE setLines)

public:
    explicit TMemo(QWidget* parent = nullptr);

    // Appends one line after the existing ones and scrolls to it, so that the newest line is in
    // view whichever part of the memo was shown before. A text holding line breaks adds several
    // lines.
    void addLine(const std::string& line);
    void clearLines();

    int lineCount() const;
    // Line i from 0; an empty string outside 0..lineCount()-1.
    std::string line(int i) const;
    std::vector<std::string> lines() const;

    QStringList lineList() const;
    void setLines(const QStringList& lines);

protected:
    void wheelEvent(QWheelEvent* event) override;

private:
    void appendLine(const QString& line);

    bool m_oneEmptyLine = false; // the document is empty yet holds one (empty) line
    bool m_writing = false;      // the program, not the user, is changing the document
};
