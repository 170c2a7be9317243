// Any text given as a memory backup: the reader answers 8961 bytes or a line within the file.
#include "main/LetturaBackup.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view testo(reinterpret_cast<const char*>(data), size);
    const zem::LetturaBackup r = zem::LeggiBackup(testo);
    if (r.Valida() != (r.bytes.size() == zem::LetturaBackup::kRighe)) std::abort();
    if (!r.Valida() && (r.rigaErrata < 1 || r.rigaErrata > zem::LetturaBackup::kRighe + 1)) std::abort();
    return 0;
}
