#include "experiments/bits.h"

#include <cstdint>

#include "lib/Unit_Funkcje.h"
#include "numtext/number_text.h"

namespace experiments {

void harmonicSumAndBits(Controls& w, const numtext::FormatSettings& fs) {
    w.setText("Edit10", numtext::FloatToStr(numtext::toDouble(ksi(2)), fs));

    std::uint32_t number = static_cast<std::uint32_t>(numtext::StrToInt(w.text("LabeledEdit18")));
    std::uint32_t copy = number;
    const std::int32_t bitCount = 16;
    std::int32_t weightI = 1;
    std::int32_t weightII = 1;
    std::int32_t rebuiltI = 0;
    std::int32_t rebuiltII = 0;

    w.setText("Edit14", "");
    w.clearLines("Memo3");
    w.addLine("Memo3", " liczba ukryta = " + numtext::IntToStr(static_cast<std::int32_t>(number)));
    w.addLine("Memo3", " liczba bitow = " + numtext::IntToStr(bitCount));

    for (std::int32_t step = 0; step < bitCount; ++step) {
        const auto bitI = static_cast<std::int8_t>(static_cast<std::uint8_t>(number) & 1u);
        w.setText("Edit14", (bitI == 1 ? "1" : "0") + w.text("Edit14"));
        rebuiltI += bitI * weightI;
        weightI *= 2;

        // Clearing the lowest bit of number leaves it differing from copy in that bit alone.
        number = (number >> 1) << 1;
        const auto bitII =
            static_cast<std::int8_t>(static_cast<std::uint8_t>(number) ^ static_cast<std::uint8_t>(copy));
        w.addLine("Memo3", numtext::IntToStr(std::int32_t{bitII}));
        rebuiltII += bitII * weightII;
        weightII *= 2;

        copy >>= 1;
        number >>= 1;
    }

    w.addLine("Memo3", " liczba odtworzona metoda I = " + numtext::IntToStr(rebuiltI));
    w.addLine("Memo3", " liczba odtworzona metoda II = " + numtext::IntToStr(rebuiltII));
}

} // namespace experiments
