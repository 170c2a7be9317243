#pragma once

#include "link/LinkPlatform.h"
#include "link/UCZEM2.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace zem {

namespace ui {
class Host;
}
class InstrumentClaim;

// The link a workflow opens to the instrument the technician chose, by its key text. An
// instrument whose configuration the opening refuses (a blank memory, a send cut short, a memory
// test) is switched into update mode instead, so that a new configuration can still be written.
// Sending a profile, the memory backup and the memory test share it; the static members are the
// same opening, check and messages for a workflow that keeps a link of its own (diagnosis,
// curves, import, read-back check, `zemcli info`).
class CollegamentoStrumento {
public:
    // What a workflow does with the instrument. A reader (backup, import, check, info) opens
    // read-only: no update-mode switch and no write, whatever the opening meets. A writer (send,
    // memory test) first claims the instrument for itself, so that no other program changes it
    // meanwhile.
    enum class Uso { Lettura, Modifica };

    // How much an opening failure tells: the send's menus name the type and release the
    // instrument reported, the others only that it was refused.
    enum class Dettaglio { Breve, TipoRelease };

    // Opens `link` on the instrument named by `chiave` (USB serial number, or host and port over
    // `socket`); false for a malformed key, a module's MAC key or an instrument that does not open.
    static bool ApriChiave(UCZEM2& link, SocketControl& socket, std::string_view chiave, Uso uso = Uso::Modifica);
    // Why an opening failed: "No answer from the instrument" when an identity reply came and a
    // later exchange went unanswered, "Instrument type non supported." when the answers refused
    // it (the type and release added for TipoRelease), else "Communication error".
    static std::string ErroreApertura(const UCZEM2& link, Dettaglio dettaglio = Dettaglio::Breve);
    // The same refusal for a key that names no instrument to open: too short to hold a channel,
    // or one the link cannot reach.
    static std::string ErroreChiave(std::string_view chiave);
    // The opened instrument holds no configuration: in update mode, a memory error, or (opened
    // read-only, so not switched) no measure.
    static bool MemoriaVuota(const UCZEM2& link);
    // Nothing for an instrument this tool supports, else why not: its type and release in update
    // mode, its firmware version otherwise.
    static std::optional<std::string> NonSupportato(const UCZEM2& link);

    explicit CollegamentoStrumento(const LinkPlatform& platform);
    CollegamentoStrumento(const CollegamentoStrumento&) = delete;
    CollegamentoStrumento& operator=(const CollegamentoStrumento&) = delete;
    ~CollegamentoStrumento();

    UCZEM2& Link() { return link_; }
    const UCZEM2& Link() const { return link_; }
    const std::string& Chiave() const { return chiave_; }

    // Opens the instrument named by `chiave`. A writer claims it first, and a refused opening
    // falls back on the update-mode switch. True when connected.
    bool Apri(const std::string& chiave, Uso uso);
    // Opens the same instrument again, read-only: what a workflow left behind.
    bool Riapri();
    // Why a writer's claim was refused (another program holds the instrument); nothing otherwise.
    std::optional<std::string> Occupato() const;
    // The instrument was in update mode when it opened by itself, not by the switch.
    bool UpdateModeAllApertura() const { return updateModeAllApertura_; }

    // Why Apri failed: the claim's refusal, or the opening's failure with the type and release
    // the instrument reported.
    void SegnalaErroreApertura(ui::Host& host) const;
    // Why an opening of any link failed, as a critical message.
    static void SegnalaErroreApertura(ui::Host& host, const UCZEM2& link, Dettaglio dettaglio);
    // True for an instrument this tool supports; otherwise shows why not.
    bool VerificaStrumento(ui::Host& host) const { return VerificaStrumento(host, link_); }
    // The same check of any opened link (the diagnosis opens its own).
    static bool VerificaStrumento(ui::Host& host, const UCZEM2& link);

    // Closes the link; the claim stays until the workflow ends with this object.
    void Chiudi() { link_.ChiudiComunicazione(); }

private:
    bool ApriPorta();
    bool ApriComunicazione();

    LinkPlatform platform_;
    std::unique_ptr<SocketControl> socket_;
    UCZEM2 link_;
    std::string chiave_;
    Uso uso_ = Uso::Lettura;
    std::unique_ptr<InstrumentClaim> claim_;
    bool updateModeAllApertura_ = false;
};

} // namespace zem
