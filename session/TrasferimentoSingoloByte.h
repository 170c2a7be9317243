#pragma once

#include <string>

namespace zem {

class SettingsStore;

// The per-user setting "Main"/"SingleByteTransfers" = "1": every instrument transfer takes the
// loader's single-byte path, for an instrument whose loader misbehaves in a way no probe shows.
bool TrasferimentoSingoloByte(SettingsStore& settings, const std::string& applicazione);

} // namespace zem
