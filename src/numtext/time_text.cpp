#include "time_text.h"

#include <chrono>
#include <cmath>
#include <ctime>

#include "fpenv.h"

namespace numtext {
namespace {

constexpr long long kMsPerDay = 86400000;

void appendNumber(std::string& out, long long v, int width) {
    std::string s = std::to_string(v);
    if (static_cast<int>(s.size()) < width)
        out.append(static_cast<std::size_t>(width) - s.size(), '0');
    out += s;
}

std::size_t runLength(const std::string& f, std::size_t i) {
    std::size_t j = i;
    while (j < f.size() && f[j] == f[i])
        ++j;
    return j - i;
}

// Whether the format has an AM/PM marker outside quoted text, which makes 'h' a 12-hour clock.
bool hasAmPm(const std::string& f) {
    bool quoted = false;
    for (char c : f) {
        if (c == '\'')
            quoted = !quoted;
        else if (!quoted && (c == 'a' || c == 'A'))
            return true;
    }
    return false;
}

// The nearest integer, ties to even, as the processor rounds; |x| < 2^63. The fraction x - t is
// exact: it keeps the bits of x below the point.
long long roundToNearest(extended x) {
    const std::int64_t t = x.truncateToInt64();
    const extended fraction = fabs(x - extended(t));
    const extended half(0.5);
    if (fraction > half || (fraction == half && (t & 1) != 0))
        return x.signBit() ? t - 1 : t + 1;
    return t;
}

// The local time of t, thread-safe: POSIX has localtime_r, Windows' C library localtime_s with its
// arguments the other way round.
std::tm localTime(std::time_t t) {
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &t);
#else
    localtime_r(&t, &local);
#endif
    return local;
}

} // namespace

std::string TimeToStr(TDateTime value, const FormatSettings& fs) {
    long long count = 0;
    {
        const FlagGuard keepFlags;
        const extended ms = extended(value) * extended(kMsPerDay);
        if (fabs(ms) < extended(9.2e18))
            count = roundToNearest(ms);
    }
    if (count < 0)
        count = -count;
    count %= kMsPerDay;
    const long long hour = count / 3600000;
    const long long minute = count / 60000 % 60;
    const long long second = count / 1000 % 60;
    const long long milli = count % 1000;

    const std::string& f = fs.longTimeFormat;
    const bool twelveHour = hasAmPm(f);
    std::string out;
    for (std::size_t i = 0; i < f.size();) {
        const char c = f[i];
        if (c == '\'') {
            std::size_t j = i + 1;
            if (j < f.size() && f[j] == '\'') { // '' is a quote
                out += '\'';
                i = j + 1;
                continue;
            }
            while (j < f.size() && f[j] != '\'')
                out += f[j++];
            i = j + 1;
            continue;
        }
        const std::size_t run = runLength(f, i);
        const int width = run >= 2 ? 2 : 1;
        switch (c) {
        case 'H':
            appendNumber(out, hour, width);
            break;
        case 'h':
            appendNumber(out, twelveHour ? (hour % 12 == 0 ? 12 : hour % 12) : hour, width);
            break;
        case 'm':
            appendNumber(out, minute, width);
            break;
        case 's':
            appendNumber(out, second, width);
            break;
        case 'z':
            appendNumber(out, milli, run >= 3 ? 3 : 1);
            break;
        case 'A':
        case 'a': {
            const bool lower = c == 'a';
            std::string marker = hour < 12 ? fs.timeAmString : fs.timePmString;
            for (char& ch : marker)
                if (lower && ch >= 'A' && ch <= 'Z')
                    ch = static_cast<char>(ch - 'A' + 'a');
            out += marker;
            // "AP" and "ap" are one marker, as is a lone "A".
            std::size_t j = i + 1;
            if (j < f.size() && (f[j] == 'P' || f[j] == 'p'))
                ++j;
            i = j;
            continue;
        }
        case ':':
            for (std::size_t k = 0; k < run; ++k)
                out += fs.timeSeparator;
            break;
        default:
            out.append(run, c);
            break;
        }
        i += run;
    }
    return out;
}

TDateTime Time() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t t = system_clock::to_time_t(now);
    const std::tm local = localTime(t);
    const long long ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    const long long sinceMidnight =
        local.tm_hour * 3600000LL + local.tm_min * 60000LL + local.tm_sec * 1000LL + ms;
    return static_cast<double>(sinceMidnight) / static_cast<double>(kMsPerDay);
}

} // namespace numtext
