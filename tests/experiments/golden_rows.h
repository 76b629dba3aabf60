#pragma once

// A row of the golden table: three columns separated by tabs, the kind of case (the computation it
// runs), its inputs as words separated by spaces, and what the window showed: every write in order,
// each chart series as a hash of its points' bits, the picture's hash, and the failure's message.
// A row follows from its first two columns alone, so a recorded line can always be run again from
// its inputs.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace golden {

// FNV-1a over bytes: a picture's or a chart's fingerprint, and a tab's seed.
std::uint64_t fnv1a(const void* data, std::size_t size);

// The whole row of a case: row("bits", "-5") -> "bits\t-5\tsetText ...|...". The inputs are kept as
// given (extra spaces too). An unknown kind, or inputs too few or not numbers where numbers are
// due, throw std::invalid_argument or std::out_of_range.
std::string row(std::string_view kind, const std::string& inputs);

} // namespace golden
