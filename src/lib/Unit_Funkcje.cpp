#include "lib/Unit_Funkcje.h"

using numtext::extended;

extended ksi(std::int32_t n) {
    if (n <= 0)
        return extended(0.0);
    if (n == 1)
        return extended(1.0);
    return ksi(n - 1) + extended(1.0) / static_cast<numtext::extended>(n);
}
