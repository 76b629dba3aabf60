#include "ui/TMemo.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QWheelEvent>

TMemo::TMemo(QWidget* parent) : QPlainTextEdit(parent) {
    // Any edit by the user ends the single-empty-line state: an emptied document has no lines.
    connect(document(), &QTextDocument::contentsChanged, this, [this] {
        if (!m_writing)
            m_oneEmptyLine = false;
    });
}

// A wheel turned over the memo is the memo's, also once it has scrolled to an end: Qt would pass it
// on to the form around it, which then scrolls instead.
void TMemo::wheelEvent(QWheelEvent* event) {
    QPlainTextEdit::wheelEvent(event);
    event->accept();
}

void TMemo::addLine(const std::string& line) {
    appendLine(QString::fromStdString(line));
    // A line written through the document leaves the view where it was.
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

void TMemo::appendLine(const QString& line) {
    const bool wasEmpty = lineCount() == 0;
    m_writing = true;
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    if (!wasEmpty)
        cursor.insertBlock();
    cursor.insertText(line);
    m_writing = false;
    m_oneEmptyLine = document()->isEmpty();
}

void TMemo::clearLines() {
    m_writing = true;
    clear();
    m_writing = false;
    m_oneEmptyLine = false;
}

int TMemo::lineCount() const {
    if (document()->isEmpty())
        return m_oneEmptyLine ? 1 : 0;
    return document()->blockCount();
}

std::string TMemo::line(int i) const {
    if (i < 0 || i >= lineCount())
        return {};
    return document()->findBlockByNumber(i).text().toStdString();
}

std::vector<std::string> TMemo::lines() const {
    std::vector<std::string> result;
    const int n = lineCount();
    result.reserve(static_cast<std::size_t>(n));
    QTextBlock block = document()->begin();
    for (int i = 0; i < n; ++i, block = block.next())
        result.push_back(block.text().toStdString());
    return result;
}

QStringList TMemo::lineList() const {
    QStringList result;
    const int n = lineCount();
    QTextBlock block = document()->begin();
    for (int i = 0; i < n; ++i, block = block.next())
        result.append(block.text());
    return result;
}

void TMemo::setLines(const QStringList& lines) {
    clearLines();
    for (const QString& line : lines)
        appendLine(line);
}
