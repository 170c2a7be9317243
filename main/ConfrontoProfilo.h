#pragma once

#include "link/LinkPlatform.h"
#include "main/CampoProfilo.h"

#include <optional>
#include <string>
#include <vector>

namespace zem {

class ProfiloZem;

namespace ui {
class Host;
}
class TransferProgress;

// "Compare with instrument...": a profile against what an instrument holds, read back with the
// import's decoder, or against another profile; the differences field by field in the captions
// of the setup dialogs. The main window's File menu and `zemcli diff` run it.
class ConfrontoProfilo {
public:
    struct Esito {
        std::string chiave;                        // the instrument compared with
        std::vector<std::string> differenze;      // "Measure 2 - Maximum force: 5000 -> 4800"
        std::vector<CampoProfilo> nonConfrontati;  // what the instrument memory does not keep
    };

    // `progress` shows the instrument's read-back as the import does.
    ConfrontoProfilo(ui::Host& host, const LinkPlatform& platform, TransferProgress& progress);
    ConfrontoProfilo(ui::Host& host, const LinkPlatform& platform);

    // Every field where `a` and `b` differ, in the order of the dialogs, but those `esclusi` take
    // in: none when the profiles hold the same settings.
    static std::vector<std::string> Differenze(const ProfiloZem& a, const ProfiloZem& b,
                                               const std::vector<CampoProfilo>& esclusi = {});

    // The profile against the instrument of `chiave`, or the one chosen in the selection window.
    // Nothing when no instrument was chosen or its memory could not be read (a message said why).
    std::optional<Esito> ConStrumento(const ProfiloZem& profilo, std::optional<std::string> chiave = std::nullopt);

    // The main window's command: the comparison, and its outcome in a message.
    void Run(const ProfiloZem& profilo);

    // The outcome as the technician reads it, for the profile named `profilo`.
    static std::string Sommario(const Esito& esito, const std::string& profilo);
    static std::string Dettagli(const Esito& esito);

private:
    ui::Host& host_;
    LinkPlatform platform_;
    TransferProgress& progress_;
};

} // namespace zem
