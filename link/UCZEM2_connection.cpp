// Opening a connection: identity, version, the configuration header and the measure records that
// make the configuration image the rest of the tool queries; and the status polling.
#include "link/UCZEM2.h"

#include "link/ByteOrder.h"
#include "link/LayoutRicordati.h"
#include "link/net/SocketControl.h"
#include "link/usb/GestioneUSB.h"

#include <algorithm>
#include <cmath>

namespace zem {

namespace {

constexpr std::uint8_t kCmdVersione = 12;
constexpr std::uint8_t kCmdStatoPezzo = 4;
constexpr std::uint8_t kCmdInterrogazione = 28;
constexpr std::uint8_t kCmdOperazioneCorrente = 35;
constexpr std::size_t kLunghezzaNome = 15;
constexpr std::size_t kRecordFormato5 = 27;
constexpr std::size_t kRecordFormato4 = 46;
constexpr int kProtocolloZem = 11;
constexpr int kProtocolloZemEth = 14;

double DueDecimali(double v)
{
    return std::round(v * 100.0) / 100.0;
}

// Reads header bytes with a bound check: an offset past what the instrument sent marks the read short.
class Intestazione {
public:
    explicit Intestazione(const std::vector<std::uint8_t>& h) : h_(h) {}
    std::uint8_t operator[](std::size_t i)
    {
        if (i >= h_.size()) {
            corta_ = true;
            return 0;
        }
        return h_[i];
    }
    std::uint16_t Parola(std::size_t i) { return static_cast<std::uint16_t>((*this)[i] | ((*this)[i + 1] << 8)); }
    std::string Stringa(std::size_t i, std::size_t massimo)
    {
        if (i >= h_.size()) corta_ = true;
        const std::string s = UCZEM2::EstraiStringa(h_, i);
        return s.substr(0, massimo);
    }
    bool Corta() const { return corta_; }

private:
    const std::vector<std::uint8_t>& h_;
    bool corta_ = false;
};

// The measure records and their data lie one after the other behind the header: through the
// mailbox, where every read costs as much as a few hundred bytes, they are read in one run from the
// first record to the end of the last, grown at its end for data that goes on past it. Records spread
// wider than a few pages, or a run that cannot be read (a stale pointer past the memory), are read
// one by one, as far as the measures go.
class LetturaMisure {
public:
    static constexpr std::uint32_t kMassimo = 1536;

    LetturaMisure(UCZEM2& link, std::uint32_t inizio, std::uint32_t fine) : link_(link), inizio_(inizio)
    {
        if (fine > inizio && fine - inizio <= kMassimo) bytes_.resize(fine - inizio);
    }
    void Prepara()
    {
        if (!bytes_.empty() && !link_.ReadConfigBytes(inizio_, bytes_)) bytes_.clear();
    }
    bool Leggi(std::uint32_t address, std::span<std::uint8_t> out)
    {
        const std::uint32_t nostra = inizio_ + static_cast<std::uint32_t>(bytes_.size());
        if (bytes_.empty() || address < inizio_ || address > nostra) return link_.ReadConfigBytes(address, out);
        const std::uint32_t fine = address + static_cast<std::uint32_t>(out.size());
        if (fine > nostra) {
            std::vector<std::uint8_t> oltre(fine - nostra);
            if (!link_.ReadConfigBytes(nostra, oltre)) return false;
            bytes_.insert(bytes_.end(), oltre.begin(), oltre.end());
        }
        std::copy_n(bytes_.begin() + (address - inizio_), out.size(), out.begin());
        return true;
    }

private:
    UCZEM2& link_;
    std::uint32_t inizio_;
    std::vector<std::uint8_t> bytes_;
};

} // namespace

const MisuraStrumento& UCZEM2::Misura(int misura) const
{
    static const MisuraStrumento assente;
    if (misura < 1 || misura > kMisure) return assente;
    return misure_[static_cast<std::size_t>(misura - 1)];
}

bool UCZEM2::ApriComunicazioneUSB(const std::string& serial)
{
    return ApriConfigurazione(ApriPortaUSB(serial));
}

bool UCZEM2::ApriComunicazioneETH(const std::string& host, std::uint32_t port)
{
    return ApriConfigurazione(ApriPortaETH(host, port));
}

bool UCZEM2::ApriConfigurazione(bool portaAperta)
{
    std::array<std::int16_t, 2> errore{};
    const std::uint64_t fallitePrima = transazioniFallite_;
    collegato_ = portaAperta && LeggiConfigurazione(errore);
    aperturaSenzaRisposta_ = !collegato_ && transazioniFallite_ != fallitePrima;
    // A channel whose instrument was refused is not left open behind the technician's back, but
    // what the instrument said of itself stays known: its type is reported, and the update-mode
    // switch of a blank instrument reaches its configuration memory by the right path.
    if (portaAperta && !collegato_) ChiudiCanale();
    return collegato_;
}

bool UCZEM2::LeggiVersione()
{
    versioneCPU_ = versioneEncoder_ = versioneADC_ = 0;
    if (!AspettaPerRicezioneInCorso() || !InviaComando1Byte(kCmdVersione)) return false;
    const std::size_t p = bufferRX_[0];
    // The loader's one-byte reply tells nothing of the memory: the layout a normal-mode reply
    // reported stays, or the mailbox behind which the configuration lies would be lost. An
    // instrument found in update mode takes what an earlier link heard from it.
    if (p == 1) {
        if (mailbox_ && dimensioneAreaPRAM_ == 0)
            if (const auto noto = LayoutDelProgramma().Ricordato(NomeCanale()); noto && noto->protocollo == protocollo_)
                ApplicaLayout(*noto);
        return updateMode_;
    }
    // Defaults stand until an instrument reports its own values.
    dimensioneMemoria_ = 0x80000;
    dimensioneConfigurazione_ = 360;
    indirizzoAreaPRAM_ = 0;
    dimensioneAreaPRAM_ = 0;
    baseFlash_ = 0;
    bloccoFlash_ = 8;
    settoreFlash_ = 64;
    opzioneVelocita_ = 0;
    configurazioneAnalogica_ = 0;
    const auto& b = bufferRX_;
    if (p < 4) return false;
    versioneCPU_ = DueDecimali((b[1] + 256.0 * b[2]) / 100.0);
    if (b[3] > 0) versioneEncoder_ = DueDecimali((b[3] + 99.0) / 100.0);
    if (b[4] > 0) {
        if ((b[4] & 0x03) < 2) {
            versioneADC_ = DueDecimali((b[4] + 99.0) / 100.0);
        } else {
            versioneADC_ = b[4] & 0x03;
            configurazioneAnalogica_ = (b[4] / 16) + 4 * (b[4] & 0x0C);
        }
    }
    if (p >= 11) {
        dimensioneConfigurazione_ = Leggi16(b, 5);
        indirizzoAreaPRAM_ = Leggi24(b, 7);
        dimensioneMemoria_ = static_cast<std::int32_t>(indirizzoAreaPRAM_);
        dimensioneAreaPRAM_ = Leggi16(b, 10);
    }
    if (p >= 12) opzioneVelocita_ = b[12] & 0x01;
    if (p >= 11)
        LayoutDelProgramma().Ricorda(
            NomeCanale(), {dimensioneConfigurazione_, indirizzoAreaPRAM_, dimensioneAreaPRAM_, opzioneVelocita_, protocollo_});
    return true;
}

void UCZEM2::ApplicaLayout(const LayoutMemoria& layout)
{
    dimensioneConfigurazione_ = layout.dimensioneConfigurazione;
    indirizzoAreaPRAM_ = layout.indirizzoAreaPRAM;
    dimensioneMemoria_ = static_cast<std::int32_t>(layout.indirizzoAreaPRAM);
    dimensioneAreaPRAM_ = layout.dimensioneAreaPRAM;
    opzioneVelocita_ = layout.opzioneVelocita;
}

std::string UCZEM2::NomeCanale() const
{
    if (canale_ == &usbCanale_) return serialNumber_.empty() ? "" : "USB:" + serialNumber_;
    const SocketControl& s = ethCanale_.Socket();
    return "IP:" + s.RemoteHost() + ":" + std::to_string(s.RemotePort());
}

void UCZEM2::AzzeraImmagine()
{
    byteModo_.reset();
    misure_ = {};
    numeroMisure_ = 0;
    operazioneCorrente_ = {};
    funzioniIngresso_ = funzioniUscita_ = maschereIngresso_ = maschereUscita_ = {};
    formato_ = 0;
    livelloLayout_ = 1;
    baseTempo_ = 0;
    opzione60_ = opzione61_ = opzione77_ = 0;
    for (int m = 1; m <= kMisure; ++m) AzzeraAcquisizione(m);
}

bool UCZEM2::LeggiConfigurazione(std::array<std::int16_t, 2>& errore)
{
    errore = {0, 0};
    AzzeraImmagine();
    bool ok = true;
    if (const auto serial = Canale().NumeroSerie()) {
        serialNumber_ = *serial;
        ok = !serial->empty();
    }
    if (ok) ok = ProvaIdentita() && (protocollo_ == kProtocolloZem || protocollo_ == kProtocolloZemEth) && LeggiVersione();
    if (ok && !updateMode_ && !memoryError_) {
        ok = LeggiIntestazione(errore);
        // A reader takes the memory as it is; only a writer needs the update mode of an empty one.
        if (ok && numeroMisure_ == 0 && !solaLettura_) ok = SetUpdateMode(true);
    }
    fattoriForza_.fill(1.0);
    fattoriQuota_.fill(1.0);
    fattoriTempo_.fill(1.0);
    return ok;
}

bool UCZEM2::LeggiIntestazione(std::array<std::int16_t, 2>& errore)
{
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::max(0, dimensioneConfigurazione_)));
    if (!ReadConfigBytes(0, bytes)) return false;
    Intestazione h(bytes);
    formato_ = h[3];
    if (formato_ != '4' && formato_ != '5') {
        formato_ = 0;
        return false;
    }
    const int variante = h[5];
    if (variante != 1 && variante != 2) errore = {2, 0};
    livelloLayout_ = formato_ == '4' ? 0 : (variante == 2 ? 2 : 1);
    nome_ = h.Stringa(variante == 1 ? 6 : 88, kLunghezzaNome);
    std::int16_t invalido = 0;
    const bool taratura = livelloLayout_ != 0 ? DecodificaTaratura(bytes, invalido) : LeggiValoriDiTaraturaOLD(invalido);
    if (h.Corta() || !taratura) return false;

    opzione61_ = h[61];
    if (formato_ == '5') {
        opzione60_ = h[60];
        opzione77_ = h[77];
        baseTempo_ = opzione60_;
        for (std::size_t n = 0; n < 8; ++n) {
            funzioniIngresso_[n] = h[184 + n];
            funzioniUscita_[n] = h[192 + n];
            maschereIngresso_[n] = h[200 + n];
            maschereUscita_[n] = h[208 + n];
        }
        for (std::size_t m = 0; m < kMisure; ++m) {
            misure_[m].indirizzoRecord = h.Parola(22 + 2 * m);
            misure_[m].NomeMisura = h.Stringa(variante == 1 ? 88 + 16 * m : 216 + 24 * m, kLunghezzaNome);
        }
        return !h.Corta() && LeggiMisureFormato5(bytes);
    }
    const std::size_t p = h.Parola(54);
    const int conteggio = h[p];
    for (std::size_t n = 0; n < 8; ++n) {
        funzioniIngresso_[n] = h[p + 1 + n];
        funzioniUscita_[n] = h[p + 9 + n];
    }
    baseTempo_ = opzione60_ = h[p + 17];
    if (conteggio >= 1) misure_[0].indirizzoRecord = h.Parola(56);
    if (conteggio >= 2) misure_[1].indirizzoRecord = misure_[0].indirizzoRecord + h[58];
    for (std::size_t m = 0; m < kMisure; ++m) misure_[m].NomeMisura = h.Stringa(22 + 16 * m, kLunghezzaNome);
    return !h.Corta() && LeggiMisureFormato4(bytes, p);
}

bool UCZEM2::LeggiMisureFormato5(const std::vector<std::uint8_t>&)
{
    std::uint32_t primo = 0xFFFF, fine = 0;
    for (const MisuraStrumento& m : misure_) {
        if (m.indirizzoRecord == 0) continue;
        primo = std::min<std::uint32_t>(primo, m.indirizzoRecord);
        fine = std::max<std::uint32_t>(fine, m.indirizzoRecord + kRecordFormato5);
    }
    // In PRAM a frame carries 18 bytes whatever it follows: the records are read one by one.
    LetturaMisure lettura(*this, primo, ConfigurazioneInPRAM() ? primo : fine);
    lettura.Prepara();
    for (std::size_t i = 0; i < kMisure; ++i) {
        MisuraStrumento& m = misure_[i];
        if (m.indirizzoRecord == 0) continue;
        std::array<std::uint8_t, kRecordFormato5> r{};
        if (!lettura.Leggi(m.indirizzoRecord, r)) return false;
        const std::size_t lunghezzaDati = estensioni_ >= 11 ? (r[1] == 0 ? 35 : r[1]) : 27;
        std::vector<std::uint8_t> dati(lunghezzaDati);
        m.indirizzoDati = m.indirizzoRecord + r[0];
        if (!lettura.Leggi(m.indirizzoDati, dati)) return false;
        m.TipoMisura = r[2] < 5 ? r[2] : 0;
        if (m.TipoMisura == 0) break;
        ++numeroMisure_;
        m.capacita = r[4];
        m.indirizzoLavori = Leggi16(r, 5);
        m.dimensioneLavoro = Leggi16(r, 7);
        m.numeroLavori = r[9];
        m.ConIngressoRemote = (r[11] >> 4) != 0;
        if (m.TipoMisura == 1 || m.TipoMisura == 4) {
            m.opzioni = r[25];
            m.NumeroTrasduttoreX = r[26] & 0x0F;
            m.NumeroTrasduttoreY = r[26] >> 4;
        } else {
            m.opzioni = r[23];
            m.NumeroTrasduttoreY = r[24];
            Intestazione d(dati);
            m.indiceUnitaTempo = d[17];
            m.decimaliTempo = d[18];
            m.NomeValoreMisura = d.Stringa(19, kLunghezzaNome);
            if (d.Corta()) return false;
        }
        CopiaScaleTaratura(m);
    }
    return true;
}

bool UCZEM2::LeggiMisureFormato4(const std::vector<std::uint8_t>&, std::size_t)
{
    for (std::size_t i = 0; i < 2; ++i) {
        MisuraStrumento& m = misure_[i];
        if (m.indirizzoRecord == 0) continue;
        std::array<std::uint8_t, kRecordFormato4> r{};
        if (!ReadConfigBytes(m.indirizzoRecord, r)) return false;
        m.TipoMisura = 1;
        m.indirizzoDati = m.indirizzoRecord + kRecordFormato4;
        m.capacita = r[6] & 0x0F;
        m.NumeroMassimoPuntiFascia = 15;
        ++numeroMisure_;
        CopiaScaleTaratura(m);
    }
    return true;
}

void UCZEM2::CopiaScaleTaratura(MisuraStrumento& m) const
{
    if (m.NumeroTrasduttoreY >= 1 && m.NumeroTrasduttoreY <= 6) {
        const RecordTaratura& y = taratura_[static_cast<std::size_t>(m.NumeroTrasduttoreY - 1)];
        m.gainForza = m.gainValore = y.gain;
        m.umForza = m.UMValoreMisura = y.unita;
        m.decimaliForza = m.DecimaliValoreMisura = y.decimali;
    }
    if (m.NumeroTrasduttoreX >= 1 && m.NumeroTrasduttoreX <= 6) {
        const RecordTaratura& x = taratura_[static_cast<std::size_t>(m.NumeroTrasduttoreX - 1)];
        m.gainQuota = x.gain;
        m.umQuota = x.unita;
        m.decimaliQuota = x.decimali;
    }
}

std::uint8_t UCZEM2::OpzioniIntestazione(int byte) const
{
    switch (byte) {
    case 60: return opzione60_;
    case 61: return opzione61_;
    case 77: return opzione77_;
    default: return 0;
    }
}

static double Fattore(const std::array<double, 5>& t, int unita)
{
    return unita >= 0 && unita < 5 ? t[static_cast<std::size_t>(unita)] : 1.0;
}
double UCZEM2::FattoreForza(int unita) const { return Fattore(fattoriForza_, unita); }
double UCZEM2::FattoreQuota(int unita) const { return Fattore(fattoriQuota_, unita); }
double UCZEM2::FattoreTempo(int unita) const { return Fattore(fattoriTempo_, unita); }

bool UCZEM2::Ingresso20mA(int canale) const
{
    return canale >= 1 && canale <= 16 && ((configurazioneAnalogica_ >> (canale - 1)) & 1) != 0;
}

bool UCZEM2::Ingresso010V(int canale) const
{
    if (Ingresso20mA(canale)) return false;
    if (canale == 1) return (configurazioneAnalogica_ & 0x10) != 0;
    if (canale == 3) return (configurazioneAnalogica_ & 0x20) != 0;
    return true;
}

std::int32_t UCZEM2::OffsetADC(int canale) const
{
    if (updateMode_ || canale == 2 || canale == 4 || Ingresso20mA(canale)) return 0;
    return versioneADC_ <= 1.1599 ? 360 : 2048;
}

// ---- Measure selection and piece status ----

int UCZEM2::OperazioneCorrente(int misura) const
{
    return misura >= 1 && misura <= kMisure ? operazioneCorrente_[static_cast<std::size_t>(misura - 1)] : 0;
}

std::optional<int> UCZEM2::LeggiOperazioneCorrente(int misura)
{
    if (misura < 1 || misura > kMisure) return std::nullopt;
    std::optional<int> operazione;
    if (estensioni_ < 11) {
        if (const auto b = ReadConfig1Byte(Misura(misura).indirizzoRecord + 3)) operazione = *b;
    } else {
        const std::array<std::uint8_t, 1> args{static_cast<std::uint8_t>(misura)};
        if (Richiesta(kCmdOperazioneCorrente, args) && bufferRX_[0] == 1) operazione = bufferRX_[1];
    }
    if (operazione) operazioneCorrente_[static_cast<std::size_t>(misura - 1)] = *operazione;
    return operazione;
}

bool UCZEM2::SelezionaMisura(int misura)
{
    // A stop deferred by a running reception goes out before the state is cleared.
    if (misura < 1 || misura > kMisure || !AspettaPerRicezioneInCorso()) return false;
    AzzeraAcquisizione(misura);
    return LeggiOperazioneCorrente(misura).has_value();
}

bool UCZEM2::LeggiPezzoInLavorazione(int misura, bool& inLavorazione)
{
    inLavorazione = true;
    if (misura < 1 || misura > kMisure) return false;
    // Curves still to be fetched from the instrument's memory keep the piece in work.
    const LavoroMisura& l = lavori_[static_cast<std::size_t>(misura - 1)];
    if (std::any_of(l.Fasi.begin(), l.Fasi.end(), [](const FaseLavoro& f) { return f.RichiestaCurva; })) return true;
    // The reply carries one byte per measure it knows of: a measure beyond it cannot be answered.
    if (!AspettaPerRicezioneInCorso() || !InviaComando1Byte(kCmdStatoPezzo)
        || bufferRX_[0] < static_cast<std::size_t>(misura))
        return false;
    const std::uint8_t stato = bufferRX_[static_cast<std::size_t>(misura)];
    inLavorazione = !((stato & 0x02) != 0 && (stato & 0x01) == 0);
    return true;
}

// ---- Status polling ----

bool UCZEM2::Interrogazione28()
{
    if (opzione77_ != 1) return false;
    if (!AspettaPerRicezioneInCorso() || !InviaComando1Byte(kCmdInterrogazione) || bufferRX_[0] != 3) return false;
    const int b2 = bufferRX_[2];
    const int b3 = bufferRX_[3];
    if (b2 != 0 && MessaggioStrumento) MessaggioStrumento(b3 != 0 ? b3 : 0, b3 != 0 ? b2 : 0);
    return true;
}

bool UCZEM2::StartPolling()
{
    bool esito = true;
    if (formato_ == '5' && opzione77_ != 0) esito = Interrogazione28();
    TimerAquireUSB.Enabled = TimerAquireEth.Enabled = false;
    TimerStatus.Interval = 300;
    TimerStatus.Enabled = true;
    return esito;
}

void UCZEM2::TimerStatus_Timer()
{
    if (!TimerStatus.Enabled) return;
    // One status request for the measures; a piece that stops being worked is a completed piece.
    bool ok = AspettaPerRicezioneInCorso() && InviaComando1Byte(kCmdStatoPezzo) && bufferRX_[0] == 2;
    if (ok) {
        for (std::size_t m = 0; m < statoPrecedente_.size(); ++m) {
            const std::uint8_t stato = bufferRX_[m + 1];
            if ((statoPrecedente_[m] & 0x01) != 0 && (stato & 0x01) == 0 && PezzoCompletato)
                PezzoCompletato(static_cast<int>(m + 1));
            statoPrecedente_[m] = stato;
        }
        if (formato_ == '5' && opzione77_ != 0 && (statoPrecedente_[0] & 0x80) != 0) Interrogazione28();
        // Results asked for with LeggiValori are read once the measure reports them ready.
        const auto pronti = statoPrecedente_;
        for (int m = 1; m <= kMisure; ++m) {
            const auto i = static_cast<std::size_t>(m - 1);
            const bool pronto = i >= pronti.size() || (pronti[i] & 0x02) != 0;
            if (acquisizione_[i].richiestaRisultati && pronto) LeggiRisultati(m);
        }
    }
    if (!TimerStatus.Enabled) return;
    if (ok) {
        if (Comunica) Comunica();
        return;
    }
    bool retry = false;
    if (ErroreComunicazione) ErroreComunicazione(retry);
    if (!retry) {
        TimerStatus.Enabled = false;
        return;
    }
    if (serialNumber_.empty()) return;  // Ethernet: the retry counts as done and polling goes on
    const std::string serial = serialNumber_;
    while (!ApriComunicazioneUSB(serial)) {
        retry = false;
        if (ErroreComunicazione) ErroreComunicazione(retry);
        if (!retry) {
            TimerStatus.Enabled = false;
            return;
        }
    }
    TimerStatus.Enabled = true;
}

} // namespace zem
