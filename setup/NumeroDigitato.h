#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace zem {

namespace ui {
class Host;
}

// A number the technician typed in a dialog. It is read by the same leading-number rule as the
// numbers of a profile file ("12abc" is 12, an empty box is 0) and brought into the field that
// will keep it to the nearest integer, halves to even. Range checks belong on Arrotondato(), the
// value that will be stored, so "249.5" is judged as the 250 it becomes.
class NumeroDigitato {
public:
    static constexpr const char* kTroppoGrande = "The value is too large.";

    explicit NumeroDigitato(std::string_view testo);

    // The leading number as typed.
    double Valore() const { return valore_; }
    // To the nearest integer, halves to even.
    double Arrotondato() const;
    // The value of a 16-bit field; nullopt when it does not fit.
    std::optional<std::int16_t> Intero() const;
    // Taken as a single first, then kept in a 32-bit field; nullopt when it does not fit.
    std::optional<std::int32_t> LungoDaSingolo() const;

    // The same, for a field whose dialog has no range message of its own: when the value does not
    // fit, the technician is told "The value is too large." and nothing is to be stored.
    std::optional<std::int16_t> Intero(ui::Host& host) const;
    std::optional<std::int32_t> LungoDaSingolo(ui::Host& host) const;
    static void AvvisaTroppoGrande(ui::Host& host);

private:
    double valore_;
};

} // namespace zem
