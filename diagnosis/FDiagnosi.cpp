#include "diagnosis/FDiagnosi.h"

#include "access/PasswordGate.h"
#include "diagnosis/DescrizioneTrasduttore.h"
#include "session/VersioneFirmware.h"
#include "session/ChiaveStrumento.h"
#include "ui/Host.h"


namespace zem {

namespace {

constexpr int kAvvioMs = 30;
constexpr const char* kCaption = "Diagnosis and calibration";
constexpr const char* kRientro = "        ";  // the transducers stand under their measure

// Captions of the tab and of the frame of an analog input (1 = #1A, 2 = #1B, 3 = #2A, 4 = #2B),
// by the kind the instrument reports for it.
struct DidascalieIngresso {
    int scheda;
    int ingresso;
    const char* mA[2];
    const char* V[2];
    const char* proprio[2];
};

constexpr DidascalieIngresso kDidascalie[] = {
    {FDiagnosi::kCella1, 1, {"0-20mA #1A", "0-20mA analog input (force transducer) #1A"},
     {"0-10V #1A", "0-10V analog input (force transducer) #1A"}, {"2mV/V #1A", "2mV/V analog input (load cell) #1A"}},
    {FDiagnosi::kPot1, 2, {"0-20mA #1B", "0-20mA analog input (position transducer) #1B"},
     {"0-10V #1B", "0-10V analog input (potentiometer) #1B"}, {"Analog #1B", "Analog input (position transducer) #1B"}},
    {FDiagnosi::kCella2, 3, {"0-20mA #2A", "0-20mA analog input (force transducer) #2A"},
     {"0-10V #2A", "0-10V analog input (force transducer) #2A"}, {"2mV/V #2A", "2mV/V analog input (load cell) #2A"}},
    {FDiagnosi::kPot2, 4, {"0-20mA #2B", "0-20mA analog input (position transducer) #2B"},
     {"0-10V #2B", "0-10V analog input (potentiometer) #2B"}, {"Analog #2B", "Analog input (position transducer) #2B"}},
};

// Geometry, in twips.
constexpr int kLarghezza = 13800, kAltezza = 4440;  // wide enough for the nine tabs
constexpr int kMargine = 120, kSottoSchede = 540;
constexpr int kAltezzaFrame = 3000;
constexpr int kRigaPulsanti = kSottoSchede + kAltezzaFrame + 180;

} // namespace

FDiagnosi::FDiagnosi(ui::Host& host, const LinkPlatform& platform, PasswordGate& gate, std::function<void(bool)> indicatore)
    : Form(host, "FDiagnosi", kCaption),
      TabStrip1(*this, "TabStrip1"),
      frmMeasureInfo(*this, "frmMeasureInfo"),
      lblMisure(*this, "lblMisure", &frmMeasureInfo),
      frmMainInfo(*this, "frmMainInfo"),
      lblTitoloVersione(*this, "lblTitoloVersione", 4, &frmMainInfo),
      lblVersioneCPU(*this, "lblVersioneCPU", &frmMainInfo),
      lblVersioneEnco(*this, "lblVersioneEnco", &frmMainInfo),
      lblVersioneADC(*this, "lblVersioneADC", &frmMainInfo),
      lblProtocollo(*this, "lblProtocollo", &frmMainInfo),
      frmInOut(*this, "frmInOut"),
      frmCalibraLoad1(*this, "frmCalibraLoad1"),
      frmCalibraEncoder1(*this, "frmCalibraEncoder1"),
      frmCalibraPot1(*this, "frmCalibraPot1"),
      frmCalibraLoad2(*this, "frmCalibraLoad2"),
      frmCalibraEncoder2(*this, "frmCalibraEncoder2"),
      frmCalibraPot2(*this, "frmCalibraPot2"),
      frmSerialDebug(*this, "frmSerialDebug"),
      dlgInOutTest1(*this, "dlgInOutTest1", frmInOut),
      dlgCalAnalogZEM1C(*this, "dlgCalAnalogZEM1C", frmCalibraLoad1),
      dlgCalEncoderZEM1(*this, "dlgCalEncoderZEM1", frmCalibraEncoder1),
      dlgCalAnalogZEM1P(*this, "dlgCalAnalogZEM1P", frmCalibraPot1),
      dlgCalAnalogZEM2C(*this, "dlgCalAnalogZEM2C", frmCalibraLoad2),
      dlgCalEncoderZEM2(*this, "dlgCalEncoderZEM2", frmCalibraEncoder2),
      dlgCalAnalogZEM2P(*this, "dlgCalAnalogZEM2P", frmCalibraPot2),
      dlgSerialDebugZEM1(*this, "dlgSerialDebugZEM1", frmSerialDebug),
      Image1(*this, "Image1"),
      lblAbilitato(*this, "lblAbilitato"),
      cmdWrite(*this, "cmdWrite"),
      cmdOK(*this, "cmdOK"),
      Timer1(*this, "Timer1"),
      sessione_(host, platform),
      gate_(gate),
      indicatore_(std::move(indicatore)),
      frames_{&frmMeasureInfo, &frmInOut, &frmCalibraLoad1, &frmCalibraEncoder1, &frmCalibraPot1,
              &frmCalibraLoad2, &frmCalibraEncoder2, &frmCalibraPot2, &frmSerialDebug}
{
    SetSize(kLarghezza, kAltezza);
    TabStrip1.Move(kMargine, kMargine, kLarghezza - 2 * kMargine, 360);
    const struct {
        const char* caption;
        const char* toolTip;
        const char* frame;
    } schede[kSchede] = {
        {"Info", "ZEM AUTOMATION informations", "Measures info"},
        {"In/Out", "Control of inputs and outputs", "Status of ports"},
        {"2mV/V #1", "Load cell input channel 1", "2mV/V analog input (load cell) #1"},
        {"Encoder #1", "Encoder 1 channel 1", "Encoder counter input #1"},
        {"0-10V #1", "Potentiometer input channel 1", "0/10V analog input (potentiometer) #1"},
        {"2mV/V #2", "Load cell input channel 2", "2mV/V analog input (load cell) #2"},
        {"Encoder #2", "Encoder 1 channel 2", "Encoder counter input #2"},
        {"0-10V #2", "Potentiometer input channel 2", "0/10V analog input (potentiometer) #2"},
        {"Serial port", "Serial port communication", "Serial communication"},
    };
    for (int i = 0; i < kSchede; ++i) {
        TabStrip1.AddTab(schede[i].caption, schede[i].toolTip);
        frames_[static_cast<std::size_t>(i)]->SetCaption(schede[i].frame);
        frames_[static_cast<std::size_t>(i)]->Move(kMargine, kSottoSchede, kLarghezza - 2 * kMargine, kAltezzaFrame);
    }
    // The Info tab shares its room between the measures and the firmware.
    frmMeasureInfo.Move(kMargine, kSottoSchede, 6360, kAltezzaFrame);
    lblMisure.Move(180, 300, 6000, kAltezzaFrame - 420);
    frmMainInfo.SetCaption("Firmware info");
    frmMainInfo.Move(6600, kSottoSchede, kLarghezza - 6600 - kMargine, kAltezzaFrame);
    const char* titoli[] = {"CPU firmware version:", "Encoders firmware version:",
                            "Analog to digital converter firmware version:", "Communication protocol version:"};
    ui::Label* valori[] = {&lblVersioneCPU, &lblVersioneEnco, &lblVersioneADC, &lblProtocollo};
    for (int i = 0; i < 4; ++i) {
        lblTitoloVersione[i].SetCaption(titoli[i]);
        lblTitoloVersione[i].Move(180, 360 + 480 * i, 4800, 255);
        valori[i]->Move(5100, 360 + 480 * i, 1800, 255);
    }

    Image1.SetPicture(ui::Picture::Warning);
    Image1.Move(kMargine, kRigaPulsanti, 480, 480);
    lblAbilitato.SetCaption("This input is not enabled!");
    lblAbilitato.Move(720, kRigaPulsanti + 60, 3600, 255);
    cmdWrite.SetCaption("Write values");
    cmdWrite.Move(kLarghezza - kMargine - 3000, kRigaPulsanti, 1380, 375);
    cmdOK.SetCaption("Close");
    cmdOK.SetCancel(true);
    cmdOK.Move(kLarghezza - kMargine - 1380, kRigaPulsanti, 1380, 375);
    Timer1.SetEnabled(false);

    TabStrip1.Click.Connect([this] { TabStrip1_Click(); });
    cmdWrite.Click.Connect([this] { cmdWrite_Click(); });
    cmdOK.Click.Connect([this] { cmdOK_Click(); });
    Timer1.Elapsed.Connect([this] { Timer1_Timer(); });
    dlgInOutTest1.ReadStatus.Connect([this](bool& ok) { dlgInOutTest1_ReadStatus(ok); });
    dlgInOutTest1.GetInput.Connect([this](int n, bool& stato) { dlgInOutTest1_GetInput(n, stato); });
    dlgInOutTest1.GetOutput.Connect([this](int n, bool& stato) { dlgInOutTest1_GetOutput(n, stato); });
    dlgInOutTest1.ToggleOutput.Connect([this](int n) { dlgInOutTest1_ToggleOutput(n); });
    dlgCalAnalogZEM1C.GetValue.Connect([this](std::int16_t& v, bool& ok) { dlgCalAnalogZEM1C_GetValue(v, ok); });
    dlgCalAnalogZEM1P.GetValue.Connect([this](std::int16_t& v, bool& ok) { dlgCalAnalogZEM1P_GetValue(v, ok); });
    dlgCalAnalogZEM2C.GetValue.Connect([this](std::int16_t& v, bool& ok) { dlgCalAnalogZEM2C_GetValue(v, ok); });
    dlgCalAnalogZEM2P.GetValue.Connect([this](std::int16_t& v, bool& ok) { dlgCalAnalogZEM2P_GetValue(v, ok); });
    dlgCalEncoderZEM1.GetValue.Connect([this](std::int32_t& v, bool& ok) { dlgCalEncoderZEM1_GetValue(v, ok); });
    dlgCalEncoderZEM2.GetValue.Connect([this](std::int32_t& v, bool& ok) { dlgCalEncoderZEM2_GetValue(v, ok); });
    dlgSerialDebugZEM1.GetValue.Connect(
        [this](dlgSerialDebugZEM::StatoSeriale& b, bool& ok) { dlgSerialDebugZEM1_GetValue(b, ok); });
}

bool FDiagnosi::ShowForm(const std::string& chiave)
{
    const auto letta = ChiaveStrumento::Leggi(chiave);
    if (!letta || letta->canale == ChiaveStrumento::Canale::MAC) {
        GetHost().MsgBox("Communication error", ui::MsgButtons::OK, ui::MsgIcon::Critical);
        return false;
    }
    chiave_ = chiave;
    if (GetHost().Ask(ui::Question::ForcingOutputsCaution, "Caution: forcing outputs could be dangerous.", ui::MsgButtons::OKCancel,
                         ui::MsgIcon::Exclamation) == ui::MsgAnswer::OK)
        ShowModal();
    return true;
}

void FDiagnosi::Form_Load()
{
    CentreOnScreen();
    lblMisure.SetCaption("");
    for (ui::Label* l : {&lblVersioneCPU, &lblVersioneEnco, &lblVersioneADC, &lblProtocollo}) l->SetCaption("");
    avviata_ = false;
    cmdWrite.SetEnabled(false);
    TabStrip1.SetSelectedIndex(kInfo);
    TabStrip1_Click();
    Timer1.SetInterval(kAvvioMs);
    Timer1.SetEnabled(true);
}

void FDiagnosi::Timer1_Timer()
{
    Timer1.SetEnabled(false);
    if (!sessione_.Apri(chiave_)) {
        GetHost().MsgBox("Communication error.", ui::MsgButtons::OK, ui::MsgIcon::Critical);
        Unload();
        return;
    }
    switch (sessione_.Prepara()) {
    case DiagnosticSession::Preparazione::Rifiutato: Unload(); return;
    case DiagnosticSession::Preparazione::BloccoFallito: return;
    case DiagnosticSession::Preparazione::Pronto: break;
    }
    SetCaption(Caption() + " - " + Link().Nome());
    MostraVersioni();
    DidascalieIngressi();
    ElencoMisure();
    if (!sessione_.AttivaDiagnosi()) return;
    InizializzaPannelli();
    avviata_ = true;
    cmdWrite.SetEnabled(true);
}

void FDiagnosi::MostraVersioni()
{
    lblVersioneCPU.SetCaption(TestoVersione(Link().VersioneCPU()));
    lblVersioneEnco.SetCaption(TestoVersione(Link().VersioneEncoder()));
    lblVersioneADC.SetCaption(TestoVersione(Link().VersioneADC()));
    lblProtocollo.SetCaption(std::to_string(Link().Protocollo()) + "-" + std::to_string(Link().Estensioni()));
}

void FDiagnosi::DidascalieIngressi()
{
    for (const DidascalieIngresso& d : kDidascalie) {
        const char* const* coppia = Link().Ingresso20mA(d.ingresso) ? d.mA
                                    : Link().Ingresso010V(d.ingresso) ? d.V
                                                                      : d.proprio;
        TabStrip1.SetTabCaption(d.scheda, coppia[0]);
        frames_[static_cast<std::size_t>(d.scheda)]->SetCaption(coppia[1]);
    }
    TabStrip1.SetTabCaption(kEncoder1, "Encoder #1E");
    TabStrip1.SetTabCaption(kEncoder2, "Encoder #2E");
}

void FDiagnosi::ElencoMisure()
{
    utilizzo_.fill(0);
    std::string elenco;
    auto riga = [&elenco](const std::string& testo) { elenco += testo + "\r\n"; };
    for (int i = 1; i <= Link().NumeroMisure(); ++i) {
        riga(Link().NomeMisura(i));
        const int x = Link().Misura(i).NumeroTrasduttoreX, y = Link().Misura(i).NumeroTrasduttoreY;
        const int tipo = Link().TipoMisura(i);
        if (tipo != 1 && tipo != 4) {
            riga(kRientro + DescrizioneTrasduttore(Link(), y));
            continue;
        }
        riga(kRientro + DescrizioneTrasduttore(Link(), x));
        riga(kRientro + DescrizioneTrasduttore(Link(), y));
        // A code beyond the table means a configuration this window cannot read further.
        if (x < 0 || x >= 8 || y < 0 || y >= 8) break;
        utilizzo_[static_cast<std::size_t>(x)] = 1;
        utilizzo_[static_cast<std::size_t>(y)] = 2;
    }
    lblMisure.SetCaption(elenco);
}

void FDiagnosi::InizializzaPannelli()
{
    UCZEM2& link = sessione_.Link();
    dlgInOutTest1.SetValue(link);
    dlgCalAnalogZEM1C.SetValue(link, 1, false, dlgCalAnalogZEM::kForza);
    dlgCalEncoderZEM1.SetValue(link, 1);
    dlgCalAnalogZEM1P.SetValue(link, 1, true, utilizzo_[2]);
    dlgCalAnalogZEM2C.SetValue(link, 2, false, dlgCalAnalogZEM::kForza);
    dlgCalEncoderZEM2.SetValue(link, 2);
    dlgCalAnalogZEM2P.SetValue(link, 2, true, utilizzo_[5]);
    dlgSerialDebugZEM1.SetValue(link);
}

void FDiagnosi::TabStrip1_Click()
{
    const int scelta = TabStrip1.SelectedIndex();
    for (int i = 0; i < kSchede; ++i) frames_[static_cast<std::size_t>(i)]->SetVisible(i == scelta);
    frmMainInfo.SetVisible(scelta == kInfo);
    bool disabilitato = false;
    switch (scelta) {
    case kCella1: disabilitato = !Link().usaCella(1); break;
    case kCella2: disabilitato = !Link().usaCella(2); break;
    case kPot1: disabilitato = !Link().usaADC010(1); break;
    case kPot2: disabilitato = !Link().usaADC010(2); break;
    default: break;
    }
    Image1.SetVisible(disabilitato);
    lblAbilitato.SetVisible(disabilitato);
}

template <class T>
void FDiagnosi::Trasduttore(int pannello, T Trasduttori::*campo, T& valore, bool& ok)
{
    const auto i = static_cast<std::size_t>(pannello);
    if (!lettura_ || serviti_[i]) {
        lettura_ = sessione_.Link().LeggiTrasduttori();
        serviti_.reset();
    }
    serviti_.set(i);
    ok = lettura_.has_value();
    if (ok) valore = (*lettura_).*campo;
}

void FDiagnosi::dlgCalAnalogZEM1C_GetValue(std::int16_t& valore, bool& ok) { Trasduttore(0, &Trasduttori::A1, valore, ok); }
void FDiagnosi::dlgCalAnalogZEM1P_GetValue(std::int16_t& valore, bool& ok) { Trasduttore(1, &Trasduttori::A3, valore, ok); }
void FDiagnosi::dlgCalAnalogZEM2C_GetValue(std::int16_t& valore, bool& ok) { Trasduttore(2, &Trasduttori::A2, valore, ok); }
void FDiagnosi::dlgCalAnalogZEM2P_GetValue(std::int16_t& valore, bool& ok) { Trasduttore(3, &Trasduttori::A4, valore, ok); }
void FDiagnosi::dlgCalEncoderZEM1_GetValue(std::int32_t& valore, bool& ok) { Trasduttore(4, &Trasduttori::L1, valore, ok); }
void FDiagnosi::dlgCalEncoderZEM2_GetValue(std::int32_t& valore, bool& ok) { Trasduttore(5, &Trasduttori::L2, valore, ok); }

void FDiagnosi::dlgSerialDebugZEM1_GetValue(dlgSerialDebugZEM::StatoSeriale& buffer, bool& ok)
{
    ok = false;
    if (!frmSerialDebug.Visible()) return;
    const auto stato = sessione_.Link().LeggiStatoSeriale();
    ok = stato.has_value();
    if (ok) buffer = *stato;
}

void FDiagnosi::dlgInOutTest1_ReadStatus(bool& ok)
{
    const auto letti = sessione_.Link().LeggiIngressiUscite();
    ok = letti.has_value();
    if (ok) ingressiUscite_ = *letti;
}

void FDiagnosi::dlgInOutTest1_GetInput(int n, bool& stato)
{
    stato = n >= 0 && n < 8 && (ingressiUscite_.ingressi >> n & 1) != 0;
}

void FDiagnosi::dlgInOutTest1_GetOutput(int n, bool& stato)
{
    stato = n >= 0 && n < 8 && (ingressiUscite_.uscite >> n & 1) != 0;
}

void FDiagnosi::dlgInOutTest1_ToggleOutput(int n)
{
    // Nothing is forced on an instrument that is not blocked and in diagnostic mode.
    if (!avviata_ || n < 0 || n >= 8 || !gate_.PasswordOK()) return;
    const bool acceso = (ingressiUscite_.uscite >> n & 1) == 0;
    if (!sessione_.Link().ForzaUscita(n, acceso))
        GetHost().MsgBox("Communication error.", ui::MsgButtons::OK, ui::MsgIcon::Critical);
}

std::optional<std::string> FDiagnosi::CopiaTaratura()
{
    const struct {
        int canale;
        const dlgCalAnalogZEM& cella;
        const dlgCalEncoderZEM& encoder;
        const dlgCalAnalogZEM& pot;
        int schede[3];
    } canali[] = {{1, dlgCalAnalogZEM1C, dlgCalEncoderZEM1, dlgCalAnalogZEM1P, {kCella1, kEncoder1, kPot1}},
                  {2, dlgCalAnalogZEM2C, dlgCalEncoderZEM2, dlgCalAnalogZEM2P, {kCella2, kEncoder2, kPot2}}};
    // Every value is checked before the first is copied, so a refusal leaves the table as it was.
    for (const auto& c : canali) {
        const std::pair<float, std::int32_t> valori[] = {{c.cella.Gain(), c.cella.Offset()},
                                                         {c.encoder.Gain(), c.encoder.Offset()},
                                                         {c.pot.Gain(), c.pot.Offset()}};
        for (int k = 0; k < 3; ++k) {
            const std::string scheda = TabStrip1.TabCaption(c.schede[k]);
            if (!UCZEM2::GainMemorizzabile(valori[k].first))
                return scheda + ": the gain must lie between 0 and 6.5535.";
            if (valori[k].second < -32768 || valori[k].second > 32767)
                return scheda + ": the offset must lie between -32768 and 32767.";
        }
    }
    UCZEM2& link = sessione_.Link();
    for (const auto& c : canali) {
        link.SetGainCella(c.canale, c.cella.Gain());
        link.SetOffsetCella(c.canale, c.cella.Offset());
        link.SetUM_Cella(c.canale, c.cella.UM());
        link.SetDecimaliCella(c.canale, c.cella.Decimali());
        link.SetGainEncoder(c.canale, c.encoder.Gain());
        link.SetOffsetEncoder(c.canale, c.encoder.Offset());
        link.SetGainADC010(c.canale, c.pot.Gain());
        link.SetOffsetADC010(c.canale, c.pot.Offset());
        link.SetUM_ADC010(c.canale, c.pot.UM());
        link.SetDecimaliADC010(c.canale, c.pot.Decimali());
        link.SetReverseADC010(c.canale, c.pot.Reverse());
    }
    return std::nullopt;
}

void FDiagnosi::cmdWrite_Click()
{
    if (!avviata_ || !gate_.PasswordOK()) return;
    if (GetHost().Ask(ui::Question::SendDiagnosisChanges, "Send change to instrument?", ui::MsgButtons::YesNo, ui::MsgIcon::Question) != ui::MsgAnswer::Yes)
        return;
    if (const auto motivo = CopiaTaratura()) {
        GetHost().MsgBox("Writing calibration value failed.\r\n" + *motivo, ui::MsgButtons::OK, ui::MsgIcon::Critical);
        return;
    }
    if (indicatore_) indicatore_(true);
    const bool scritta = sessione_.Link().ScriviValoriTaratura();
    if (indicatore_) indicatore_(false);
    if (scritta) Unload();
    else GetHost().MsgBox("Writing calibration value failed.", ui::MsgButtons::OK, ui::MsgIcon::Critical);
}

void FDiagnosi::cmdOK_Click() { RequestClose(); }

bool FDiagnosi::Form_QueryUnload(ui::UnloadMode mode)
{
    // Closing by code (a failed start-up, the calibration written) asks nothing.
    if (mode != ui::UnloadMode::ControlMenu) return true;
    const bool modificato = dlgCalAnalogZEM1C.Modificato() || dlgCalEncoderZEM1.Modificato()
        || dlgCalAnalogZEM1P.Modificato() || dlgCalAnalogZEM2C.Modificato() || dlgCalEncoderZEM2.Modificato()
        || dlgCalAnalogZEM2P.Modificato();
    return !modificato
        || GetHost().Ask(ui::Question::ExitWithoutSending, "Exit without send changes?", ui::MsgButtons::OKCancel, ui::MsgIcon::Question,
                            ui::MsgAnswer::Cancel) == ui::MsgAnswer::OK;
}

void FDiagnosi::Form_Unload()
{
    Timer1.SetEnabled(false);
    avviata_ = false;
    sessione_.Chiudi();
}

} // namespace zem
