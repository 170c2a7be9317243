#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace zem {

// What a ".zemmem" file holds: the 8961 bytes of configuration memory, or the first line that is
// not a byte in the backup's own form (" value " and CR LF; line numbers count from 1). A file
// that stops short is refused at the first missing line, one that goes on at the line past the last.
struct LetturaBackup {
    static constexpr int kRighe = 8961;

    std::vector<std::uint8_t> bytes;  // kRighe bytes when the file is sound, else empty
    int rigaErrata = 0;               // 0 when the file is sound

    bool Valida() const { return rigaErrata == 0; }
};

// Reads the file's text; nothing but the text goes in, so any text may be tried on it.
LetturaBackup LeggiBackup(std::string_view testo);

} // namespace zem
