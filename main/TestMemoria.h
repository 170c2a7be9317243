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
class CollegamentoStrumento;
class TransferProgress;
class UCZEM2;

// "Memory test...": three write/verify passes over one instrument's parameter RAM, in update mode.
// The configuration memory is left cleared, so the instrument waits for a profile to be sent.
// The main window's menu and `zemcli memtest` run it. A stop asked for through the progress ends
// the step under way; before the memory is cleared, the instrument leaves the update mode this
// run put it in.
class TestMemoria {
public:
    enum class Esito {
        Superato,   // "Test memory OK"
        Fallito,    // a failure was reported
        Rifiutato,  // no instrument chosen, the technician did not answer Yes, or stopped before any write
    };

    TestMemoria(ui::Host& host, const LinkPlatform& platform, TransferProgress& progress);

    Esito Esegui(const std::string& chiave);

private:
    bool Scrittura(UCZEM2& link);
    bool Verifica(UCZEM2& link);
    bool LineeIndirizzo(UCZEM2& link);
    bool PerFrame(UCZEM2& link, const std::function<bool(std::uint32_t, std::span<std::uint8_t>)>& passo);
    Esito Errore(const std::string& testo);
    Esito Fermato(CollegamentoStrumento& c);
    bool Continua();

    ui::Host& host_;
    LinkPlatform platform_;
    TransferProgress& progress_;
    bool fermato_ = false;
};

} // namespace zem
