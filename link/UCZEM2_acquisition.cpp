// Acquisition control: starting, stopping and blocking the measures, the flags with which the
// instrument and the program tell each other of changed works and waiting curves, the curves
// kept in the instrument's memory, and the results of the last measurement.
#include "link/UCZEM2.h"

#include "link/ByteOrder.h"

#include <algorithm>

namespace zem {

namespace {

constexpr std::uint8_t kCmdArresta = 2;
constexpr std::uint8_t kCmdStatoMisure = 4;
constexpr std::uint8_t kCmdModificaRemota = 6;
constexpr std::uint8_t kCmdFlagModifiche = 8;
constexpr std::uint8_t kCmdIndirizzoRisultati = 11;
constexpr std::uint8_t kCmdCurveDaTrattare = 16;
constexpr std::uint8_t kCmdAcquisizione = 18;
constexpr std::uint8_t kCmdRiparti = 29;
constexpr std::uint32_t kByteCurveDaTrattare = 0x3B;
constexpr std::uint8_t kBitLavoroModificato = 0x10;
constexpr int kTestCilindri = 4;

std::uint8_t Indice(int misura)
{
    return static_cast<std::uint8_t>(misura - 1);
}

bool Valida(int misura)
{
    return misura >= 1 && misura <= UCZEM2::kMisure;
}

} // namespace

const AcquisizioneMisura& UCZEM2::Acquisizione(int misura) const
{
    static const AcquisizioneMisura nessuna;
    return Valida(misura) ? acquisizione_[static_cast<std::size_t>(misura - 1)] : nessuna;
}

void UCZEM2::AzzeraAcquisizione(int misura)
{
    AcquisizioneMisura& a = acquisizione_[static_cast<std::size_t>(misura - 1)];
    // A stop still waiting for its reception to end is not dropped: it goes out when that ends.
    const bool arresto = a.arrestoInSospeso;
    a = AcquisizioneMisura{};
    a.arrestoInSospeso = arresto;
    if (LavoroMisura* l = LavoroDi(misura))
        for (FaseLavoro& f : l->Fasi) f.RichiestaCurva = false;
}

bool UCZEM2::AbilitaAcquisizione(int misura)
{
    if (!Valida(misura)) return false;
    const std::array<std::uint8_t, 2> args{Indice(misura), 1};
    if (!Richiesta(kCmdAcquisizione, args) || bufferRX_[0] != 1 || bufferRX_[1] != 1) return false;
    acquisizione_[static_cast<std::size_t>(misura - 1)].arrestata = false;
    return true;
}

bool UCZEM2::DisabilitaAcquisizione(int misura)
{
    if (!Valida(misura)) return false;
    const std::array<std::uint8_t, 2> args{Indice(misura), 0};
    return Richiesta(kCmdAcquisizione, args) && bufferRX_[0] == 1;
}

bool UCZEM2::Riparti(int misura)
{
    if (!Valida(misura)) return false;
    const std::array<std::uint8_t, 2> args{Indice(misura), 0};
    if (!Richiesta(kCmdRiparti, args) || bufferRX_[0] != 1) return false;
    acquisizione_[static_cast<std::size_t>(misura - 1)].arrestata = false;
    return true;
}

bool UCZEM2::SetModificaRemota(int misura)
{
    if (!Valida(misura)) return false;
    const std::array<std::uint8_t, 2> args{Indice(misura), 1};
    return Richiesta(kCmdModificaRemota, args) && bufferRX_[0] == 1 && bufferRX_[1] == 1;
}

bool UCZEM2::ClearFlagModifiche(int misura)
{
    if (!Valida(misura)) return false;
    const std::array<std::uint8_t, 2> args{Indice(misura), 255};
    return Richiesta(kCmdFlagModifiche, args) && bufferRX_[0] == 1 && bufferRX_[1] == 1;
}

bool UCZEM2::ResetCurveDaTrattare(int misura)
{
    if (!Valida(misura)) return false;
    const std::array<std::uint8_t, 1> args{Indice(misura)};
    return Richiesta(kCmdCurveDaTrattare, args) && bufferRX_[0] == 1 && bufferRX_[1] == 1;
}

std::optional<bool> UCZEM2::LeggiCurveDaTrattare(int misura)
{
    if (!Valida(misura)) return std::nullopt;
    const auto maschera = MascheraCurveDaTrattare();
    if (!maschera) return std::nullopt;
    return (*maschera & (1u << (misura - 1))) != 0;
}

std::optional<std::uint8_t> UCZEM2::MascheraCurveDaTrattare()
{
    if (estensioni_ <= 10) return ReadConfig1Byte(kByteCurveDaTrattare);
    if (!Richiesta(kCmdCurveDaTrattare, {}) || bufferRX_[0] != 1) return std::nullopt;
    return bufferRX_[1];
}

std::optional<bool> UCZEM2::LeggiLavoroModificato(int misura)
{
    if (!Valida(misura)) return std::nullopt;
    // Instruments of two measures answer with two status bytes: a measure past them has none.
    if (!Richiesta(kCmdStatoMisure, {}) || bufferRX_[0] < static_cast<std::size_t>(misura)) return std::nullopt;
    return (bufferRX_[static_cast<std::size_t>(misura)] & kBitLavoroModificato) != 0;
}

std::optional<bool> UCZEM2::xxBloccaMisura(int misura)
{
    if (!Valida(misura)) return std::nullopt;
    // A test cylinder in the middle of a curve download is left running.
    if (TipoMisura(misura) == kTestCilindri && InRicezione()) return false;
    if (!DisabilitaAcquisizione(misura)) return std::nullopt;
    return bufferRX_[1] == 1;
}

std::optional<bool> UCZEM2::BloccaStrumento()
{
    bool ok = true, possibile = true;
    for (int m = 1; m <= numeroMisure_; ++m) {
        const auto bloccata = xxBloccaMisura(m);
        if (!bloccata) ok = false;
        else if (!*bloccata) possibile = false;
    }
    if (!ok) return std::nullopt;
    return possibile;
}

bool UCZEM2::ArrestoInSospeso(int misura) const
{
    if (misura == 0) return arrestoTotaleInSospeso_;
    return Acquisizione(misura).arrestoInSospeso;
}

bool UCZEM2::ArrestaMisura(int misura)
{
    if (misura < 0 || misura > kMisure) return false;
    if (!InRicezione()) return InviaArresto(misura);
    if (misura != 0) {
        acquisizione_[static_cast<std::size_t>(misura - 1)].arrestoInSospeso = true;
        return true;
    }
    // The stop of all measures covers every single one asked before it.
    arrestoTotaleInSospeso_ = true;
    for (AcquisizioneMisura& a : acquisizione_) a.arrestoInSospeso = false;
    return true;
}

bool UCZEM2::InviaArresto(int misura)
{
    const std::array<std::uint8_t, 1> args{static_cast<std::uint8_t>(misura)};
    if (!Richiesta(kCmdArresta, args) || bufferRX_[0] != 1 || bufferRX_[1] != 1) return false;
    if (misura == 0) arrestoTotaleInSospeso_ = false;
    for (int m = 1; m <= kMisure; ++m) {
        if (misura != 0 && m != misura) continue;
        AcquisizioneMisura& a = acquisizione_[static_cast<std::size_t>(m - 1)];
        a.arrestoInSospeso = false;
        a.arrestata = true;
    }
    return true;
}

void UCZEM2::InviaArrestiSospesi()
{
    // A stop that fails stays pending: it is tried again when the next reception ends.
    if (arrestoTotaleInSospeso_) {
        const bool tutte = std::all_of(acquisizione_.begin(), acquisizione_.end(),
                                       [](const AcquisizioneMisura& a) { return a.arrestata; });
        if (tutte) arrestoTotaleInSospeso_ = false;
        else InviaArresto(0);
        return;
    }
    for (int m = 1; m <= kMisure; ++m) {
        AcquisizioneMisura& a = acquisizione_[static_cast<std::size_t>(m - 1)];
        if (!a.arrestoInSospeso) continue;
        if (a.arrestata) a.arrestoInSospeso = false;
        else InviaArresto(m);
    }
}

bool UCZEM2::LeggiValori(int misura)
{
    if (!Valida(misura)) return false;
    acquisizione_[static_cast<std::size_t>(misura - 1)].richiestaRisultati = true;
    return true;
}

// ---- Curves kept in the instrument ----

bool UCZEM2::CurvaInMemoria(int misura, int fase, bool& memorizzata)
{
    if (estensioni_ >= 11) {
        const auto indirizzo = IndirizzoStatoCurva(misura, fase);
        if (!indirizzo) return false;
        const auto stato = ReadPRam1Byte(*indirizzo);
        if (!stato) return false;
        memorizzata = *stato >= 1;
        return true;
    }
    // Before release 11 a record's first three bytes are not 0 once it holds a curve.
    int record = fase;
    if (!GestioneFasi(misura)) {
        const auto operazione = LeggiOperazioneCorrente(misura);
        if (!operazione) return false;
        record = *operazione;
    }
    memorizzata = false;
    if (record < 1) return true;
    const MisuraStrumento& m = Misura(misura);
    std::array<std::uint8_t, 3> inizio{};
    if (!LeggiPRamBlocco(m.baseCurve + m.dimensioneCurva * static_cast<std::uint32_t>(record - 1), inizio)) return false;
    memorizzata = Leggi24(inizio, 0) != 0;
    return true;
}

std::optional<bool> UCZEM2::ScaricaCurveInMemoria(int misura)
{
    if (TipoMisura(misura) == 0) return std::nullopt;
    LavoroMisura& l = *LavoroDi(misura);
    if (l.Fasi.size() != static_cast<std::size_t>(NumeroMassimoFasi(misura)) + 1) SvuotaBufferLavoro(misura);
    bool qualcuna = false;
    for (int fase = 1; fase <= NumeroMassimoFasi(misura); ++fase) {
        bool memorizzata = false;
        if (!CurvaInMemoria(misura, fase, memorizzata)) return std::nullopt;
        if (!memorizzata) continue;
        l.Fasi[static_cast<std::size_t>(fase)].RichiestaCurva = true;
        qualcuna = true;
    }
    return qualcuna;
}

bool UCZEM2::CancellaCurveInMemoria(int misura)
{
    if (!ConfigurazioneInPRAM() || TipoMisura(misura) == 0) return false;
    const auto lavoro = LeggiNumeroLavoroCorrente(misura);
    if (!lavoro) return false;
    if (*lavoro < 1) return true;
    const MisuraStrumento& m = Misura(misura);
    const std::array<std::uint8_t, 3> zeri{};
    for (int fase = 1; fase <= NumeroMassimoFasi(misura); ++fase) {
        const std::uint32_t indirizzo = m.baseCurve + m.dimensioneCurva * static_cast<std::uint32_t>(*lavoro - 1)
            + m.dimensioneCurva * static_cast<std::uint32_t>(fase - 1);
        if (!WritePRamBytes1(indirizzo, zeri)) return false;
    }
    return true;
}

// ---- Results ----

const RisultatiMisura& UCZEM2::Risultati(int misura) const
{
    static const RisultatiMisura nessuno;
    return Valida(misura) ? risultati_[static_cast<std::size_t>(misura - 1)] : nessuno;
}

std::uint32_t UCZEM2::IndirizzoRisultati(int misura) const
{
    return Valida(misura) ? indirizzoRisultati_[static_cast<std::size_t>(misura - 1)] : 0;
}

float UCZEM2::ForzaCheckPoint(int m, int k) const
{
    if (k < 1 || k > NumeroMassimoCheckPoint()) return 0;
    return Risultati(m).ForzeCheckPoint[static_cast<std::size_t>(k)];
}

float UCZEM2::CurvaForza(int m, int p) const
{
    const auto& punti = PuntiCurva(m);
    if (p < 0 || static_cast<std::size_t>(p) >= punti.size()) return 0;
    return Scala(m).RawAForza(punti[static_cast<std::size_t>(p)].Y);
}

float UCZEM2::CurvaQuota(int m, int p) const
{
    const auto& punti = PuntiCurva(m);
    if (p < 0 || static_cast<std::size_t>(p) >= punti.size()) return 0;
    return Scala(m).RawAQuota(punti[static_cast<std::size_t>(p)].X);
}

// The instrument reports where the measure's results block lies, then the block is read and
// decoded; a block that cannot be read leaves the previous results in place.
bool UCZEM2::LeggiRisultati(int misura)
{
    const std::size_t i = static_cast<std::size_t>(misura - 1);
    const int tipo = TipoMisura(misura);
    std::vector<std::uint8_t> blocco(RisultatiMisura::Dimensione(tipo));
    if (blocco.empty()) return false;
    const std::array<std::uint8_t, 1> args{Indice(misura)};
    if (!Richiesta(kCmdIndirizzoRisultati, args) || bufferRX_[0] != 3) return false;
    indirizzoRisultati_[i] = Leggi24(bufferRX_, 1);
    if (!LeggiPRamBlocco(indirizzoRisultati_[i], blocco)) return false;
    const auto r = RisultatiMisura::Decodifica(tipo, blocco, Scala(misura), NumeroMassimoCheckPoint());
    if (!r) return false;
    risultati_[i] = *r;
    acquisizione_[i].richiestaRisultati = false;
    return true;
}

} // namespace zem
