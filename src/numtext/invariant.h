#pragma once

// NUMTEXT_ASSERT(condition): an invariant that a header states and a caller could break, checked
// where it can be broken, as MPFR's MPFR_ASSERTD and double-conversion's DCHECK do. Checked in
// debug builds and in builds configured with KESTROVA_ASSERTS=ON (the sanitizer preset, whose
// optimised build defines NDEBUG); a broken one names itself on standard error and aborts.
// Elsewhere the condition is not evaluated and costs nothing. Never put a side effect in it.

#include <cstdio>
#include <cstdlib>

#if !defined(NDEBUG) || defined(KESTROVA_ASSERTS)
#define NUMTEXT_ASSERTS 1
#else
#define NUMTEXT_ASSERTS 0
#endif

namespace numtext::detail {
[[noreturn]] inline void invariantBroken(const char* condition, const char* file, int line) noexcept {
    std::fprintf(stderr, "%s:%d: numtext invariant broken: %s\n", file, line, condition);
    std::abort();
}
} // namespace numtext::detail

#if NUMTEXT_ASSERTS
#define NUMTEXT_ASSERT(condition)                                                                            \
    ((condition) ? static_cast<void>(0) : ::numtext::detail::invariantBroken(#condition, __FILE__, __LINE__))
#else
// Unevaluated, so that a variable read only by the condition still counts as used.
#define NUMTEXT_ASSERT(condition) static_cast<void>(sizeof(!(condition)))
#endif
