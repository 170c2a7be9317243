#pragma once

#include "link/LinkPlatform.h"
#include "link/UCZEM2.h"

#include <memory>
#include <string>

namespace zem {

namespace ui {
class Host;
}

// The link a workflow opens to the instrument the technician chose, by its key text. An
// instrument whose configuration the opening refuses (a blank memory, a send cut short, a memory
// test) is switched into update mode instead, so that a new configuration can still be written.
// Sending a profile, the memory backup and the memory test share it.
class CollegamentoStrumento {
public:
    explicit CollegamentoStrumento(const LinkPlatform& platform);
    CollegamentoStrumento(const CollegamentoStrumento&) = delete;
    CollegamentoStrumento& operator=(const CollegamentoStrumento&) = delete;

    UCZEM2& Link() { return link_; }
    const UCZEM2& Link() const { return link_; }
    const std::string& Chiave() const { return chiave_; }

    // Opens the instrument named by `chiave`; a refused opening falls back on the update-mode
    // switch. True when connected.
    bool Apri(const std::string& chiave);
    // Opens the same instrument again, without the fallback: what a workflow left behind.
    bool Riapri();
    // The instrument was in update mode when it opened by itself, not by the switch.
    bool UpdateModeAllApertura() const { return updateModeAllApertura_; }

    // Why Apri failed: "Instrument type non supported." with the type and release the instrument
    // reported, or "Communication error" when none answered.
    void SegnalaErroreApertura(ui::Host& host) const;
    // True for an instrument this tool supports; otherwise shows why not.
    bool VerificaStrumento(ui::Host& host) const { return VerificaStrumento(host, link_); }
    // The same check of any opened link (the diagnosis opens its own).
    static bool VerificaStrumento(ui::Host& host, const UCZEM2& link);

    void Chiudi() { link_.ChiudiComunicazione(); }

private:
    bool ApriPorta();
    bool ApriComunicazione();

    LinkPlatform platform_;
    std::unique_ptr<SocketControl> socket_;
    UCZEM2 link_;
    std::string chiave_;
    bool updateModeAllApertura_ = false;
};

} // namespace zem
