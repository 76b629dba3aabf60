#include "Unit_dib.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPainter>
#include <QPointer>
#include <QRegion>
#include <QString>

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "ui/screen_fit.h"

TForm2* Form2 = nullptr;

namespace {

// The picture on the viewer, for a screen reader: an image inside the window, where it is drawn,
// described by the window's description. It has no widget of its own; the window has no controls.
class AccessiblePicture : public QAccessibleInterface {
public:
    explicit AccessiblePicture(TForm2* viewer) : m_viewer(viewer) {}

    bool isValid() const override { return m_viewer && !m_viewer->picture().isNull(); }
    QObject* object() const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(m_viewer.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override {
        if (!isValid())
            return {};
        if (t == QAccessible::Name)
            return QStringLiteral("obraz");
        if (t == QAccessible::Description)
            return m_viewer->accessibleDescription();
        return {};
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!isValid())
            return {};
        return QRect(m_viewer->mapToGlobal(m_viewer->pictureAt()), m_viewer->picture().size());
    }
    QAccessible::Role role() const override { return QAccessible::Graphic; }
    QAccessible::State state() const override {
        QAccessible::State s;
        s.invalid = !isValid();
        s.invisible = !m_viewer || !m_viewer->isVisible();
        return s;
    }

private:
    QPointer<TForm2> m_viewer;
};

// The viewer window, with its picture as its one child once it has one.
class AccessibleViewer : public QAccessibleWidget {
public:
    explicit AccessibleViewer(TForm2* viewer) : QAccessibleWidget(viewer, QAccessible::Window) {
        auto* picture = new AccessiblePicture(viewer);
        m_picture = QAccessible::registerAccessibleInterface(picture);
    }
    ~AccessibleViewer() override { QAccessible::deleteAccessibleInterface(m_picture); }

    int childCount() const override { return pictureChild()->isValid() ? 1 : 0; }
    QAccessibleInterface* child(int index) const override {
        return index == 0 && childCount() == 1 ? pictureChild() : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child == pictureChild() && childCount() == 1 ? 0 : -1;
    }

private:
    QAccessibleInterface* pictureChild() const { return QAccessible::accessibleInterface(m_picture); }

    QAccessible::Id m_picture = 0;
};

QAccessibleInterface* accessibleViewer(const QString& className, QObject* object) {
    if (className == QLatin1String("TForm2") && object != nullptr)
        return new AccessibleViewer(static_cast<TForm2*>(object));
    return nullptr;
}

} // namespace

TForm2::TForm2(QWidget* parent) : QWidget(parent) {
    setupUi(this);
    m_formSize = size();
    QPalette surface = palette();
    surface.setColor(QPalette::Window, surface.color(QPalette::Button));
    setPalette(surface);
    setAutoFillBackground(true);
    // A form resource gives a top-level window its size but not its place on the screen.
    move(428, 9);
    // Each time it is shown, brought within the screen's available area.
    new ui::ScreenFit(this, ui::ScreenFit::Placement::WhereItIs);
    // Only the main window's closing ends the program; this one is just hidden.
    setAttribute(Qt::WA_QuitOnClose, false);
    // The window only shows pictures: showing it, the first time too, leaves the keyboard with the
    // control that asked for the picture.
    setAttribute(Qt::WA_ShowWithoutActivating);
    static const bool accessible = [] {
        QAccessible::installFactory(accessibleViewer);
        return true;
    }();
    (void)accessible;
}

TForm2::~TForm2() = default;

namespace {

// A row of 24-bit pixels (blue, green, red) as 32-bit ones. A pixel's three bytes read as a
// little-endian word, with the next pixel's blue as its fourth byte, are already 0x..RRGGBB: only
// the alpha byte is set. The last pixel is read byte by byte, since its word would reach past the
// row.
void rgb32FromBgr888(const uchar* from, quint32* to, int width) {
    for (int x = 0; x + 1 < width; ++x) {
        quint32 word;
        std::memcpy(&word, from + 3 * static_cast<std::ptrdiff_t>(x), sizeof word);
        to[x] = word | 0xff000000U;
    }
    if (width > 0) {
        const uchar* last = from + 3 * static_cast<std::ptrdiff_t>(width - 1);
        to[width - 1] = 0xff000000U | quint32{last[2]} << 16 | quint32{last[1]} << 8 | last[0];
    }
}

// The brightest red, green and blue of a picture of 32-bit pixels: for the bitmap tab's ramp, the
// three colour limits its plateau shows at full strength.
QString strongestColours(const QImage& picture) {
    int red = 0, green = 0, blue = 0;
    for (int y = 0; y < picture.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            red = std::max(red, qRed(row[x]));
            green = std::max(green, qGreen(row[x]));
            blue = std::max(blue, qBlue(row[x]));
        }
    }
    return QStringLiteral("czerwony %1, zielony %2, niebieski %3").arg(red).arg(green).arg(blue);
}

} // namespace

void TForm2::drawPicture(const QImage& picture, QPoint at) {
    const QRect before(m_at, m_picture.size());
    keep(picture);
    m_at = at;
    // The window has no controls: its description stands for the picture with a screen reader.
    setAccessibleDescription(QStringLiteral("obraz %1 × %2 pikseli, najjaśniejsze składowe: ")
                                 .arg(m_picture.width())
                                 .arg(m_picture.height()) +
                             strongestColours(m_picture));
    // Only the old picture's place and the new one's change.
    repaint(QRegion(before) | QRect(m_at, m_picture.size()));
}

// Kept as 32-bit pixels, which the window paints as they are: a 24-bit picture would be converted
// again on every paint. The colours are the same; the caller's picture keeps its own format. A
// picture of the last one's size is written into the last one's memory (unless someone shares it),
// so that drawing picture after picture allocates nothing and touches no new pages.
void TForm2::keep(const QImage& picture) {
    // The program's pictures are 24-bit already: then this is no copy.
    const QImage bgr = picture.convertToFormat(QImage::Format_BGR888);
    if (m_picture.size() != bgr.size())
        m_picture = QImage(bgr.size(), QImage::Format_RGB32);
    uchar* to = m_picture.bits();
    for (int y = 0; y < bgr.height(); ++y)
        rgb32FromBgr888(bgr.constScanLine(y), reinterpret_cast<quint32*>(to + y * m_picture.bytesPerLine()),
                        bgr.width());
}

void TForm2::paintEvent(QPaintEvent*) {
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(m_at, m_picture);
}
