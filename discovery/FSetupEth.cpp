#include "discovery/FSetupEth.h"

#include "discovery/ProtocolloModulo.h"
#include "link/Clock.h"
#include "ui/Host.h"

namespace zem {

namespace {

constexpr double kTimeOut = 1.0;
constexpr int kPassoIPLetto = 5;
constexpr int kPassoAssegna = 10;
constexpr int kPrimaImpostazione = 13;
constexpr int kPassoFine = 21;

} // namespace

FSetupEth::FSetupEth(ui::Host& host, LinkPlatform platform)
    : Form(host, "FSetupEth", "Ethernet setup"),
      lblIP(*this, "lblIP"),
      txtIP(*this, "txtIP"),
      lblLocalIP(*this, "lblLocalIP"),
      txtLocalIP(*this, "txtLocalIP"),
      cmdOK(*this, "cmdOK"),
      cmdAnnulla(*this, "cmdAnnulla"),
      Timer1(*this, "Timer1"),
      platform_(std::move(platform))
{
    SetSize(4800, 1860);
    lblIP.SetCaption("&IP address:");
    lblIP.Move(120, 195, 1800, 255);
    txtIP.Move(1980, 150, 2640, 315);
    lblLocalIP.SetCaption("Local IP address:");
    lblLocalIP.Move(120, 645, 1800, 255);
    txtLocalIP.Move(1980, 645, 2640, 255);
    cmdOK.SetCaption("OK");
    cmdOK.SetDefault(true);
    cmdOK.Move(1980, 1200, 1260, 375);
    cmdAnnulla.SetCaption("Cancel");
    cmdAnnulla.SetCancel(true);
    cmdAnnulla.Move(3360, 1200, 1260, 375);

    cmdOK.Click.Connect([this] { cmdOK_Click(); });
    cmdAnnulla.Click.Connect([this] { cmdAnnulla_Click(); });
    Timer1.Elapsed.Connect([this] { Timer1_Timer(); });
}

void FSetupEth::LoadForm(const std::string& mac)
{
    mac_ = mac;
    ShowModal();
}

void FSetupEth::Form_Load()
{
    CentreOnScreen();
    txtIP.SetText("");
    txtIP.SetEnabled(false);
    cmdOK.SetEnabled(false);
    Timer1.SetEnabled(false);
    Timer1.SetInterval(400);
    inMessaggio_ = false;
    Winsock1 = platform_.createWindowSocket();
    Winsock1->DataArrival = [this](std::size_t bytesTotal) { Winsock1_DataArrival(bytesTotal); };
    Winsock1->SetProtocol(SocketControl::kProtocolUdp);
    Winsock1->SetRemotePort(platform_.broadcast.port);
    Winsock1->SetRemoteHost(platform_.broadcast.host);
    txtLocalIP.SetCaption(Winsock1->LocalIP());
    passo_ = 1;
    interlocutore_.Dimentica();
    InviaPasso();
}

void FSetupEth::Form_Unload()
{
    // Nothing more goes out once the window is closing, whatever step it was in.
    Timer1.SetEnabled(false);
    passo_ = 0;
    if (Winsock1) Winsock1->Close();
}

void FSetupEth::cmdOK_Click()
{
    if (!modulo::IndirizzoAssegnabile(txtIP.Text())) {
        Messaggio("The IP address is not valid.", ui::MsgIcon::Exclamation);
        return;
    }
    cmdOK.SetEnabled(false);
    Avanza(kPassoAssegna);
}

void FSetupEth::cmdAnnulla_Click() { Unload(); }

void FSetupEth::Invia(std::string_view testo)
{
    Winsock1->SetRemoteHost(platform_.broadcast.host);
    Winsock1->SetRemotePort(platform_.broadcast.port);
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(testo.data()), testo.size());
    Winsock1->SendData(bytes);  // a lost command ends in its step's time-out
}

void FSetupEth::InviaPasso()
{
    if (!Loaded()) return;
    if (passo_ >= kPrimaImpostazione && passo_ < kPrimaImpostazione + static_cast<int>(modulo::kImpostazioni.size())) {
        Invia(modulo::kImpostazioni[static_cast<std::size_t>(passo_ - kPrimaImpostazione)]);
    } else {
        switch (passo_) {
        case 1:
        case 11: Invia(modulo::Seleziona(mac_)); break;
        case 2:
        case 12: Invia(modulo::kLogin); break;
        case 3: Invia(modulo::kLeggiIP); break;
        case 4:
        case 20: Invia(modulo::kLogout); break;
        case kPassoIPLetto:
        case kPassoFine: Invia(modulo::kFineSelezione); break;
        case kPassoAssegna: Invia(modulo::AssegnaIP(mac_, txtIP.Text())); break;
        default: return;
        }
    }
    tempoPasso_ = platform_.clock.Timer();
    if (passo_ == 1 || passo_ == kPassoAssegna) Timer1.SetEnabled(true);
    if (passo_ == kPassoIPLetto) {
        cmdOK.SetEnabled(true);
        Timer1.SetEnabled(false);
    }
    if (passo_ == kPassoFine) {
        Timer1.SetEnabled(false);
        Messaggio("Ethernet setup successfully.", ui::MsgIcon::Information);
        Unload();
    }
}

void FSetupEth::Avanza(int passo)
{
    passo_ = passo;
    InviaPasso();
}

void FSetupEth::Winsock1_DataArrival(std::size_t /*bytesTotal*/)
{
    const std::vector<std::uint8_t> risposta = Winsock1->GetData();
    if (!Loaded() || inMessaggio_) return;
    // A module still answering the search is not the module answering this command.
    if (modulo::RispostaDiScoperta(risposta)) return;
    // The module may answer its new address from that address already.
    const std::string mittente = Winsock1->RemoteHostIP();
    const bool nuovoIndirizzo = passo_ == kPassoAssegna && mittente == txtIP.Text();
    if (!nuovoIndirizzo && !interlocutore_.Ascolta(mittente, risposta)) return;
    Risposta(risposta);
}

void FSetupEth::Risposta(std::span<const std::uint8_t> risposta)
{
    const bool accettata = modulo::Accettata(risposta);
    if (!accettata && !modulo::Rifiutata(risposta)) return;  // no status byte: not a reply
    const auto rifiuto = [&](const char* riga) {
        Messaggio(modulo::TestoRifiuto(riga, risposta), ui::MsgIcon::Exclamation);
    };
    switch (passo_) {
    case 1:
        if (accettata) Avanza(2);
        break;
    case 2:
        if (accettata) Avanza(3); else rifiuto("Login rejected.");
        break;
    case 3:
        if (accettata) {
            txtIP.SetText(modulo::IndirizzoIP(risposta));
            txtIP.SetEnabled(true);
            Avanza(4);
        } else {
            rifiuto("Get IP-address rejected.");
        }
        break;
    case 4:
        if (accettata) Avanza(kPassoIPLetto); else rifiuto("Get status rejected.");
        break;
    case kPassoAssegna:
        if (accettata) {
            interlocutore_.Sposta(txtIP.Text());
            Avanza(11);
        } else {
            rifiuto("Assign IP-address rejected.");
        }
        break;
    case 12:
        if (accettata) {
            Avanza(13);
        } else {
            rifiuto("Login rejected.");
            cmdOK.SetEnabled(true);
            Timer1.SetEnabled(false);
        }
        break;
    case 11:
    case 13: case 14: case 15: case 16: case 17: case 18: case 19:
    case 20:
        if (accettata) {
            Avanza(passo_ + 1);
        } else {
            rifiuto(passo_ == 20 ? "Logout rejected." : "Device setup rejected.");
            Unload();
        }
        break;
    default: break;  // waiting for the technician, or closing
    }
}

void FSetupEth::Timer1_Timer()
{
    if (inMessaggio_ || !TempoScaduto(tempoPasso_, platform_.clock.Timer(), kTimeOut, kTimeOut)) return;
    std::string testo;
    if (passo_ == 3) {
        testo = "Get IP-address timeout.";
    } else if (passo_ == kPassoAssegna) {
        testo = "Assign IP-address timeout.";
    } else if (passo_ == 11) {
        testo = Winsock1->RemoteHostIP() + "\r\nIP-address is unreachable with your network.";
    } else if (passo_ < kPassoFine) {
        testo = "Timeout step " + std::to_string(passo_);
    }
    Timer1.SetEnabled(false);
    if (!testo.empty()) Messaggio(testo, ui::MsgIcon::Exclamation);
    Unload();
}

void FSetupEth::Messaggio(const std::string& testo, ui::MsgIcon icona)
{
    inMessaggio_ = true;
    GetHost().MsgBox(testo, ui::MsgButtons::OK, icona);
    inMessaggio_ = false;
}

} // namespace zem
