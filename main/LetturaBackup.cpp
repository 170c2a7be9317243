#include "main/LetturaBackup.h"

namespace zem {

namespace {

// One line as the backup writes it, its CR LF already taken off: a blank, the value's digits
// without leading zeros, a blank.
bool LeggiRiga(std::string_view riga, std::uint8_t& valore)
{
    if (riga.size() < 3 || riga.size() > 5 || riga.front() != ' ' || riga.back() != ' ') return false;
    const std::string_view cifre = riga.substr(1, riga.size() - 2);
    if (cifre.size() > 1 && cifre.front() == '0') return false;
    int n = 0;
    for (const char c : cifre) {
        if (c < '0' || c > '9') return false;
        n = n * 10 + (c - '0');
    }
    if (n > 255) return false;
    valore = static_cast<std::uint8_t>(n);
    return true;
}

} // namespace

LetturaBackup LeggiBackup(std::string_view testo)
{
    LetturaBackup r;
    r.bytes.reserve(LetturaBackup::kRighe);
    for (int riga = 1; riga <= LetturaBackup::kRighe; ++riga) {
        const std::size_t fine = testo.find("\r\n");
        std::uint8_t valore = 0;
        if (fine == std::string_view::npos || !LeggiRiga(testo.substr(0, fine), valore)) {
            r.bytes.clear();
            r.rigaErrata = riga;
            return r;
        }
        r.bytes.push_back(valore);
        testo.remove_prefix(fine + 2);
    }
    if (!testo.empty()) {
        r.bytes.clear();
        r.rigaErrata = LetturaBackup::kRighe + 1;
    }
    return r;
}

} // namespace zem
