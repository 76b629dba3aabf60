#include "lib/Unit_Funkcje.h"

numtext::extended ksi(std::int32_t n) {
    if (n <= 0)
        return 0.0L;
    if (n == 1)
        return 1.0L;
    return ksi(n - 1) + 1.0L / static_cast<numtext::extended>(n);
}
