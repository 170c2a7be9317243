// Arbitrary text as the texts the tool reads from people and files: an instrument key, a
// broadcast target, and the serial-number register's rich text. Each reader refuses or decodes,
// never crashes, and what it accepts reads back the same once written out again.
#include "fuzz/FuzzCheck.h"
#include "link/net/BroadcastTarget.h"
#include "main/RegistroSN.h"
#include "session/ChiaveStrumento.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace {

std::string Testo(const zem::ChiaveStrumento& k)
{
    using C = zem::ChiaveStrumento::Canale;
    switch (k.canale) {
    case C::USB: return zem::ChiaveStrumento::USB(k.seriale);
    case C::IP: return zem::ChiaveStrumento::IP(k.host, std::to_string(k.porta));
    case C::MAC: return zem::ChiaveStrumento::MAC(k.mac);
    }
    return {};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using zem::fuzz::Verifica;
    const std::string testo(reinterpret_cast<const char*>(data), size);

    if (const auto chiave = zem::ChiaveStrumento::Leggi(testo)) {
        Verifica(chiave->canale != zem::ChiaveStrumento::Canale::IP || (chiave->porta >= 1 && chiave->porta <= 65535));
        const auto riletta = zem::ChiaveStrumento::Leggi(Testo(*chiave));
        Verifica(riletta && Testo(*riletta) == Testo(*chiave));
    }

    if (const auto target = zem::ParseBroadcastTarget(testo)) {
        Verifica(!target->host.empty() && target->port >= 1 && target->port <= 65535);
        Verifica(zem::ParseBroadcastTarget(target->host + ":" + std::to_string(target->port)) == target);
    }

    // The register: any file reads as some text; a text without line ends survives its own RTF.
    (void)zem::RegistroSN::Testo(testo);
    (void)zem::RegistroSN::Testo("{\\rtf1 " + testo);
    if (testo.find_first_of("\r\n") == std::string::npos) Verifica(zem::RegistroSN::Testo(zem::RegistroSN::Rtf(testo)) == testo);
    return 0;
}
