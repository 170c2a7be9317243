#pragma once

#include <cstdint>
#include <span>

namespace zem {

namespace ui {
class ListControl;
}

// The transducer lists of the measure dialogs. A transducer code is 3 x (channel - 1) + kind,
// kind 1 encoder, 2 0-10 V / potentiometer, 3 load cell, so only codes 1..6 exist (0: none).
struct VoceTrasduttore {
    const char* testo;
    std::int16_t codice;
};

// Fills the list in the given order; each entry keeps its code as ItemData.
void RiempiTrasduttori(ui::ListControl& lista, std::span<const VoceTrasduttore> voci);
// Selects the entry of `codice`; false (selection untouched) when the list has none.
bool SelezionaTrasduttore(ui::ListControl& lista, std::int16_t codice);
// The code of the selected entry, `nessuno` without a selection.
std::int16_t TrasduttoreScelto(const ui::ListControl& lista, std::int16_t nessuno);
// The transducer of `tipo` on measure m's own channel: 3 x (m - 1) + tipo for measures 1 and 2;
// measures 3 to 6 have no channel of their own, so 0 (none chosen) rather than a code that
// cannot exist.
std::int16_t TrasduttoreDelCanale(int misura, int tipo);

} // namespace zem
