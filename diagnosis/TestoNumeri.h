#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zem {

// How the diagnosis panels write numbers: with "." whatever the desktop's locale, as the
// technician types them back.

// The shortest decimal text that reads back as the same single ("1.2345", "0.0001").
std::string TestoDecimale(float valore);
// With exactly `decimali` digits after the point ("12.30"); never "-0.00".
std::string TestoFisso(double valore, int decimali);
// To the nearest integer, halves to even; nullopt when it does not fit 16 bits.
std::optional<std::int16_t> Intero16(double valore);
// A number the technician typed, by the leading-number rule, to the nearest integer (halves to
// even); beyond 32 bits it stops at the limit, still too large for any field that checks it.
std::int32_t InteroDigitato(std::string_view testo);

} // namespace zem
