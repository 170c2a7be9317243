#pragma once

#include "link/LinkPlatform.h"
#include "main/DecodificaProfilo.h"

#include <optional>
#include <string>

namespace zem {

namespace ui {
class Host;
}
class TransferProgress;

// "Import profile from instrument...": reads the configuration of the instrument the technician
// chose into a new profile. The main window's File menu and `zemcli read` run it.
class ImportaProfilo {
public:
    // `progress` shows the opening and each read, and may stop the import between two reads.
    ImportaProfilo(ui::Host& host, const LinkPlatform& platform, TransferProgress& progress);
    ImportaProfilo(ui::Host& host, const LinkPlatform& platform);

    // The instrument chosen in the selection window, unless `chiave` names it. A refused
    // instrument or memory is told with a message and gives nothing; the link is closed again.
    // `modello` gives the fields the memory does not keep.
    DecodificaProfilo::Esito Run(const ProfiloZem& modello, std::optional<std::string> chiave = std::nullopt);

    // The template at `percorso`, which gives the fields the memory does not keep. Without it
    // those fields would come back as zeros and make another configuration, so nothing is read:
    // a critical message, and nothing returned.
    static std::optional<ProfiloZem> Modello(ui::Host& host, const std::string& percorso);

    // The message after an import: a summary that fits any screen, and the fields that kept the
    // template's values, and those worked out, in the details.
    struct Resoconto {
        std::string sommario;
        std::string dettagli;
    };
    static Resoconto ElencoNonLetti(const DecodificaProfilo::Esito& esito);
    static void MostraNonLetti(ui::Host& host, const DecodificaProfilo::Esito& esito);

private:
    DecodificaProfilo::Esito Leggi(const ProfiloZem& modello, const std::string& chiave);

    ui::Host& host_;
    LinkPlatform platform_;
    TransferProgress& progress_;
};

} // namespace zem
