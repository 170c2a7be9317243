#pragma once

#include "link/LinkPlatform.h"
#include "link/UCZEM2.h"
#include "session/InstrumentClaim.h"

#include <memory>
#include <string>

namespace zem {

namespace ui {
class Host;
}

// The link of a diagnosis: the instrument opened by its key, refused in update mode or with a
// memory error, its measures blocked, then switched into diagnostic mode. The diagnosis window and
// `zemcli monitor` both start this way and both leave through Chiudi, which the destructor also
// runs, so an instrument is never left in diagnostic mode by a path that forgot it.
class DiagnosticSession {
public:
    // How the preparation went: ready for diagnostic mode, refused (the caller gives up), or the
    // blocking command failed (the window stays open, showing what it could).
    enum class Preparazione { Pronto, Rifiutato, BloccoFallito };

    DiagnosticSession(ui::Host& host, const LinkPlatform& platform);
    ~DiagnosticSession();
    DiagnosticSession(const DiagnosticSession&) = delete;
    DiagnosticSession& operator=(const DiagnosticSession&) = delete;

    UCZEM2& Link() { return link_; }
    const UCZEM2& Link() const { return link_; }

    // Opens the instrument named by the key text; false, showing nothing, for a malformed key or
    // an instrument that does not answer.
    bool Apri(const std::string& chiave);
    // Why Apri failed, as the menu tells it: "Instrument type non supported." when an instrument
    // of another type answered, else "Communication error".
    void SegnalaErroreApertura();
    // True for an instrument type and release this tool knows; otherwise shows why not.
    bool VerificaStrumento();
    // Refuses an instrument in update mode or with a memory error, then blocks every measure;
    // each refusal shows its message.
    Preparazione Prepara();
    // Switches diagnostic mode on; a refusal shows its message.
    bool AttivaDiagnosi();
    bool InDiagnosi() const { return inDiagnosi_; }
    // The opened instrument claimed for a write (the calibration), for as long as the claim lives.
    InstrumentClaim Rivendica() const { return InstrumentClaim(chiave_, claimScope_); }
    // Closes the link when it is open, leaving diagnostic mode first once Prepara has run.
    void Chiudi();

private:
    ui::Host& host_;
    std::unique_ptr<SocketControl> socket_;  // handed to the link for an Ethernet instrument
    UCZEM2 link_;
    std::string claimScope_;
    std::string chiave_;
    bool preparata_ = false;
    bool inDiagnosi_ = false;
};

} // namespace zem
