#include "discovery/FSceltaStrumento.h"

#include "session/ChiaveStrumento.h"
#include "discovery/ProtocolloModulo.h"
#include "link/Clock.h"
#include "link/usb/GestioneUSB.h"
#include "ui/Host.h"

#include <algorithm>

namespace zem {

namespace {

constexpr int kTick = 400;               // ms
constexpr double kTimeOutStep = 1.0;     // s, also the bound after midnight
constexpr const char* kFiltroUSB = "MR4";

} // namespace

FSceltaStrumento::FSceltaStrumento(ui::Host& host, const LinkPlatform& platform)
    : Form(host, "FSceltaStrumento", ""),
      lblElenco(*this, "lblElenco"),
      ListView1(*this, "ListView1"),
      cmdOK(*this, "cmdOK"),
      cmdCancel(*this, "cmdCancel"),
      imgHourglass(*this, "imgHourglass"),
      Timer1(*this, "Timer1"),
      platform_(platform),
      winsock1_(platform.createWindowSocket()),
      winsock2_(platform.createLinkSocket()),
      link_(platform.clock, platform.usb, platform.linkPump, *winsock2_)
{
    // Listing an instrument only asks who it is: a blank one is not switched into update mode.
    link_.SetSolaLettura(true);
    SetSize(7920, 4200);
    lblElenco.Move(120, 120, 4000, 255);
    ListView1.Move(120, 420, 7680, 3060);
    imgHourglass.SetPicture(ui::Picture::Hourglass);
    imgHourglass.Move(120, 3600, 480, 480);
    cmdOK.SetDefault(true);
    cmdOK.Move(5160, 3660, 1260, 375);
    cmdCancel.SetCancel(true);
    cmdCancel.Move(6540, 3660, 1260, 375);
    Timer1.SetEnabled(false);

    cmdOK.Click.Connect([this] { cmdOK_Click(); });
    cmdCancel.Click.Connect([this] { cmdCancel_Click(); });
    ListView1.ItemClick.Connect([this](int) { ListView1_ItemClick(); });
    ListView1.DblClick.Connect([this] { ListView1_DblClick(); });
    Timer1.Elapsed.Connect([this] { Timer1_Timer(); });
    winsock1_->DataArrival = [this](std::size_t) { Winsock1_DataArrival(); };
}

std::optional<std::string> FSceltaStrumento::LoadForm(std::string caption, bool soloRete, bool soloUSB)
{
    caption_ = std::move(caption);
    soloRete_ = soloRete;
    soloUSB_ = soloUSB;
    risultato_.clear();
    if (!ShowModal()) return std::nullopt;
    return risultato_;
}

std::vector<FSceltaStrumento::Voce> FSceltaStrumento::Elenco() const
{
    std::vector<Voce> voci;
    for (int i = 0; i < ListView1.ItemCount(); ++i)
        voci.push_back({ListView1.Cell(i, "NAME"), ListView1.Cell(i, "SN"), ListView1.Cell(i, "INFO")});
    return voci;
}

void FSceltaStrumento::Form_Load()
{
    CentreOnScreen();
    SetCaption(caption_);
    lblElenco.SetCaption("&List of machine:");
    cmdCancel.SetCaption("Cancel");
    cmdOK.SetCaption("OK");
    ListView1.ClearColumns();
    ListView1.AddColumn("Name", "NAME", 3800);
    ListView1.AddColumn("SN", "SN", 1900);
    ListView1.AddColumn("Info", "INFO", 1900);
    ListView1.SetFullRowSelect(true);
    CercaStrumenti();
}

void FSceltaStrumento::Form_Unload()
{
    // Nothing more goes out once the window is closing, whatever step the search was in.
    passo_ = 0;
    Timer1.SetEnabled(false);
}

void FSceltaStrumento::cmdOK_Click()
{
    const int item = ListView1.SelectedIndex();
    if (item < 0) return;
    risultato_ = ListView1.Cell(item, "SN");
    SetResult(true);
    Unload();
}

void FSceltaStrumento::cmdCancel_Click() { Unload(); }

void FSceltaStrumento::ListView1_ItemClick()
{
    cmdOK.SetEnabled(ListView1.SelectedIndex() >= 0 && !Timer1.Enabled());
}

void FSceltaStrumento::ListView1_DblClick()
{
    if (cmdOK.Enabled()) cmdOK_Click();
}

void FSceltaStrumento::CercaStrumenti()
{
    cmdOK.SetEnabled(false);
    imgHourglass.SetVisible(true);
    ListView1.ClearItems();
    moduli_.clear();
    indiceItem_ = -1;

    int dispositivi = 0;
    if (soloUSB_) {
        Timer1.SetEnabled(false);
        dispositivi = platform_.usb.ElencaDispositiviUSB("");
    } else {
        if (!soloRete_) dispositivi = platform_.usb.ElencaDispositiviUSB(kFiltroUSB);
        // Discovery replies wait in the socket while the bridges are probed.
        winsock1_->SetProtocol(SocketControl::kProtocolUdp);
        Invia(std::string(modulo::kScopri));
        passo_ = 1;
    }

    for (int i = 1; i <= dispositivi; ++i) {
        const std::string seriale = platform_.usb.SerialeDispositivo(i);
        const int item = ListView1.AddItem("");
        ListView1.SetCell(item, "SN", ChiaveStrumento::USB(seriale));
        if (const std::string problema = platform_.usb.ProblemaDispositivo(i); !problema.empty()) {
            ListView1.SetCell(item, "INFO", problema);
            continue;
        }
        link_.ApriComunicazioneUSB(seriale);
        MostraInfoStrumento(item, platform_.usb.DescrizioneDispositivo(i));
        link_.ChiudiComunicazione();
    }

    if (soloUSB_) {
        imgHourglass.SetVisible(false);
        cmdOK.SetEnabled(true);
        return;
    }
    // The second of discovery replies starts now, so slow bridges cannot eat it.
    tempoPasso_ = platform_.clock.Timer();
    Timer1.SetInterval(kTick);
    Timer1.SetEnabled(true);
}

void FSceltaStrumento::Invia(const std::string& datagram)
{
    // A socket error only means that no module will answer; the time-outs deal with that.
    winsock1_->SetRemoteHost(platform_.broadcast.host);
    winsock1_->SetRemotePort(platform_.broadcast.port);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(datagram.data());
    winsock1_->SendData(std::span<const std::uint8_t>(bytes, datagram.size()));
    tempoPasso_ = platform_.clock.Timer();
}

void FSceltaStrumento::InviaPasso()
{
    switch (passo_) {
    case 2: {
        // The next module with a key that can select it.
        const int items = ListView1.ItemCount();
        int next = indiceItem_ + 1;
        std::optional<ChiaveStrumento> chiave;
        for (; next < items; ++next) {
            chiave = ChiaveStrumento::Leggi(ListView1.Cell(next, "SN"));
            if (chiave && chiave->canale == ChiaveStrumento::Canale::MAC) break;
        }
        if (next >= items) {
            FineRicerca();
            return;
        }
        indiceItem_ = next;
        Invia(modulo::Seleziona(chiave->mac));
        return;
    }
    case 3: Invia(std::string(modulo::kLogin)); return;
    case 4: Invia(std::string(modulo::kLeggiIP)); return;
    case 5: Invia(std::string(modulo::kLogout)); return;
    case 6: InterrogaStrumento(); return;
    default: return;
    }
}

void FSceltaStrumento::Winsock1_DataArrival()
{
    // A reply that comes while a message box is up answers a request the box has made stale.
    const std::vector<std::uint8_t> reply = winsock1_->GetData();
    if (passo_ == 0 || inMessaggio_) return;
    Elabora(reply);
}

void FSceltaStrumento::Elabora(std::span<const std::uint8_t> reply)
{
    // A late discovery reply is no answer of the module being queried.
    if (passo_ >= 2 && modulo::RispostaDiScoperta(reply)) return;
    const bool accettata = modulo::Accettata(reply);
    const bool rifiutata = modulo::Rifiutata(reply);
    switch (passo_) {
    case 1:
        if (accettata) AggiungiModulo(reply);
        tempoPasso_ = platform_.clock.Timer();
        return;
    case 2:
        if (accettata) {
            passo_ = 3;
            InviaPasso();
        }
        return;
    case 3:
        if (accettata) {
            passo_ = 4;
            InviaPasso();
        } else if (rifiutata) {
            Rifiuto("Login rejected.", reply);
            if (passo_ == 3) ChiudiSessioneModulo();
        }
        return;
    case 4:
        if (accettata) {
            LeggiIP(reply);
            passo_ = 5;
            InviaPasso();
        } else if (rifiutata) {
            Rifiuto("Get IP-address rejected.", reply);
        }
        return;
    case 5:
        if (accettata) {
            ChiudiSessioneModulo();
        } else if (rifiutata) {
            Rifiuto("Logout rejected.", reply);
        }
        return;
    default: return;
    }
}

void FSceltaStrumento::ChiudiSessioneModulo()
{
    passo_ = soloRete_ ? 2 : 6;
    InviaPasso();
}

void FSceltaStrumento::InterrogaStrumento()
{
    const int item = indiceItem_;
    const auto chiave = ChiaveStrumento::Leggi(ListView1.Cell(item, "SN"));
    if (chiave && chiave->canale == ChiaveStrumento::Canale::IP) {
        link_.SetupPortaEth(1, *winsock2_);
        link_.ApriComunicazioneETH(chiave->host, chiave->porta);
        MostraInfoStrumento(item, "");
        link_.ChiudiComunicazione();
    }
    passo_ = 2;
    InviaPasso();
}

void FSceltaStrumento::FineRicerca()
{
    passo_ = 0;
    Timer1.SetEnabled(false);
    cmdOK.SetEnabled(ListView1.SelectedIndex() >= 0);
    imgHourglass.SetVisible(false);
}

void FSceltaStrumento::Timer1_Timer()
{
    if (passo_ == 0 || inMessaggio_) return;
    if (!TempoScaduto(tempoPasso_, platform_.clock.Timer(), kTimeOutStep, kTimeOutStep)) return;
    switch (passo_) {
    case 1:
        // The collection is over: the modules are queried one by one.
        indiceItem_ = -1;
        passo_ = 2;
        InviaPasso();
        return;
    case 4:
    case 5:
        // A module that does not give its address or does not let go is skipped.
        passo_ = 2;
        InviaPasso();
        return;
    default: {
        const auto answer = Messaggio("Get IP-address timeout.", ui::MsgButtons::RetryCancel, ui::Question::RetryIpAddress);
        if (passo_ == 0) return;
        if (answer != ui::MsgAnswer::Retry) passo_ = 2;  // Cancel skips the module
        InviaPasso();
        return;
    }
    }
}

void FSceltaStrumento::Rifiuto(const std::string& line, std::span<const std::uint8_t> reply)
{
    Messaggio(modulo::TestoRifiuto(line, reply), ui::MsgButtons::OK);
}

void FSceltaStrumento::AggiungiModulo(std::span<const std::uint8_t> reply)
{
    const auto campi = modulo::LeggiScoperta(reply);
    // A module must be addressable by its MAC text, and is listed once however often it answers.
    if (campi.mac.empty() || std::find(moduli_.begin(), moduli_.end(), campi.mac) != moduli_.end()) return;
    moduli_.push_back(campi.mac);
    const int item = ListView1.AddItem("[" + campi.nome + "]");
    ListView1.SetCell(item, "SN", ChiaveStrumento::MAC(campi.mac));
    ListView1.SetCell(item, "INFO", campi.porta);
}

void FSceltaStrumento::LeggiIP(std::span<const std::uint8_t> reply)
{
    const std::string ip = modulo::IndirizzoIP(reply);
    const std::string porta = ListView1.Cell(indiceItem_, "INFO");
    if (soloRete_) {
        ListView1.SetCell(indiceItem_, "INFO", ChiaveStrumento::IP(ip, porta));
    } else {
        ListView1.SetCell(indiceItem_, "SN", ChiaveStrumento::IP(ip, porta));
        ListView1.SetCell(indiceItem_, "INFO", "");
    }
}

void FSceltaStrumento::MostraInfoStrumento(int item, const std::string& nome)
{
    const auto nomeTraParentesi = [&] {
        if (!nome.empty()) ListView1.SetCell(item, "NAME", "[" + nome + "]");
    };
    if (!link_.Collegato()) {
        nomeTraParentesi();
        ListView1.SetCell(item, "INFO", link_.Protocollo() == 0 ? "Communication error" : "");
        return;
    }
    if (link_.UpdateMode() || link_.MemoryError()) {
        nomeTraParentesi();
        ListView1.SetCell(item, "INFO", link_.UpdateMode() ? "Update mode" : "Memory error");
        return;
    }
    std::string misure;
    for (int i = 1; i <= link_.NumeroMisure(); ++i) {
        std::string nomeMisura = link_.NomeMisura(i);
        if (nomeMisura.empty()) nomeMisura = "Measure " + std::to_string(i);
        misure += (misure.empty() ? "" : " & ") + nomeMisura;
    }
    ListView1.SetCell(item, "NAME", link_.Nome() + (misure.empty() ? "" : " (" + misure + ")"));
    ListView1.SetCell(item, "INFO", "Protocol: " + std::to_string(link_.Protocollo()) + "-"
                                        + std::to_string(link_.Estensioni()));
}

ui::MsgAnswer FSceltaStrumento::Messaggio(const std::string& text, ui::MsgButtons buttons, ui::Question question)
{
    inMessaggio_ = true;
    const auto answer = GetHost().Ask(question, text, buttons, ui::MsgIcon::Exclamation);
    inMessaggio_ = false;
    return answer;
}

} // namespace zem
