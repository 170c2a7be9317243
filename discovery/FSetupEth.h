#pragma once

#include "discovery/ProtocolloModulo.h"
#include "link/LinkPlatform.h"
#include "ui/CommandButton.h"
#include "ui/Dialogs.h"
#include "ui/Form.h"
#include "ui/Label.h"
#include "ui/TextBox.h"
#include "ui/Timer.h"

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace zem {

// Gives an Ethernet module a new IP address through the module command protocol. Opening the
// window selects the module, logs in, reads its address into txtIP, logs out and deselects it;
// OK assigns the address typed, selects the module again, logs in, writes the device settings,
// logs out, deselects it and closes. One command is outstanding at a time; each waits about a
// second for its reply (Timer1 checks every 400 ms). Every datagram goes to the broadcast target.
class FSetupEth final : public ui::Form {
public:
    FSetupEth(ui::Host& host, LinkPlatform platform);

    // Shows the window for the module with this MAC text; returns once it has closed.
    void LoadForm(const std::string& mac);
    // Replies dropped because another address than the module's sent them.
    std::uint64_t RisposteEstranee() const { return interlocutore_.Estranee(); }

    ui::Label lblIP;
    ui::TextBox txtIP;
    ui::Label lblLocalIP;
    ui::Label txtLocalIP;
    ui::CommandButton cmdOK;
    ui::CommandButton cmdAnnulla;
    ui::Timer Timer1;

protected:
    void Form_Load() override;
    void Form_Unload() override;

private:
    void cmdOK_Click();
    void cmdAnnulla_Click();
    void Timer1_Timer();
    void Winsock1_DataArrival(std::size_t bytesTotal);
    void InviaPasso();
    void Invia(std::string_view testo);
    void Avanza(int passo);
    void Risposta(std::span<const std::uint8_t> risposta);
    void Messaggio(const std::string& testo, ui::MsgIcon icona);

    LinkPlatform platform_;
    std::unique_ptr<SocketControl> Winsock1;
    std::string mac_;
    int passo_ = 0;
    modulo::Interlocutore interlocutore_;
    double tempoPasso_ = 0.0;
    // While a message box of this window is up, its timer and replies wait: a time-out must not
    // stack a second message on the first, nor close the window under it.
    bool inMessaggio_ = false;
};

} // namespace zem
