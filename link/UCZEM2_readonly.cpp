// The requests a read-only link lets out: identity, version, status and memory reads. Anything
// else (a write, a restart into update mode, a flash command, a change of the running state) is
// refused before it reaches the wire.
#include "link/UCZEM2.h"

#include "link/ByteOrder.h"

#include <algorithm>
#include <array>

namespace zem {

namespace {

constexpr std::uint8_t kScriviPRam = 14;
constexpr std::uint8_t kMemoria = 34;
constexpr std::uint8_t kMemoriaStato = 0;
constexpr std::uint8_t kMemoriaLeggi = 3;
constexpr std::uint32_t kTestaMailbox = 4;  // the mailbox header a memory read is asked through

// Identity, piece status, version, parameter-RAM read, the status poll, the current operation,
// the inputs and outputs, the transducer readings, the serial status and a flash read.
constexpr std::array<std::uint8_t, 10> kLetture = {1, 4, 12, 15, 28, 35, 21, 23, 31, 24};

} // namespace

bool UCZEM2::RichiestaDiLettura() const
{
    const std::size_t n = bufferTX_[0];
    const std::uint8_t code = bufferTX_[1];
    if (std::find(kLetture.begin(), kLetture.end(), code) != kLetture.end()) return true;
    if (code == kMemoria) return n == 2 && (bufferTX_[2] == kMemoriaStato || bufferTX_[2] == kMemoriaLeggi);
    // Writing the mailbox header is how the configuration is read when it is not in parameter
    // RAM; nothing else may be written to parameter RAM.
    if (code != kScriviPRam || !mailbox_ || n < 5) return false;
    const std::uint32_t inizio = Leggi24(bufferTX_, 2);
    const std::uint32_t fine = inizio + bufferTX_[5];
    return inizio >= indirizzoAreaPRAM_ && fine <= indirizzoAreaPRAM_ + kTestaMailbox;
}

} // namespace zem
