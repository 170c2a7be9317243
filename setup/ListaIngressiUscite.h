#pragma once

#include <cstdint>

namespace zem {

namespace ui {
class ListControl;
}

// The lists that give a function a physical input or output: "None", then "0" to "7"; the stored
// value is the position (0 none, k = input or output k-1).
namespace lista_io {

// Clears the list, fills it and selects `valore`; a value the list does not have selects nothing.
void Riempi(ui::ListControl& lista, std::int16_t valore);
// The position chosen, or `valore` still when nothing is selected, so a value the list could not
// show is kept rather than lost.
std::int16_t Scelta(const ui::ListControl& lista, std::int16_t valore);

} // namespace lista_io

} // namespace zem
