#include "discovery/EthernetSetup.h"

#include "access/PasswordGate.h"
#include "session/ChiaveStrumento.h"
#include "discovery/FSceltaStrumento.h"
#include "discovery/FSetupEth.h"

namespace zem {

EthernetSetup::EthernetSetup(ui::Host& host, LinkPlatform platform, PasswordGate& gate)
    : host_(host), platform_(std::move(platform)), gate_(gate)
{
}

bool EthernetSetup::Run(std::optional<std::string> mac)
{
    if (!mac) {
        FSceltaStrumento scelta(host_, platform_);
        const auto key = scelta.LoadForm("Ethernet setup", true, false);
        if (!key) return false;
        if (!gate_.PasswordOK()) return false;
        // Only a module's key leads on: the module is addressed by its MAC text.
        const auto chiave = ChiaveStrumento::Leggi(*key);
        if (!chiave || chiave->canale != ChiaveStrumento::Canale::MAC) return false;
        mac = chiave->mac;
    } else if (!gate_.PasswordOK()) {
        return false;
    }
    FSetupEth setup(host_, platform_);
    setup.LoadForm(*mac);
    return true;
}

} // namespace zem
