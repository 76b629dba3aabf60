// A long random run over every control of the main window: texts of every kind typed into every
// field and grid cell, every button clicked, every item, position and tab chosen, the save box ticked
// with its dialog answered or cancelled. The program has to come through it without a crash, without
// leaving a modal box open, saying nothing but its own messages, and with its memory bounded.
//
// The controls are found on the form by their classes, so a control added to the form is driven
// without a change here.
//
//   KESTROVA_STRESS_SEED    replays a run: the seed is printed at the start of every run
//   KESTROVA_STRESS_EVENTS  the number of events (20000 unless given)

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QWheelEvent>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>
#else
#include <unistd.h>
#endif

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "app_test_support.h"
#include "experiments/timing_loops.h"
#include "numtext/fpenv.h"
#include "numtext/number_text.h"
#include "ui/TApplication.h"
#include "ui/TSavePictureDialog.h"
#include "ui_test_support.h"

#if defined(__SANITIZE_ADDRESS__)
#define KESTROVA_STRESS_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KESTROVA_STRESS_ASAN 1
#endif
#endif
#ifdef KESTROVA_STRESS_ASAN
// The sanitizer's count of the bytes allocated and not freed (its allocator interface; the header
// that declares it is not installed with every compiler).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

using Clock = std::chrono::steady_clock;

std::uint64_t seedFromEnvironment() {
    if (const char* text = std::getenv("KESTROVA_STRESS_SEED"); text != nullptr && *text != '\0')
        return std::strtoull(text, nullptr, 0);
    std::random_device device;
    return (static_cast<std::uint64_t>(device()) << 32) | device();
}

long eventsFromEnvironment() {
    if (const char* text = std::getenv("KESTROVA_STRESS_EVENTS"); text != nullptr && *text != '\0')
        return std::max(1L, std::strtol(text, nullptr, 10));
    return 20000;
}

// Resident memory of this process in bytes.
long long residentBytes() {
#ifdef _WIN32
    // Windows calls it the working set.
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        return 0;
    return static_cast<long long>(counters.WorkingSetSize);
#else
    std::ifstream statm("/proc/self/statm");
    long long size = 0;
    long long resident = 0;
    statm >> size >> resident;
    return resident * sysconf(_SC_PAGESIZE);
#endif
}

constexpr long long kMiB = 1024 * 1024;

// How far resident memory may grow over a run. The memos keep every line the handlers append (the
// program never clears them), and the allocator keeps freed pages, so a long run grows by about
// 100 MB; a picture leaked per bitmap run, or the points of every Easter chart kept, would pass the
// bound. Under the address sanitizer resident memory also holds the quarantine of freed blocks
// (256 MB) and shadow memory that is never given back, so there the bound is wide and the live heap,
// which the sanitizer counts exactly, is held to the release bound instead.
#ifdef KESTROVA_STRESS_ASAN
constexpr long long kResidentGrowthBound = 1536 * kMiB;
#else
constexpr long long kResidentGrowthBound = 256 * kMiB;
#endif
constexpr long long kLiveHeapGrowthBound = 256 * kMiB;

// The longest the window may go without answering: a user notices a pause of this length, and
// nothing the program does needs to hold its event loop for longer. The sanitizer makes every event
// several times slower than the program a user runs, so under it the pause is only reported.
constexpr double kLongestPauseMs = 250;

// An emulator (the ARM64 check runs this under qemu) is slower still but keeps the bound, a wider one
// that the check names in KESTROVA_STRESS_PAUSE_MS; it may widen the bound, never narrow it.
double longestPauseBoundMs() {
    if (const char* text = std::getenv("KESTROVA_STRESS_PAUSE_MS"); text != nullptr && *text != '\0')
        return std::max(kLongestPauseMs, std::strtod(text, nullptr));
    return kLongestPauseMs;
}
#ifdef KESTROVA_STRESS_ASAN
constexpr bool kPauseHeldToBound = false;
#else
constexpr bool kPauseHeldToBound = true;
#endif

// Bytes the program holds allocated, where the allocator can say so exactly; -1 elsewhere.
long long liveHeapBytes() {
#ifdef KESTROVA_STRESS_ASAN
    return static_cast<long long>(__sanitizer_get_current_allocated_bytes());
#else
    return -1;
#endif
}

// ---- What the program may say ----

struct MessageForm {
    const char* name;
    QRegularExpression pattern;
};

// A message form of the program as a pattern: each "%s" any text. The exception display adds a
// full stop after a message whose last byte sorts after ".", which every form's own last letter does.
MessageForm patternOf(const char* form, bool displayed) {
    const QStringList literals = QString::fromUtf8(form).split(QStringLiteral("%s"));
    QStringList escaped;
    for (const QString& literal : literals)
        escaped << QRegularExpression::escape(literal);
    QString pattern = escaped.join(QStringLiteral(".*"));
    if (displayed && !literals.last().isEmpty())
        pattern += QStringLiteral("\\.");
    return {form, QRegularExpression(QRegularExpression::anchoredPattern(pattern),
                                     QRegularExpression::DotMatchesEverythingOption)};
}

// Every message a handler can end with, as the exception display shows it.
const std::vector<MessageForm>& exceptionForms() {
    static const std::vector<MessageForm> forms = [] {
        std::vector<MessageForm> all;
        for (const char* form : numtext::forms::kExceptions)
            all.push_back(patternOf(form, true));
        return all;
    }();
    return forms;
}

// The math-error routine's texts.
const std::vector<MessageForm>& mathErrorForms() {
    static const std::vector<MessageForm> forms = {patternOf(numtext::forms::kMathError, false)};
    return forms;
}

const char* formOf(const std::vector<MessageForm>& forms, const std::string& text) {
    const QString message = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    for (const MessageForm& form : forms)
        if (form.pattern.match(message).hasMatch())
            return form.name;
    return nullptr;
}

// A message in a failure report: long ones cut, bytes that would garble the log escaped.
std::string shortened(const std::string& text) {
    std::string out;
    for (char c : text.substr(0, 160)) {
        if (c == '\0')
            out += "\\0";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    if (text.size() > 160)
        out += "... (" + std::to_string(text.size()) + " bytes)";
    return out;
}

// ---- The texts typed ----

class TextMaker {
public:
    explicit TextMaker(std::mt19937_64& rng) : m_rng(rng) {
        const numtext::FormatSettings& fs = TApplication::formatSettings();
        m_decimal = QString::fromStdString(fs.decimalSeparator);
        m_thousands = QString::fromStdString(fs.thousandSeparator);
        if (seedTexts().isEmpty() || dictionaryTokens().isEmpty())
            throw std::runtime_error("the fuzzing seeds or the dictionary cannot be read");
    }

    // One text and the kind it was drawn as.
    // Most texts are numbers, near the limits or not; a huge one is rare, since every later event on
    // its field lays out and copies 32767 characters.
    QString make(std::string& kind) {
        static std::discrete_distribution<int> kinds({6, 1, 33, 20, 6, 14, 20});
        switch (kinds(m_rng)) {
        case 0:
            kind = "empty";
            return {};
        case 1:
            kind = "huge";
            return huge();
        case 2:
            kind = "seed text";
            return withSeparators(oneOf(seedTexts()));
        case 3:
            kind = "random number";
            return withSeparators(randomNumber());
        case 4:
            kind = "nul bytes";
            return withNul();
        case 5:
            kind = "small number";
            return withSeparators(QString::number(static_cast<int>(pick(4001)) - 2000));
        default:
            kind = "junk";
            return junk();
        }
    }

private:
    std::size_t pick(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(m_rng); }
    bool chance(double p) { return std::bernoulli_distribution(p)(m_rng); }
    QString oneOf(const QStringList& list) { return list.at(static_cast<qsizetype>(pick(list.size()))); }

    // About 100 kB: far beyond what an edit keeps (it cuts at 32767 characters) and beyond any
    // number's digits.
    QString huge() {
        switch (pick(5)) {
        case 0:
            return QString(100000, QLatin1Char('9'));
        case 1:
            return QStringLiteral("1") + QString(99999, QLatin1Char('0'));
        case 2:
            return QStringLiteral("0") + m_decimal + QString(99998, QLatin1Char('0')) + QStringLiteral("1");
        case 3:
            return QString(50000, QChar(0x017C)); // "ż", two bytes each
        default: {
            QString s;
            s.reserve(100000);
            while (s.size() < 100000)
                s += QChar(static_cast<char16_t>(u'0' + pick(10)));
            return QStringLiteral("-") + s + QStringLiteral("e-99999");
        }
        }
    }

    // The number parser's fuzzing seeds: numbers at every limit of the program's fields and types,
    // half-typed and odd forms, other scripts' digits and separators.
    static const QStringList& seedTexts() {
        static const QStringList texts = [] {
            QStringList all;
            QDir seeds(QString::fromUtf8(KESTROVA_SOURCE_DIR "/tests/fuzz/corpus/fuzz_str_to_float"));
            for (const QFileInfo& seed : seeds.entryInfoList(QDir::Files)) {
                QFile file(seed.filePath());
                if (file.open(QIODevice::ReadOnly))
                    all << QString::fromUtf8(file.readAll());
            }
            return all;
        }();
        return texts;
    }

    // The tokens libFuzzer mutates the number texts with.
    static const QStringList& dictionaryTokens() {
        static const QStringList tokens = [] {
            QStringList all;
            std::ifstream dict(KESTROVA_SOURCE_DIR "/tests/fuzz/number_texts.dict");
            for (std::string line; std::getline(dict, line);) {
                const std::size_t open = line.find('"');
                const std::size_t close = line.rfind('"');
                if (line.empty() || line[0] == '#' || open == std::string::npos || close <= open)
                    continue;
                std::string token;
                for (std::size_t i = open + 1; i < close; ++i) {
                    if (line[i] == '\\' && line[i + 1] == 'x' && i + 3 < close) {
                        token += static_cast<char>(std::stoi(line.substr(i + 2, 2), nullptr, 16));
                        i += 3;
                    } else if (line[i] == '\\') {
                        token += line[++i];
                    } else {
                        token += line[i];
                    }
                }
                all << QString::fromStdString(token);
            }
            return all;
        }();
        return tokens;
    }

    // Numbers are written with "." above; this puts in the user's separator, or keeps the wrong one,
    // or puts in the thousands separator where the decimal one belongs.
    QString withSeparators(QString number) {
        switch (pick(3)) {
        case 0:
            number.replace(QLatin1Char('.'), m_decimal);
            break;
        case 1:
            break; // the other locale's separator
        default:
            number.replace(QLatin1Char('.'), m_thousands);
            break;
        }
        return number;
    }

    QString randomNumber() {
        char text[64];
        const int precision = static_cast<int>(pick(21));
        switch (pick(3)) {
        case 0: { // any double, from its bits
            std::uint64_t bits = m_rng();
            double x = 0;
            static_assert(sizeof x == sizeof bits);
            std::memcpy(&x, &bits, sizeof x);
            std::snprintf(text, sizeof text, "%.*g", precision, x);
            break;
        }
        case 1: { // a magnitude spread over the extended range
            const int exponent = static_cast<int>(pick(2 * 4960)) - 4960;
            std::snprintf(text, sizeof text, "%s%d.%de%d", chance(0.5) ? "-" : "", static_cast<int>(pick(10)),
                          static_cast<int>(pick(100000)), exponent);
            break;
        }
        default: { // an integer near a power of two
            const int power = static_cast<int>(pick(66));
            const long double base = std::ldexp(1.0L, power);
            std::snprintf(text, sizeof text, "%.0Lf", base + static_cast<long double>(pick(5)) - 2.0L);
            break;
        }
        }
        return QString::fromLatin1(text);
    }

    QString withNul() {
        QString s = oneOf(seedTexts());
        s += QChar(0);
        s += oneOf(seedTexts());
        if (chance(0.3))
            s.prepend(QChar(0));
        return s;
    }

    // Up to 40 of the dictionary's tokens in a row, now and then a NUL byte among them.
    QString junk() {
        QString s;
        const std::size_t length = pick(41);
        for (std::size_t i = 0; i < length; ++i) {
            if (chance(0.01))
                s += QChar(0);
            else
                s += oneOf(dictionaryTokens());
        }
        return s;
    }

    std::mt19937_64& m_rng;
    QString m_decimal;
    QString m_thousands;
};

// ---- The input a user gives ----

using uitest::click;
using uitest::key;

void wheel(QWidget* target, int notches) {
    const QPointF pos = QPointF(target->rect().center());
    QWheelEvent event(pos, target->mapToGlobal(pos), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &event);
}

// A text entered at the cursor: as one key press carrying it all (a paste of typed keys), or key by
// key, or committed by an input method (the only way a text starting with a control character, NUL
// included, gets in).
void enterText(QWidget* target, const QString& text, bool keyByKey, bool inputMethod) {
    if (text.isEmpty())
        return;
    if (inputMethod || !text.at(0).isPrint()) {
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QApplication::sendEvent(target, &commit);
        return;
    }
    if (!keyByKey) {
        key(target, Qt::Key_unknown, text);
        return;
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype n = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        key(target, Qt::Key_unknown, text.mid(i, n));
        QApplication::processEvents(); // a user's keys come one by one, the event loop turning between
        i += n - 1;
    }
}

// ---- The run ----

enum class Kind { Edit, Memo, Combo, Spin, Grid, Button, Radio, Track, Check, Pages };

const char* kindName(Kind kind) {
    switch (kind) {
    case Kind::Edit:
        return "edit";
    case Kind::Memo:
        return "memo";
    case Kind::Combo:
        return "combo box";
    case Kind::Spin:
        return "spin edit";
    case Kind::Grid:
        return "grid";
    case Kind::Button:
        return "button";
    case Kind::Radio:
        return "radio group";
    case Kind::Track:
        return "track bar";
    case Kind::Check:
        return "check box";
    case Kind::Pages:
        return "page control";
    }
    return "?";
}

struct Target {
    QPointer<QWidget> widget;
    std::string name;
    Kind kind;
};

// The controls of a window, by class. Labels, group boxes, charts and the status bar take no input
// that reaches the program; the TLabeledEdit is a TEdit.
std::vector<Target> discover(QWidget* root) {
    std::vector<Target> found;
    for (QWidget* w : root->findChildren<QWidget*>()) {
        Kind kind;
        if (qobject_cast<TEdit*>(w))
            kind = Kind::Edit;
        else if (qobject_cast<TMemo*>(w))
            kind = Kind::Memo;
        else if (qobject_cast<TComboBox*>(w))
            kind = Kind::Combo;
        else if (qobject_cast<TCSpinEdit*>(w))
            kind = Kind::Spin;
        else if (qobject_cast<TStringGrid*>(w))
            kind = Kind::Grid;
        else if (qobject_cast<TButton*>(w) || qobject_cast<TBitBtn*>(w))
            kind = Kind::Button;
        else if (qobject_cast<TRadioGroup*>(w))
            kind = Kind::Radio;
        else if (qobject_cast<TTrackBar*>(w))
            kind = Kind::Track;
        else if (qobject_cast<TCheckBox*>(w))
            kind = Kind::Check;
        else if (qobject_cast<TPageControl*>(w))
            kind = Kind::Pages;
        else
            continue;
        found.push_back({w, w->objectName().toStdString(), kind});
    }
    std::sort(found.begin(), found.end(), [](const Target& a, const Target& b) { return a.name < b.name; });
    return found;
}

// Handlers that take long enough to dominate a run if every event could start them, and the fewest
// events between two of their runs. The bitmap tab fills and shows a 700 x 500 picture on every
// change of a track bar and on its button; the rest of the time goes to everything else.
struct Throttle {
    const char* group;
    std::set<std::string> controls;
    long spacing;
};

const std::vector<Throttle>& throttles() {
    static const std::vector<Throttle> list = {
        {"bitmap", {"Button7", "RedMax", "GreenMax", "BlueMax"}, 10},
    };
    return list;
}

// The timing tab's button runs three loops of as many passes as the count in "CB2" says, up to
// 2^53: a count in the millions takes seconds, one in the trillions days. A timing that lasts shows
// its box after half a second, and the run stops it there; since each such timing costs that half
// second, a count above a million, rounded to double as the button rounds it, is clicked only once
// every kLongTimingSpacing events. Counts the button refuses at once (above 2^53, beyond the double
// range, not a number at all) are always clicked; larger counts are still typed, chosen and
// converted by the combo box's own handler.
constexpr double kLargestTimedCount = 1e6;
constexpr long kLongTimingSpacing = 1000;

bool timingWouldRunLong(const std::string& countText) {
    // Parsed as the button parses it: with the flags cleared, since a flag left raised by painting
    // would fail the rounding here but not in the button, which clears them first.
    const numtext::FlagGuard keepFlags;
    numtext::clearFpFlags();
    try {
        const double count =
            numtext::toDouble(numtext::StrToFloat(countText, TApplication::formatSettings()));
        return count > kLargestTimedCount && !(count > experiments::kLargestCount);
    } catch (const std::exception&) {
        return false; // refused at once
    }
}

class StressRun {
public:
    StressRun(std::uint64_t seed, long events) : m_rng(seed), m_texts(m_rng), m_events(events) {}

    void run();

    // Results, for the report.
    std::map<std::string, long> perControl;
    std::map<std::string, long> messages;
    std::map<std::string, std::set<int>> itemsChosen;
    std::map<std::string, std::set<std::pair<int, int>>> cellsTyped;
    std::set<int> tabsShown;
    long dialogsAnswered = 0;
    long dialogsCancelled = 0;
    long timedClicksSkipped = 0;
    long timingsStopped = 0;
    long throttled = 0;
    long long rssBefore = 0;
    long long rssAfter = 0;
    long long rssPeak = 0;
    long long heapBefore = -1;
    long long heapAfter = -1;
    std::vector<long long> rssProfile; // every 2000 events
    double seconds = 0;
    double secondsInEventLoop = 0; // painting and queued work after the events
    std::map<std::string, double> secondsPerControl;
    double longestPauseMs = 0;     // the longest the event loop did not turn (see EventLoopPauses)
    std::string longestPauseEvent; // what was done meanwhile
    bool failed = false;

private:
    std::size_t pick(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(m_rng); }
    int pickInt(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_rng); }
    bool chance(double p) { return std::bernoulli_distribution(p)(m_rng); }
    // The items of a control in a random order, each once before any comes again, so that a run
    // reaches every item, cell and tab however many there are.
    int deal(const std::string& control, int count) {
        std::vector<int>& deck = m_decks[control];
        if (deck.empty() || m_deckSizes[control] != count) {
            deck.resize(static_cast<std::size_t>(count));
            for (int i = 0; i < count; ++i)
                deck[static_cast<std::size_t>(i)] = i;
            std::shuffle(deck.begin(), deck.end(), m_rng);
            m_deckSizes[control] = count;
        }
        const int next = deck.back();
        deck.pop_back();
        return next;
    }

    void oneEvent(long index);
    bool allowed(const Target& t, long index);
    void act(const Target& t);
    QString makeText(std::string& kind);
    void typeInto(QWidget* target, const std::string& name);
    void actOnEdit(QWidget* w, const std::string& name);
    void actOnCombo(TComboBox* combo, const std::string& name);
    void actOnSpin(TCSpinEdit* spin, const std::string& name);
    void actOnGrid(TStringGrid* grid, const std::string& name);
    void actOnButton(QAbstractButton* button, const std::string& name);
    void actOnRadio(TRadioGroup* group, const std::string& name);
    void actOnTrack(TTrackBar* bar);
    void actOnPages(TPageControl* pages);
    void clickFreeSurface();
    void activateMainWindow();
    void check(long index);
    void fail(long index, const std::string& what);
    int answerDialog(QFileDialog& dialog);

    std::mt19937_64 m_rng;
    TextMaker m_texts;
    long m_events;
    std::vector<Target> m_targets;
    std::map<std::string, long> m_lastRun; // throttle group -> event of its last run
    std::string m_doing;                   // the current event in words, for a failure report
    long m_index = 0;                      // the current event's number
    long m_lastLongTiming = -kLongTimingSpacing;
    std::size_t m_errorsSeen = 0;
    std::size_t m_mathErrorsSeen = 0;
    QTemporaryDir m_dir;
    QStringList m_leftOpen; // modal boxes the watchdog had to close
    bool m_typingIntoMemo = false;
    std::map<std::string, std::vector<int>> m_decks;
    std::map<std::string, int> m_deckSizes;
    static constexpr qsizetype kMemoTextLimit = 200;
};

void StressRun::fail(long index, const std::string& what) {
    if (failed)
        return;
    failed = true;
    ADD_FAILURE() << "event " << index << " (" << m_doing << "): " << what;
}

int StressRun::answerDialog(QFileDialog& dialog) {
    switch (pick(6)) {
    case 0:
    case 1:
        ++dialogsCancelled;
        return QDialog::Rejected;
    case 2: // a name of its own, a few reused so that the files stay few
        dialog.selectFile(m_dir.filePath(QStringLiteral("dib%1.bmp").arg(pick(3))));
        break;
    case 3: // no extension: ".bmp" is added
        dialog.selectFile(m_dir.filePath(QStringLiteral("bez rozszerzenia żółć")));
        break;
    case 4: // a folder that does not exist
        dialog.selectFile(m_dir.filePath(QStringLiteral("nie ma/dib.bmp")));
        break;
    default: // the folder itself
        dialog.selectFile(m_dir.path() + QLatin1Char('/'));
        break;
    }
    // A name used before is a file to replace, which is asked first: either answer.
    QTimer::singleShot(0, &dialog, [this] {
        if (auto* question = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            question->button(pick(2) == 0 ? QMessageBox::No : QMessageBox::Yes)->click();
    });
    ++dialogsAnswered;
    return QDialog::Accepted;
}

void StressRun::activateMainWindow() {
    if (QApplication::activeWindow() != Form1) {
        Form1->activateWindow();
        QApplication::setActiveWindow(Form1);
    }
}

// The user clicks into a field (moving the focus, which a spin edit answers by bringing its value
// into its limits) and types: over everything, at the end, or somewhere inside.
// A memo is the program's output: the user can type into it, but nothing reads it back, and a
// memo that holds a few huge lines only measures how long the text layout takes to wrap them. Texts
// for a memo are cut short.
QString StressRun::makeText(std::string& kind) {
    QString text = m_texts.make(kind);
    if (m_typingIntoMemo && text.size() > kMemoTextLimit) {
        text.truncate(kMemoTextLimit);
        kind += ", cut short";
    }
    return text;
}

void StressRun::typeInto(QWidget* target, const std::string& name) {
    std::string kind;
    const QString text = makeText(kind);
    const bool keyByKey = text.size() <= 12 && chance(0.5);
    const bool inputMethod = chance(0.1);
    const char* where = "over the text";
    switch (pick(3)) {
    case 0:
        key(target, Qt::Key_A, {}, Qt::ControlModifier);
        if (text.isEmpty())
            key(target, Qt::Key_Delete);
        break;
    case 1:
        key(target, Qt::Key_End);
        where = "at the end";
        break;
    default:
        key(target, Qt::Key_Home);
        for (int i = pickInt(0, 6); i > 0; --i)
            key(target, Qt::Key_Right);
        where = "inside";
        break;
    }
    m_doing = "typing " + std::to_string(text.size()) + " characters (" + kind + ") " + where + " of " +
              name +
              (inputMethod || (!text.isEmpty() && !text.at(0).isPrint()) ? " by input method"
               : keyByKey                                                ? " key by key"
                                                                         : "");
    enterText(target, text, keyByKey, inputMethod);
}

void StressRun::actOnEdit(QWidget* w, const std::string& name) {
    w->setFocus(Qt::MouseFocusReason);
    switch (pick(8)) {
    case 0:
        m_doing = "editing keys in " + name;
        for (int i = pickInt(1, 4); i > 0; --i)
            key(w,
                std::vector<int>{Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Left, Qt::Key_Return}[pick(4)]);
        break;
    case 1: {
        std::string kind;
        const QString text = makeText(kind);
        m_doing = "pasting " + std::to_string(text.size()) + " characters (" + kind + ") into " + name;
        QGuiApplication::clipboard()->setText(text);
        key(w, Qt::Key_V, {}, Qt::ControlModifier);
        break;
    }
    case 2:
        m_doing = "undo in " + name;
        key(w, Qt::Key_Z, {}, Qt::ControlModifier);
        break;
    default:
        typeInto(w, name);
        break;
    }
}

void StressRun::actOnCombo(TComboBox* combo, const std::string& name) {
    combo->setFocus(Qt::MouseFocusReason);
    const int count = combo->count();
    switch (pick(6)) {
    case 0:
    case 1: { // an item from the open list
        const int item = count > 0 ? deal(name, count) : -1;
        m_doing = "choosing item " + std::to_string(item) + " of " + name + " from its list";
        combo->showPopup();
        QAbstractItemView* list = combo->view();
        if (item >= 0)
            list->setCurrentIndex(list->model()->index(item, 0));
        key(list, item >= 0 ? Qt::Key_Return : Qt::Key_Escape);
        if (item >= 0)
            itemsChosen[name].insert(item);
        break;
    }
    case 2: {
        const int k = std::vector<int>{Qt::Key_Up, Qt::Key_Down, Qt::Key_PageUp, Qt::Key_PageDown,
                                       Qt::Key_Return}[pick(5)];
        m_doing = "key " + std::to_string(k) + " in " + name;
        key(combo, k);
        break;
    }
    case 3:
        m_doing = "wheel over " + name;
        wheel(combo, pickInt(-3, 3));
        break;
    default:
        typeInto(combo, name);
        break;
    }
    if (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
}

void StressRun::actOnSpin(TCSpinEdit* spin, const std::string& name) {
    spin->setFocus(Qt::MouseFocusReason);
    switch (pick(6)) {
    case 0: {
        const int k = std::vector<int>{Qt::Key_Up, Qt::Key_Down, Qt::Key_PageUp, Qt::Key_PageDown}[pick(4)];
        m_doing = "arrow key " + std::to_string(k) + " in " + name;
        key(spin, k);
        break;
    }
    case 1:
        m_doing = "wheel over " + name;
        wheel(spin, pickInt(-3, 3));
        break;
    default:
        typeInto(spin, name);
        break;
    }
}

void StressRun::actOnGrid(TStringGrid* grid, const std::string& name) {
    grid->setFocus(Qt::MouseFocusReason);
    const int cols = grid->colCount();
    const int rows = grid->rowCount();
    if (cols <= 0 || rows <= 0)
        return;
    const int cell = deal(name, cols * rows);
    const int col = cell % cols;
    const int row = cell / cols;
    grid->setCurrentCell(row, col);
    if (chance(0.15)) {
        const int k = std::vector<int>{Qt::Key_Up,  Qt::Key_Down, Qt::Key_Left, Qt::Key_Right,
                                       Qt::Key_Tab, Qt::Key_Home, Qt::Key_F2}[pick(7)];
        m_doing = "key " + std::to_string(k) + " in " + name;
        key(grid, k);
        return;
    }
    std::string kind;
    const QString text = m_texts.make(kind);
    m_doing = "typing " + std::to_string(text.size()) + " characters (" + kind + ") into cell " +
              std::to_string(col) + "," + std::to_string(row) + " of " + name;
    // The first key opens the cell's editor; F2 opens it for a text no key can start.
    if (!text.isEmpty() && text.at(0).isPrint()) {
        key(grid, Qt::Key_unknown, text.left(1));
    } else {
        key(grid, Qt::Key_F2);
        if (QWidget* opened = QApplication::focusWidget(); opened != nullptr && opened != grid)
            key(opened, Qt::Key_A, {}, Qt::ControlModifier);
    }
    QWidget* editor = QApplication::focusWidget();
    if (editor != nullptr && editor != grid && grid->isAncestorOf(editor)) {
        enterText(editor, text.isEmpty() || !text.at(0).isPrint() ? text : text.mid(1), false, false);
        key(editor, std::vector<int>{Qt::Key_Return, Qt::Key_Return, Qt::Key_Tab, Qt::Key_Escape}[pick(4)]);
        cellsTyped[name].insert({col, row});
    }
    QApplication::processEvents(); // the delegate commits through a queued call
}

void StressRun::actOnButton(QAbstractButton* button, const std::string& name) {
    if (name == "Button2") {
        const std::string count = control<TComboBox>(Form1, "CB2")->ansiText();
        if (timingWouldRunLong(count)) {
            if (m_index - m_lastLongTiming < kLongTimingSpacing) {
                ++timedClicksSkipped;
                m_doing = "nothing (Button2 with the count " + shortened(count) + ")";
                return;
            }
            m_lastLongTiming = m_index;
        }
    }
    if (chance(0.8)) {
        m_doing = "clicking " + name;
        click(button, button->rect().center());
    } else {
        m_doing = "space bar on " + name;
        button->setFocus(Qt::TabFocusReason);
        key(button, Qt::Key_Space, QStringLiteral(" "));
    }
}

void StressRun::actOnRadio(TRadioGroup* group, const std::string& name) {
    const int count = static_cast<int>(group->items().size());
    if (count == 0)
        return;
    const int item = deal(name, count);
    QRadioButton* button = group->button(item);
    if (chance(0.8)) {
        m_doing = "clicking item " + std::to_string(item) + " of " + name;
        click(button, button->rect().center());
    } else {
        m_doing = "arrow key on item " + std::to_string(item) + " of " + name;
        button->setFocus(Qt::TabFocusReason);
        key(button, chance(0.5) ? Qt::Key_Down : Qt::Key_Up);
    }
    if (group->itemIndex() >= 0)
        itemsChosen[name].insert(group->itemIndex());
}

void StressRun::actOnTrack(TTrackBar* bar) {
    bar->setFocus(Qt::MouseFocusReason);
    const std::string name = bar->objectName().toStdString();
    switch (pick(3)) {
    case 0: {
        const int k = std::vector<int>{Qt::Key_Left,     Qt::Key_Right, Qt::Key_PageUp,
                                       Qt::Key_PageDown, Qt::Key_Home,  Qt::Key_End}[pick(6)];
        m_doing = "key " + std::to_string(k) + " on " + name;
        key(bar, k);
        break;
    }
    case 1:
        m_doing = "wheel over " + name;
        wheel(bar, pickInt(-3, 3));
        break;
    default: {
        const QPoint at(pickInt(0, std::max(0, bar->width() - 1)), bar->height() / 2);
        m_doing = "clicking " + name + " at " + std::to_string(at.x());
        click(bar, at);
        break;
    }
    }
}

void StressRun::actOnPages(TPageControl* pages) {
    const int count = pages->count();
    if (count == 0)
        return;
    if (chance(0.8)) {
        const int page = deal(pages->objectName().toStdString(), count);
        m_doing = "clicking tab " + std::to_string(page);
        QTabBar* bar = pages->tabBar();
        click(bar, bar->tabRect(page).center());
    } else {
        m_doing = "control-tab";
        key(pages, Qt::Key_Tab, {},
            chance(0.5) ? Qt::KeyboardModifiers(Qt::ControlModifier)
                        : Qt::ControlModifier | Qt::ShiftModifier);
    }
    tabsShown.insert(pages->currentIndex());
}

// A click on the window's own surface, between the controls.
void StressRun::clickFreeSurface() {
    for (int attempt = 0; attempt < 20; ++attempt) {
        const QPoint at(pickInt(0, Form1->width() - 1), pickInt(0, Form1->height() - 1));
        // The free surface is the form's own, or the one that holds every control of it.
        const QWidget* under = Form1->childAt(at);
        if (under == nullptr || under->isAncestorOf(Form1->PageControl1)) {
            m_doing = "clicking the window at " + std::to_string(at.x()) + "," + std::to_string(at.y());
            click(Form1, at);
            return;
        }
    }
    m_doing = "nothing (no free surface found)";
}

bool StressRun::allowed(const Target& t, long index) {
    for (const Throttle& throttle : throttles()) {
        if (throttle.controls.count(t.name) == 0)
            continue;
        auto last = m_lastRun.find(throttle.group);
        if (last != m_lastRun.end() && index - last->second < throttle.spacing)
            return false;
        m_lastRun[throttle.group] = index;
    }
    return true;
}

void StressRun::act(const Target& t) {
    QWidget* w = t.widget;
    switch (t.kind) {
    case Kind::Edit:
    case Kind::Memo:
        m_typingIntoMemo = t.kind == Kind::Memo;
        actOnEdit(w, t.name);
        m_typingIntoMemo = false;
        break;
    case Kind::Combo:
        actOnCombo(static_cast<TComboBox*>(w), t.name);
        break;
    case Kind::Spin:
        actOnSpin(static_cast<TCSpinEdit*>(w), t.name);
        break;
    case Kind::Grid:
        actOnGrid(static_cast<TStringGrid*>(w), t.name);
        break;
    case Kind::Button:
    case Kind::Check:
        actOnButton(static_cast<QAbstractButton*>(w), t.name);
        break;
    case Kind::Radio:
        actOnRadio(static_cast<TRadioGroup*>(w), t.name);
        break;
    case Kind::Track:
        actOnTrack(static_cast<TTrackBar*>(w));
        break;
    case Kind::Pages:
        actOnPages(static_cast<TPageControl*>(w));
        break;
    }
}

void StressRun::oneEvent(long index) {
    activateMainWindow();
    const double roll = std::uniform_real_distribution<double>(0.0, 1.0)(m_rng);
    if (roll < 0.01) {
        clickFreeSurface();
        return;
    }
    if (roll < 0.012) {
        m_doing = "closing the viewer";
        Form2->close();
        return;
    }
    if (roll < 0.013) {
        const QSize size(pickInt(200, 1400), pickInt(150, 900));
        m_doing =
            "resizing the window to " + std::to_string(size.width()) + "x" + std::to_string(size.height());
        Form1->resize(size);
        return;
    }
    // A control the user can see: switching tabs is one of the events.
    std::vector<const Target*> visible;
    for (const Target& t : m_targets)
        if (t.widget && t.widget->isVisibleTo(Form1))
            visible.push_back(&t);
    for (int attempt = 0; attempt < 10; ++attempt) {
        const Target& t = *visible.at(pick(visible.size()));
        if (!allowed(t, index)) {
            ++throttled;
            continue;
        }
        const Clock::time_point start = Clock::now();
        act(t);
        ++perControl[t.name];
        secondsPerControl[t.name] += std::chrono::duration<double>(Clock::now() - start).count();
        return;
    }
    m_doing = "nothing (only throttled controls drawn)";
}

void StressRun::check(long index) {
    if (QWidget* modal = QApplication::activeModalWidget())
        fail(index, std::string("a modal box is open: ") + modal->metaObject()->className() + " " +
                        modal->windowTitle().toStdString());
    if (QWidget* popup = QApplication::activePopupWidget())
        fail(index, std::string("a popup is open: ") + popup->metaObject()->className());
    for (; m_errorsSeen < shownErrors().size(); ++m_errorsSeen) {
        const ShownError& shown = shownErrors()[m_errorsSeen];
        const char* form = formOf(exceptionForms(), shown.message);
        if (form == nullptr)
            fail(index, "a message of no known form: \"" + shortened(shown.message) + "\"");
        else
            ++messages[form];
        if (shown.title != TApplication::applicationTitle())
            fail(index, "a message titled \"" + shown.title + "\"");
    }
    for (; m_mathErrorsSeen < shownMathErrors().size(); ++m_mathErrorsSeen) {
        const std::string& shown = shownMathErrors()[m_mathErrorsSeen];
        const char* form = formOf(mathErrorForms(), shown);
        if (form == nullptr)
            fail(index, "a math error of no known form: \"" + shortened(shown) + "\"");
        else
            ++messages[std::string(form) + " (" + shown + ")"];
    }
    if (!m_leftOpen.isEmpty())
        fail(index,
             "a modal box waited for an answer: " + m_leftOpen.join(QStringLiteral(", ")).toStdString());
    // Checked; kept, they would be this test's own memory growth (a message quotes a whole field).
    shownErrors().clear();
    shownMathErrors().clear();
    m_errorsSeen = 0;
    m_mathErrorsSeen = 0;
}

void StressRun::run() {
    ASSERT_TRUE(m_dir.isValid());
    m_targets = discover(Form1);
    ASSERT_FALSE(m_targets.empty());

    const TSavePictureDialog::Runner previousRunner =
        TSavePictureDialog::setRunner([this](QFileDialog& dialog) { return answerDialog(dialog); });

    // Nothing may wait for an answer: a modal box that runs its own event loop is closed at once and
    // reported.
    QTimer watchdog;
    // The box of a long timing is the one box expected: the run answers it with a stop, from its
    // button or with Esc.
    QObject::connect(&watchdog, &QTimer::timeout, [this] {
        if (QWidget* box = visibleStepBox()) {
            // In turn rather than drawn, so that a replay's draws do not depend on when a timer fired.
            if (timingsStopped++ % 2 == 0)
                key(box, Qt::Key_Escape);
            else if (auto* stop = box->findChild<QPushButton*>())
                click(stop, stop->rect().center());
            return;
        }
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != nullptr) {
            m_leftOpen << QString::fromLatin1(modal->metaObject()->className()) + QLatin1Char(' ') +
                              modal->windowTitle();
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
            else
                modal->close();
        }
    });
    watchdog.start(200);

    // The longest the window went without answering, put down to the events between the two turns
    // of the event loop around it.
    std::string doneAtTick;
    const auto notePause = [&](double pauseMs) {
        const std::string doing = "event " + std::to_string(m_index) + " (" + m_doing + ")";
        if (pauseMs > longestPauseMs) {
            longestPauseMs = pauseMs;
            longestPauseEvent = doneAtTick == doing ? doing : doneAtTick + ", then " + doing;
        }
        doneAtTick = doing;
    };

    Form1->show();
    activateMainWindow();
    QApplication::processEvents();
    rssBefore = residentBytes();
    rssPeak = rssBefore;
    heapBefore = liveHeapBytes();

    const Clock::time_point start = Clock::now();
    const EventLoopPauses pauses(notePause);
    for (long i = 0; i < m_events && !failed; ++i) {
        m_index = i;
        oneEvent(i);
        check(i);
        const Clock::time_point pending = Clock::now();
        QApplication::processEvents();
        secondsInEventLoop += std::chrono::duration<double>(Clock::now() - pending).count();
        check(i);
        if (i % 500 == 0)
            rssPeak = std::max(rssPeak, residentBytes());
        if (i % 2000 == 1999)
            rssProfile.push_back(residentBytes());
    }
    seconds = std::chrono::duration<double>(Clock::now() - start).count();
    rssAfter = residentBytes();
    rssPeak = std::max(rssPeak, rssAfter);
    heapAfter = liveHeapBytes();

    watchdog.stop();
    TSavePictureDialog::setRunner(previousRunner);
}

class Stress : public FormTest {};

TEST_F(Stress, RandomEventsOverEveryControlOfEveryTab) {
    const std::uint64_t seed = seedFromEnvironment();
    const long events = eventsFromEnvironment();
    std::cout << "stress run: seed " << seed << ", " << events
              << " events (replay with KESTROVA_STRESS_SEED=" << seed << ")" << std::endl;
    RecordProperty("seed", std::to_string(seed));

    StressRun run(seed, events);
    run.run();
    if (HasFatalFailure())
        return;

    const auto mb = [](long long bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); };
    std::printf("  %ld events in %.1f s; resident memory %.0f MB before, %.0f MB after, %.0f MB at most\n",
                events, run.seconds, mb(run.rssBefore), mb(run.rssAfter), mb(run.rssPeak));
    if (run.heapBefore >= 0)
        std::printf("  live heap %.0f MB before, %.0f MB after\n", mb(run.heapBefore), mb(run.heapAfter));
    std::printf("  resident memory every 2000 events (MB):");
    for (long long bytes : run.rssProfile)
        std::printf(" %.0f", mb(bytes));
    std::printf("\n");
    std::printf("  %.1f s of it in the event loop after the events (painting, queued work)\n",
                run.secondsInEventLoop);
    std::printf("  longest pause of the event loop: %.0f ms, at %s\n", run.longestPauseMs,
                run.longestPauseEvent.c_str());
    std::printf("  save dialog: %ld answered, %ld cancelled; Button2 skipped for a large count %ld times; "
                "%ld timings stopped from their box; %ld throttled draws\n",
                run.dialogsAnswered, run.dialogsCancelled, run.timedClicksSkipped, run.timingsStopped,
                run.throttled);
    for (const auto& [name, count] : run.perControl)
        std::printf("  %-14s %6ld events %7.2f s\n", name.c_str(), count, run.secondsPerControl[name]);
    for (const auto& [form, count] : run.messages)
        std::printf("  message \"%s\": %ld\n", form.c_str(), count);
    std::fflush(stdout);
    EXPECT_FALSE(run.failed) << "replay with KESTROVA_STRESS_SEED=" << seed;

    if (kPauseHeldToBound) {
        EXPECT_LE(run.longestPauseMs, longestPauseBoundMs())
            << "the window did not answer for " << run.longestPauseMs << " ms: " << run.longestPauseEvent;
    }
    EXPECT_LT(run.rssAfter - run.rssBefore, kResidentGrowthBound) << "resident memory grew too much";
    if (run.heapBefore >= 0) {
        EXPECT_LT(run.heapAfter - run.heapBefore, kLiveHeapGrowthBound) << "the live heap grew too much";
    }

    // Coverage: a long run reaches every control, every tab, every item and every editable cell.
    if (events < 10000 || run.failed)
        return;
    for (const Target& t : discover(Form1))
        EXPECT_GT(run.perControl[t.name], 0) << t.name << " (" << kindName(t.kind) << ") was never used";
    EXPECT_EQ(static_cast<int>(run.tabsShown.size()), Form1->PageControl1->count());
    for (auto* combo : Form1->findChildren<TComboBox*>())
        EXPECT_EQ(static_cast<int>(run.itemsChosen[combo->objectName().toStdString()].size()), combo->count())
            << combo->objectName().toStdString();
    for (auto* group : Form1->findChildren<TRadioGroup*>())
        EXPECT_EQ(static_cast<int>(run.itemsChosen[group->objectName().toStdString()].size()),
                  group->items().size())
            << group->objectName().toStdString();
    for (auto* grid : Form1->findChildren<TStringGrid*>()) {
        if (!grid->editable())
            continue;
        int cells = 0;
        for (int c = 0; c < grid->colCount(); ++c)
            for (int r = 0; r < grid->rowCount(); ++r)
                cells += grid->isFixed(c, r) ? 0 : 1;
        EXPECT_EQ(static_cast<int>(run.cellsTyped[grid->objectName().toStdString()].size()), cells)
            << grid->objectName().toStdString();
    }
}

} // namespace
