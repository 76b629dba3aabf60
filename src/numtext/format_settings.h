#pragma once

#include <string>

namespace numtext {

// The user's locale as the number and time texts use it. A plain value: the program reads it from
// the system (and again when the system announces a change); tests build the one they want.
struct FormatSettings {
    std::string decimalSeparator = ",";       // one character, UTF-8 encoded
    std::string thousandSeparator = "\u00A0"; // may be empty
    std::string timeSeparator = ":";          // replaces every ':' of the long time format
    // Letters as in Qt's time formats: h/hh hour (12-hour when an AP marker is present),
    // H/HH hour 0-23, m/mm minutes, s/ss seconds, z/zzz milliseconds, AP/ap/A/a the marker,
    // text in single quotes kept as it is ('' for a quote). Other characters are copied.
    std::string longTimeFormat = "HH:mm:ss";
    std::string timeAmString = "AM";
    std::string timePmString = "PM";

    // Settings with a comma (Polish) and with a full stop (English): what tests usually want.
    static FormatSettings comma() { return {}; }
    static FormatSettings fullStop() {
        FormatSettings fs;
        fs.decimalSeparator = ".";
        fs.thousandSeparator = ",";
        fs.longTimeFormat = "h:mm:ss AP";
        return fs;
    }
};

} // namespace numtext
