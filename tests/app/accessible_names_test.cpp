// What a screen reader announces for each control of the main window.

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAction>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QRadioButton>
#include <QStyle>
#include <QTabBar>
#include <QTest>

#include <map>
#include <string>
#include <utility>

#include "tabs.h"
#include "ui/TApplication.h"

#include "app_test_support.h"

namespace {

QString accessibleName(QWidget* w) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(w);
    return face != nullptr ? face->text(QAccessible::Name) : QString();
}

// The form's own controls: everything it names, the radio buttons of its radio group, the labels of
// its labelled edits and the tab strip. Qt's inner parts (a spin edit's edit, scroll bars) are not.
bool isFormControl(const QWidget* w) {
    const QString name = w->objectName();
    return (!name.isEmpty() && !name.startsWith(QLatin1String("qt_"))) ||
           qobject_cast<const QRadioButton*>(w) || qobject_cast<const QLabel*>(w) ||
           qobject_cast<const QTabBar*>(w);
}

std::string describe(const QWidget* w) {
    const QString name = w->objectName();
    return (name.isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : name).toStdString();
}

} // namespace

using AccessibleNames = FormTest;

TEST_F(AccessibleNames, EveryControlHasOne) {
    int controls = 0;
    for (QWidget* w : Form1->findChildren<QWidget*>()) {
        if (!isFormControl(w))
            continue;
        ++controls;
        EXPECT_FALSE(accessibleName(w).trimmed().isEmpty()) << describe(w);
    }
    // The form has well over a hundred controls; a filter that lets none through proves nothing.
    EXPECT_GT(controls, 100);
}

namespace {

// The caption a user sees on or beside a control: a button's text, a labelled edit's label, the
// text of a label whose buddy it is. Empty for a control without one.
QString visibleLabel(QWidget* w) {
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        return button->text().simplified();
    if (auto* edit = qobject_cast<TLabeledEdit*>(w))
        return edit->label()->text().simplified();
    for (QLabel* label : Form1->findChildren<QLabel*>())
        if (label->buddy() == w)
            return label->text().simplified();
    return {};
}

// What a value interface reports, as "value in min..max".
std::string reportedRange(QAccessibleInterface* face) {
    QAccessibleValueInterface* value = face->valueInterface();
    if (value == nullptr)
        return "no value interface";
    return (value->currentValue().toString() + QStringLiteral(" in ") + value->minimumValue().toString() +
            QStringLiteral("..") + value->maximumValue().toString())
        .toStdString();
}

} // namespace

// Every control Tab reaches, on every tab, as a screen reader meets it: named, by what it shows
// beside or on it, reporting the value it shows; a chart tells what it shows.
TEST_F(AccessibleNames, EveryTabStopIsNamedByItsCaptionAndReportsWhatItShows) {
    int stops = 0;
    for (const tabs::Tab& tab : Form1->tabHomes())
        for (QWidget* w : tab.tabOrder) {
            ++stops;
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(w);
            ASSERT_NE(face, nullptr) << describe(w);
            const QString name = face->text(QAccessible::Name);
            EXPECT_FALSE(name.trimmed().isEmpty()) << describe(w);
            EXPECT_NE(name, w->objectName()) << describe(w);
            // The name the form gives is the one a screen reader gets.
            if (!w->accessibleName().isEmpty()) {
                EXPECT_EQ(name, w->accessibleName()) << describe(w);
            }
            const QString label = visibleLabel(w);
            if (!label.isEmpty()) {
                EXPECT_TRUE(name.contains(label)) << describe(w) << ": \"" << name.toStdString()
                                                  << "\" lacks its caption \"" << label.toStdString() << "\"";
            }

            if (auto* spin = qobject_cast<TCSpinEdit*>(w)) {
                int changes = 0;
                const QMetaObject::Connection counting =
                    QObject::connect(spin, &TCSpinEdit::changed, [&changes] { ++changes; });
                const std::string shown = spin->ansiText() + " in " + std::to_string(spin->minValue()) +
                                          ".." + std::to_string(spin->maxValue());
                EXPECT_EQ(reportedRange(face), shown) << describe(w);
                QObject::disconnect(counting);
                EXPECT_EQ(changes, 0) << describe(w) << ": reading its value changed its text";
            }
            if (auto* bar = qobject_cast<TTrackBar*>(w)) {
                EXPECT_EQ(reportedRange(face), std::to_string(bar->position()) + " in " +
                                                   std::to_string(bar->minimum()) + ".." +
                                                   std::to_string(bar->maximum()))
                    << describe(w);
            }
            if (qobject_cast<TChart*>(w) != nullptr) {
                EXPECT_EQ(face->role(), QAccessible::Chart) << describe(w);
                EXPECT_FALSE(face->text(QAccessible::Description).isEmpty()) << describe(w);
            }
        }
    EXPECT_GT(stops, 70);
}

TEST_F(AccessibleNames, GroupsAndTabsAreNamedByTheirCaptions) {
    for (QGroupBox* box : Form1->findChildren<QGroupBox*>())
        EXPECT_EQ(accessibleName(box), box->title().simplified()) << describe(box);
    auto* pages = find<TPageControl>("PageControl1");
    for (int i = 0; i < pages->count(); ++i)
        EXPECT_EQ(accessibleName(pages->widget(i)), pages->tabText(i).simplified());
    EXPECT_EQ(accessibleName(find<TButton>("Button1")), "< --- Caculate");
}

TEST_F(AccessibleNames, CountIsLabelledByTheCaptionBesideIt) {
    // Qt on Linux also links a combo box to its caption through the labelled-by relation.
    auto* counts = find<TComboBox>("CB2");
    bool labelled = false;
    for (const auto& [label, relation] :
         QAccessible::queryAccessibleInterface(counts)->relations(QAccessible::Label))
        labelled = labelled || label->object() == find<TLabel>("Label1");
    EXPECT_TRUE(labelled);
}

// A control without a caption of its own is told apart from the others on its tab.
TEST_F(AccessibleNames, ControlsWithoutACaptionHaveDistinctNames) {
    auto* pages = find<TPageControl>("PageControl1");
    for (int i = 0; i < pages->count(); ++i) {
        std::map<QString, std::string> seen;
        for (QWidget* w : pages->widget(i)->findChildren<QWidget*>()) {
            if (!isFormControl(w) || qobject_cast<QLabel*>(w) || (w->focusPolicy() & Qt::TabFocus) == 0)
                continue;
            const QString name = accessibleName(w);
            const auto [at, added] = seen.emplace(name, describe(w));
            EXPECT_TRUE(added) << describe(w) << " and " << at->second << " are both \"" << name.toStdString()
                               << "\"";
        }
    }
}

namespace {

QAction* actionOf(QWidget* w, const QString& text) {
    for (QAction* action : w->actions())
        if (action->text() == text)
            return action;
    return nullptr;
}

QString description(QObject* o) {
    return QAccessible::queryAccessibleInterface(o)->text(QAccessible::Description);
}

} // namespace

TEST_F(AccessibleNames, ChartsDescribeWhatTheyShowAfterEachRun) {
    auto* chart = find<TChart>("Chart2");
    find<TButton>("Button6")->click();
    QString said = description(chart);
    EXPECT_TRUE(said.contains(QStringLiteral("od 2000 do 2020"))) << said.toStdString();
    EXPECT_TRUE(said.contains(QStringLiteral("marzec 5 punktów"))) << said.toStdString();
    EXPECT_TRUE(said.contains(QStringLiteral("kwiecień 16 punktów"))) << said.toStdString();
    find<TCSpinEdit>("rok2")->setValue(2002);
    said = description(chart);
    EXPECT_TRUE(said.contains(QStringLiteral("od 2000 do 2002"))) << said.toStdString();
    EXPECT_TRUE(said.contains(QStringLiteral("marzec 1 punkt,"))) << said.toStdString();
    EXPECT_TRUE(said.contains(QStringLiteral("kwiecień 2 punkty"))) << said.toStdString();

    find<TButton>("Button5")->click();
    said = description(find<TChart>("Chart1"));
    EXPECT_TRUE(said.contains(QString::number(series("Series1")->count()) + QStringLiteral(" punkt")))
        << said.toStdString();
}

// The points a chart shows, as text a user can paste and read: one line a point, x and y apart by a
// tab, in the user's number format, and the series' title when the chart has more than one.
TEST_F(AccessibleNames, ChartDataCanBeCopiedAsText) {
    find<TCSpinEdit>("rok2")->setValue(2002);
    QAction* copy = actionOf(find<TChart>("Chart2"), QStringLiteral("Kopiuj dane"));
    ASSERT_NE(copy, nullptr);
    copy->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(),
              QStringLiteral("2002\t31\tmarzec\n2000\t23\tkwiecień\n2001\t15\tkwiecień\n"));

    find<TButton>("Button5")->click();
    copy = actionOf(find<TChart>("Chart1"), QStringLiteral("Kopiuj dane"));
    ASSERT_NE(copy, nullptr);
    copy->trigger();
    const QStringList lines = QApplication::clipboard()->text().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    TPointSeries* points = series("Series1");
    ASSERT_EQ(lines.size(), points->count());
    const QLocale locale = QLocale::system();
    for (int i : {0, points->count() / 2, points->count() - 1})
        EXPECT_EQ(lines[i], locale.toString(points->point(i).x(), 'g', QLocale::FloatingPointShortest) +
                                QLatin1Char('\t') +
                                locale.toString(points->point(i).y(), 'g', QLocale::FloatingPointShortest));
}

// The viewer holds its picture as an image a screen reader finds, described by its colour limits.
TEST_F(AccessibleNames, ViewerShowsItsPictureAsAnImageDescribedByItsColourLimits) {
    find<TTrackBar>("GreenMax")->setPosition(50);
    find<TTrackBar>("BlueMax")->setPosition(7);
    QAccessibleInterface* viewer = QAccessible::queryAccessibleInterface(Form2);
    ASSERT_EQ(viewer->childCount(), 1);
    QAccessibleInterface* picture = viewer->child(0);
    EXPECT_EQ(picture->role(), QAccessible::Graphic);
    EXPECT_EQ(viewer->indexOfChild(picture), 0);
    EXPECT_EQ(picture->parent(), viewer);
    EXPECT_EQ(picture->rect().size(), QSize(700, 500));
    const QString said = picture->text(QAccessible::Description);
    EXPECT_TRUE(said.contains(QStringLiteral("czerwony 128, zielony 50, niebieski 7"))) << said.toStdString();
}

// Selected text (grid cells, edits, the lists of the combo boxes) stands out from the selection's
// colour enough to be read; the colour itself stays the system's, which the blue label shows.
TEST_F(AccessibleNames, SelectedTextHasEnoughContrast) {
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        const QPalette palette = find<TStringGrid>("Dane")->palette();
        EXPECT_GE(TApplication::contrastRatio(palette.color(group, QPalette::Highlight),
                                              palette.color(group, QPalette::HighlightedText)),
                  4.5)
            << group;
    }
    EXPECT_EQ(find<TEdit>("Edit11")->color(),
              QApplication::style()->standardPalette().color(QPalette::Highlight));
}

// A control with the keyboard shows it: each chart, and the tab strip from the start, before any key.
TEST_F(AccessibleNames, FocusIsVisibleOnChartsAndTheTabStrip) {
    Form1->show();
    Form1->activateWindow();
    QApplication::setActiveWindow(Form1);
    QApplication::processEvents();
    auto* pages = find<TPageControl>("PageControl1");
    auto* elsewhere = find<TButton>("Button5");
    pages->setCurrentWidget(find<TTabSheet>("TabSheet7"));
    pages->tabBar()->setFocus(Qt::OtherFocusReason);
    QApplication::processEvents();
    const QImage focused = pages->tabBar()->grab().toImage();
    elsewhere->setFocus(Qt::OtherFocusReason);
    QApplication::processEvents();
    EXPECT_NE(pages->tabBar()->grab().toImage(), focused) << "tab strip";

    for (const auto& [sheet, name] : {std::pair{"TabSheet7", "Chart1"}, std::pair{"TabSheet4", "Chart2"}}) {
        pages->setCurrentWidget(find<TTabSheet>(sheet));
        auto* chart = find<TChart>(name);
        chart->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        ASSERT_TRUE(chart->hasFocus()) << name;
        const QImage withFocus = chart->grab().toImage();
        pages->tabBar()->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        EXPECT_NE(chart->grab().toImage(), withFocus) << name;
    }
}

// The page tab in front is the selected one of the tab strip, whichever it is.
TEST_F(AccessibleNames, ThePageTabInFrontIsSelected) {
    auto* pages = find<TPageControl>("PageControl1");
    QAccessibleInterface* strip = QAccessible::queryAccessibleInterface(pages->tabBar());
    for (int front : {pages->currentIndex(), 0, pages->count() - 1}) {
        pages->setCurrentIndex(front);
        int tabs = 0;
        for (int i = 0; i < strip->childCount(); ++i) {
            QAccessibleInterface* tab = strip->child(i);
            if (tab->role() != QAccessible::PageTab)
                continue;
            EXPECT_EQ(tab->state().selected, tab->text(QAccessible::Name) == pages->tabText(front))
                << tab->text(QAccessible::Name).toStdString() << " with tab " << front << " in front";
            ++tabs;
        }
        EXPECT_EQ(tabs, pages->count());
    }
    // A screen reader's press on a tab brings its page to the front.
    QAccessibleInterface* second = strip->child(1);
    EXPECT_EQ(strip->indexOfChild(second), 1);
    second->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(pages->currentIndex(), 1);
    EXPECT_TRUE(second->state().selected);
}

namespace {

// A screen reader's view of the notifications: every object of that role that becomes visible, by
// its name, while this listens in place of the platform's bridge.
class Notifications {
public:
    Notifications() {
        s_said = &m_said;
        m_previous = QAccessible::installUpdateHandler([](QAccessibleEvent* event) {
            QAccessibleInterface* face = event->accessibleInterface();
            if (event->type() == QAccessible::ObjectShow && face != nullptr &&
                face->role() == QAccessible::Notification)
                s_said->push_back(face->text(QAccessible::Name));
        });
    }
    ~Notifications() {
        QAccessible::installUpdateHandler(m_previous);
        s_said = nullptr;
    }
    Notifications(const Notifications&) = delete;
    Notifications& operator=(const Notifications&) = delete;

    QStringList take() { return std::exchange(m_said, {}); }

private:
    static inline QStringList* s_said = nullptr;
    QStringList m_said;
    QAccessible::UpdateHandler m_previous = nullptr;
};

} // namespace

// What a handler writes where the keyboard is not, results and messages alike, is announced once
// the handler is done, each field named; a field the user is in is left to the reader itself.
TEST_F(AccessibleNames, ResultsAndMessagesAreAnnouncedAsNotifications) {
    // Qt tells of changes only while an assistive technology listens on the accessibility bus,
    // which an offscreen run never has.
    if (QGuiApplication::platformName() == QLatin1String("offscreen") ||
        !QTest::qWaitFor([] { return QAccessible::isActive(); }, 5000))
        GTEST_SKIP() << "needs the accessibility bus, as app.X11.ScreenReader has it";
    Form1->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form1));
    Notifications notifications;
    find<TBitBtn>("BitBtn3")->click();
    QStringList said = notifications.take();
    ASSERT_EQ(said.size(), 1);
    EXPECT_EQ(said[0], accessibleName(find<TLabeledEdit>("LabeledEdit12")) + QLatin1Char(' ') +
                           find<TLabeledEdit>("LabeledEdit12")->text().trimmed() + QStringLiteral("; ") +
                           accessibleName(find<TLabeledEdit>("LabeledEdit13")) + QLatin1Char(' ') +
                           find<TLabeledEdit>("LabeledEdit13")->text().trimmed());

    find<TButton>("Macierze")->click();
    said = notifications.take();
    ASSERT_EQ(said.size(), 1);
    EXPECT_TRUE(said[0].contains(QStringLiteral("Przekroczenie rozmiaru tablicy !")))
        << said[0].toStdString();

    // The user in one of the results: the reader reads that one itself.
    QApplication::setActiveWindow(Form1);
    find<TPageControl>("PageControl1")->setCurrentWidget(find<TTabSheet>("TabSheet2"));
    auto* inField = find<TLabeledEdit>("LabeledEdit12");
    inField->setFocus(Qt::OtherFocusReason);
    ASSERT_EQ(QApplication::focusWidget(), inField);
    find<TEdit>("Edit6")->setAnsiText("3");
    find<TBitBtn>("BitBtn3")->click();
    said = notifications.take();
    ASSERT_EQ(said.size(), 1);
    EXPECT_FALSE(said[0].contains(accessibleName(inField))) << said[0].toStdString();
    EXPECT_TRUE(said[0].contains(accessibleName(find<TLabeledEdit>("LabeledEdit13"))))
        << said[0].toStdString();
}
