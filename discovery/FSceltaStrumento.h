#pragma once

#include "link/LinkPlatform.h"
#include "link/UCZEM2.h"
#include "ui/CommandButton.h"
#include "ui/Dialogs.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/ListView.h"
#include "ui/Timer.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace zem {

// The modal window in which the technician chooses the instrument a workflow will talk to: the
// bridges on USB and the Ethernet modules that answer a broadcast, each briefly opened with the
// window's own link to show its name, measures and state. It answers the chosen item's key text.
class FSceltaStrumento final : public ui::Form {
public:
    // One line of the list as the technician reads it.
    struct Voce {
        std::string nome;
        std::string chiave;
        std::string info;
        bool operator==(const Voce&) const = default;
    };

    FSceltaStrumento(ui::Host& host, const LinkPlatform& platform);

    // Shows the window; the key text of the item chosen with OK, or nothing.
    std::optional<std::string> LoadForm(std::string caption, bool soloRete, bool soloUSB);

    ui::Label lblElenco;
    ui::ListView ListView1;
    ui::CommandButton cmdOK;
    ui::CommandButton cmdCancel;
    ui::Image imgHourglass;
    ui::Timer Timer1;

    // State of the network search: 0 idle, 1 collecting discovery replies, then per module 2 select,
    // 3 login, 4 get IP, 5 logout, 6 query the instrument behind it.
    int Passo() const { return passo_; }
    // The search has ended (or never ran, in USB-only mode).
    bool RicercaFinita() const { return passo_ == 0 && !Timer1.Enabled(); }
    std::vector<Voce> Elenco() const;

protected:
    void Form_Load() override;
    void Form_Unload() override;

private:
    void cmdOK_Click();
    void cmdCancel_Click();
    void ListView1_ItemClick();
    void ListView1_DblClick();
    void Timer1_Timer();
    void Winsock1_DataArrival();

    void CercaStrumenti();
    void InviaPasso();
    void Invia(const std::string& datagram);
    void Elabora(std::span<const std::uint8_t> reply);
    void AggiungiModulo(std::span<const std::uint8_t> reply);
    void LeggiIP(std::span<const std::uint8_t> reply);
    void Rifiuto(const std::string& line, std::span<const std::uint8_t> reply);
    void ChiudiSessioneModulo();
    void InterrogaStrumento();
    void FineRicerca();
    void MostraInfoStrumento(int item, const std::string& nome);
    // A message box during the search; replies that come meanwhile wait for it to close.
    ui::MsgAnswer Messaggio(const std::string& text, ui::MsgButtons buttons, ui::Question question = ui::Question::None);

    LinkPlatform platform_;
    std::unique_ptr<SocketControl> winsock1_;  // module commands: a window socket
    std::unique_ptr<SocketControl> winsock2_;  // handed to the link: a link socket
    UCZEM2 link_;

    std::string caption_;
    bool soloRete_ = false;
    bool soloUSB_ = false;
    std::string risultato_;
    int passo_ = 0;
    int indiceItem_ = -1;  // 0-based item whose module is being queried
    double tempoPasso_ = 0.0;
    bool inMessaggio_ = false;
    std::vector<std::string> moduli_;  // MAC texts of the modules listed
};

} // namespace zem
