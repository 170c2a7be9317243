#pragma once

#include "link/LinkPlatform.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace zem {

namespace ui {
class Host;
}
class TransferProgress;
class UCZEM2;

// "Memory test...": three write/verify passes over one instrument's parameter RAM, in update mode.
// The configuration memory is left cleared, so the instrument waits for a profile to be sent.
// The main window's menu and `zemcli memtest` run it.
class TestMemoria {
public:
    enum class Esito {
        Superato,   // "Test memory OK"
        Fallito,    // a failure was reported
        Rifiutato,  // no instrument chosen, or the technician did not answer Yes
    };

    TestMemoria(ui::Host& host, const LinkPlatform& platform, TransferProgress& progress);

    Esito Esegui(const std::string& chiave);

private:
    bool Scrittura(UCZEM2& link);
    bool Verifica(UCZEM2& link);
    bool LineeIndirizzo(UCZEM2& link);
    bool PerFrame(UCZEM2& link, const std::function<bool(std::uint32_t, std::span<std::uint8_t>)>& passo);
    Esito Errore(const std::string& testo);

    ui::Host& host_;
    LinkPlatform platform_;
    TransferProgress& progress_;
};

} // namespace zem
