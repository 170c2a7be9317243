#include "session/VersioneFirmware.h"

#include <charconv>
#include <cmath>

namespace zem {

std::string TestoVersione(double versione)
{
    if (!std::isfinite(versione)) versione = 0;
    char testo[400];
    const auto fine = std::to_chars(testo, testo + sizeof testo, versione, std::chars_format::fixed, 2);
    return {testo, fine.ptr};
}

} // namespace zem
