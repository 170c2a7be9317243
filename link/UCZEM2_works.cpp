// Works and phases: the model of each measure's current work, and moving works between that model
// and the work records in the instrument's configuration memory. The record layout itself lives in
// RecordLavoro; here only bytes move.
#include "link/UCZEM2.h"

#include <algorithm>

namespace zem {

namespace {

constexpr std::uint8_t kCmdSelezionaLavoro = 7;
constexpr std::uint8_t kCmdModificaRemota = 6;
constexpr std::size_t kLunghezzaNome = 15;
constexpr std::uint32_t kTabellaCurve = 0x168;
constexpr int kFasiMaschera = 32;

bool Pressa(int tipo) { return tipo == 1 || tipo == 4; }

std::string SenzaBlank(const std::string& s)
{
    const auto inizio = s.find_first_not_of(' ');
    if (inizio == std::string::npos) return {};
    return s.substr(inizio, s.find_last_not_of(' ') - inizio + 1);
}

std::uint32_t Tre(std::span<const std::uint8_t> b, std::size_t i)
{
    return b[i] | (std::uint32_t{b[i + 1]} << 8) | (std::uint32_t{b[i + 2]} << 16);
}

} // namespace

// ---- The model ----

LavoroMisura* UCZEM2::LavoroDi(int misura)
{
    return misura >= 1 && misura <= kMisure ? &lavori_[static_cast<std::size_t>(misura - 1)] : nullptr;
}

const LavoroMisura* UCZEM2::LavoroDi(int misura) const
{
    return misura >= 1 && misura <= kMisure ? &lavori_[static_cast<std::size_t>(misura - 1)] : nullptr;
}

FaseLavoro* UCZEM2::FaseDi(int misura, int fase)
{
    LavoroMisura* l = LavoroDi(misura);
    if (l == nullptr || fase < 1 || static_cast<std::size_t>(fase) >= l->Fasi.size()) return nullptr;
    return &l->Fasi[static_cast<std::size_t>(fase)];
}

const FaseLavoro* UCZEM2::FaseDi(int misura, int fase) const
{
    const LavoroMisura* l = LavoroDi(misura);
    if (l == nullptr || fase < 1 || static_cast<std::size_t>(fase) >= l->Fasi.size()) return nullptr;
    return &l->Fasi[static_cast<std::size_t>(fase)];
}

const std::string& UCZEM2::NomeLavoro(int misura) const
{
    static const std::string vuoto;
    const LavoroMisura* l = LavoroDi(misura);
    return l != nullptr ? l->NomeLavoro : vuoto;
}

bool UCZEM2::SetNomeLavoro(int misura, const std::string& nome)
{
    LavoroMisura* l = LavoroDi(misura);
    if (l == nullptr) return false;
    l->NomeLavoro = SenzaBlank(nome);
    return true;
}

bool UCZEM2::LavoroStrutturaModificata(int misura) const
{
    const LavoroMisura* l = LavoroDi(misura);
    return l != nullptr && l->LavoroStrutturaModificata;
}

int UCZEM2::NumeroMassimoFasi(int misura) const
{
    return GestioneFasi(misura) ? Misura(misura).numeroLavori : 1;
}

void UCZEM2::SvuotaBufferLavoro(int misura)
{
    LavoroMisura* l = LavoroDi(misura);
    if (l == nullptr) return;
    const int tipo = TipoMisura(misura);
    if (tipo == 0) {
        l->Fasi.clear();
        return;
    }
    l->Fasi.assign(static_cast<std::size_t>(NumeroMassimoFasi(misura)) + 1, FaseLavoro{});
    l->LavoroStrutturaModificata = true;
    if (Pressa(tipo))
        for (FaseLavoro& f : l->Fasi) f.CheckPoints.assign(static_cast<std::size_t>(NumeroMassimoCheckPoint()) + 1, {});
}

ScalaMisura UCZEM2::Scala(int misura) const
{
    const MisuraStrumento& m = Misura(misura);
    ScalaMisura s;
    s.gainForza = m.gainForza;
    s.gainQuota = m.gainQuota;
    s.gainValore = m.gainValore;
    s.decimaliForza = m.decimaliForza;
    s.decimaliQuota = m.decimaliQuota;
    s.decimaliValore = m.DecimaliValoreMisura;
    s.decimaliTempo = m.decimaliTempo;
    s.fattoreForza = FattoreForza(m.umForza);
    s.fattoreQuota = FattoreQuota(m.umQuota);
    s.fattoreTempo = FattoreTempo(m.indiceUnitaTempo);
    s.baseTempo = baseTempo_;
    return s;
}

float UCZEM2::usecAcquisizione(int misura, int fase) const
{
    return static_cast<float>(AcqPrescaler(misura, fase) * baseTempo_ * 50.0);
}

bool UCZEM2::Bit(int m, int f, std::int16_t FaseLavoro::*parola, std::int16_t bit) const
{
    const FaseLavoro* p = FaseDi(m, f);
    return p != nullptr && (p->*parola & bit) != 0;
}

bool UCZEM2::ImpostaBit(int m, int f, std::int16_t FaseLavoro::*parola, std::int16_t bit, bool v)
{
    FaseLavoro* p = FaseDi(m, f);
    if (p == nullptr) return false;
    p->*parola = static_cast<std::int16_t>(v ? (p->*parola | bit) : (p->*parola & ~bit));
    return true;
}

float UCZEM2::PuntoDiControllo(int m, int f, int p, float CheckPoint::*campo) const
{
    const FaseLavoro* fase = FaseDi(m, f);
    if (fase == nullptr || p < 1 || static_cast<std::size_t>(p) >= fase->CheckPoints.size()) return 0;
    return fase->CheckPoints[static_cast<std::size_t>(p)].*campo;
}

bool UCZEM2::ImpostaPuntoDiControllo(int m, int f, int p, float CheckPoint::*campo, float v)
{
    FaseLavoro* fase = FaseDi(m, f);
    if (fase == nullptr || p < 1 || static_cast<std::size_t>(p) >= fase->CheckPoints.size()) return false;
    fase->CheckPoints[static_cast<std::size_t>(p)].*campo = v;
    return true;
}

bool UCZEM2::EliminaCheckPoint(int m, int f)
{
    FaseLavoro* fase = FaseDi(m, f);
    if (fase == nullptr) return false;
    const std::size_t n = std::min(fase->CheckPoints.size(), static_cast<std::size_t>(NumeroMassimoCheckPoint()) + 1);
    for (std::size_t p = 1; p < n; ++p) fase->CheckPoints[p] = CheckPoint{};
    return true;
}

int UCZEM2::PuntiBordoInferiore(int m, int f) const
{
    const FaseLavoro* fase = FaseDi(m, f);
    return fase != nullptr ? static_cast<int>(fase->BordoInferiore.size()) : 0;
}

int UCZEM2::PuntiBordoSuperiore(int m, int f) const
{
    const FaseLavoro* fase = FaseDi(m, f);
    return fase != nullptr ? static_cast<int>(fase->BordoSuperiore.size()) : 0;
}

PuntoFascia UCZEM2::PuntoBordo(int m, int f, int p, bool inferiore) const
{
    const FaseLavoro* fase = FaseDi(m, f);
    if (fase == nullptr) return {};
    const auto& bordo = inferiore ? fase->BordoInferiore : fase->BordoSuperiore;
    if (p < 1 || static_cast<std::size_t>(p) > bordo.size()) return {};
    return bordo[static_cast<std::size_t>(p - 1)];
}

bool UCZEM2::AggiungiPunto(int m, int f, bool inferiore, float quota, float forza)
{
    FaseLavoro* fase = FaseDi(m, f);
    if (fase == nullptr) return false;
    auto& bordo = inferiore ? fase->BordoInferiore : fase->BordoSuperiore;
    if (bordo.size() >= static_cast<std::size_t>(std::max(0, NumeroMassimoPuntiFascia(m)))) return false;
    bordo.push_back(PuntoFascia{forza, quota});
    return true;
}

bool UCZEM2::ClearFascia(int m, int f)
{
    FaseLavoro* fase = FaseDi(m, f);
    if (fase == nullptr) return false;
    fase->BordoInferiore.clear();
    fase->BordoSuperiore.clear();
    return true;
}

// ---- The works in the instrument ----

int UCZEM2::TotaleLavori(int misura) const
{
    return GestioneFasi(misura) ? 1 : Misura(misura).numeroLavori;
}

bool UCZEM2::LavoriSelezionabili(int misura) const
{
    return !GestioneFasi(misura) && Misura(misura).numeroLavori >= 1;
}

FormatoRecord UCZEM2::FormatoLavoro(int misura) const
{
    const MisuraStrumento& m = Misura(misura);
    FormatoRecord f;
    f.tipo = m.TipoMisura;
    f.livello = livelloLayout_;
    f.estensioni = estensioni_;
    f.puntiFascia = m.NumeroMassimoPuntiFascia;
    f.dimensione = m.dimensioneLavoro;
    return f;
}

std::optional<std::uint32_t> UCZEM2::IndirizzoRecordLavoro(int misura, int n) const
{
    const MisuraStrumento& m = Misura(misura);
    // A record the instrument does not say it has is never touched.
    if (m.TipoMisura == 0 || m.dimensioneLavoro == 0 || n < 1 || n > m.numeroLavori) return std::nullopt;
    return m.indirizzoLavori + m.dimensioneLavoro * static_cast<std::uint32_t>(n - 1);
}

std::optional<std::uint32_t> UCZEM2::IndirizzoStatoCurva(int misura, int fase) const
{
    const MisuraStrumento& m = Misura(misura);
    if (m.TipoMisura == 0 || fase < 1 || fase > NumeroMassimoFasi(misura)) return std::nullopt;
    return m.baseCurve + m.dimensioneCurva * static_cast<std::uint32_t>(fase - 1);
}

std::optional<std::string> UCZEM2::LeggiNomeLavoro(int misura, int nLavoro)
{
    if (TipoMisura(misura) == 0) return std::nullopt;
    // The name is read where the work write puts it: the data block of a phase-managed measure,
    // byte 6 of the work record otherwise.
    if (GestioneFasi(misura)) return LeggiStringaConfig(Misura(misura).indirizzoDati, kLunghezzaNome);
    const auto indirizzo = IndirizzoRecordLavoro(misura, nLavoro);
    if (!indirizzo) return std::nullopt;
    return LeggiStringaConfig(*indirizzo + RecordLavoro::kOffsetNome, kLunghezzaNome);
}

std::optional<std::uint32_t> UCZEM2::LeggiFasiAbilitate(int misura, int nLavoro)
{
    if (TipoMisura(misura) == 0) return std::nullopt;
    const bool fasi = GestioneFasi(misura);
    const int primo = fasi ? 1 : nLavoro;
    const int ultimo = fasi ? std::min(NumeroMassimoFasi(misura), kFasiMaschera) : nLavoro;
    const std::uint32_t dimensione = Misura(misura).dimensioneLavoro;
    std::uint32_t maschera = 0;
    for (int k = primo; k <= ultimo; ++k) {
        const auto indirizzo = IndirizzoRecordLavoro(misura, k);
        if (!indirizzo) return std::nullopt;
        const auto o = ReadConfig1Byte(*indirizzo + RecordLavoro::kOffsetFasi);
        if (!o) return std::nullopt;
        if (*o == 0 || *o >= dimensione) continue;
        const auto flags = ReadConfig1Byte(*indirizzo + *o);
        if (!flags) return std::nullopt;
        if ((*flags & FaseLavoro::kAbilitata) != 0) maschera |= fasi ? 1u << (k - 1) : 1u;
    }
    return maschera;
}

std::optional<int> UCZEM2::LeggiNumeroLavoroCorrente(int misura)
{
    if (TipoMisura(misura) == 0) return std::nullopt;
    if (GestioneFasi(misura)) {
        const auto maschera = LeggiFasiAbilitate(misura, 1);
        if (!maschera) return std::nullopt;
        return *maschera != 0 ? 1 : 0;
    }
    const auto operazione = LeggiOperazioneCorrente(misura);
    if (!operazione) return std::nullopt;
    const int lavori = Misura(misura).numeroLavori;
    // With no works stored nothing runs; a work past the ones stored is not believed.
    if (*operazione == 0 || lavori == 0) return 0;
    if (*operazione > lavori) return std::nullopt;
    return *operazione;
}

bool UCZEM2::SelezionaLavoro(int misura, int nLavoro)
{
    if (nLavoro < 0 || nLavoro > 255) return false;
    const std::array<std::uint8_t, 2> args{static_cast<std::uint8_t>(misura - 1), static_cast<std::uint8_t>(nLavoro)};
    if (!AspettaPerRicezioneInCorso() || !PreparaRichiesta(kCmdSelezionaLavoro, args) || !ComandoConEsito()) return false;
    operazioneCorrente_[static_cast<std::size_t>(misura - 1)] = nLavoro;
    return true;
}

bool UCZEM2::CambiaLavoro(int misura, int nLavoro)
{
    if (TipoMisura(misura) == 0) return false;
    if (GestioneFasi(misura)) {
        const auto operazione = LeggiOperazioneCorrente(misura);
        if (!operazione) return false;
        nLavoro = *operazione == 0 ? 1 : *operazione;
    } else if (nLavoro < 1 || nLavoro > Misura(misura).numeroLavori) {
        return false;
    }
    return SelezionaLavoro(misura, nLavoro);
}

bool UCZEM2::ResetModificaRemota(int misura)
{
    if (misura < 1 || misura > kMisure) return false;
    const std::array<std::uint8_t, 2> args{static_cast<std::uint8_t>(misura - 1), 0};
    return AspettaPerRicezioneInCorso() && PreparaRichiesta(kCmdModificaRemota, args) && ComandoConEsito();
}

bool UCZEM2::ScriviFase(int misura, int fase, int record, std::uint8_t offsetFasi, bool annullaPrima)
{
    const auto indirizzo = IndirizzoRecordLavoro(misura, record);
    FaseLavoro* p = FaseDi(misura, fase);
    if (!indirizzo || p == nullptr) return false;
    const std::string& nome = GestioneFasi(misura) ? p->NomeFase : LavoroDi(misura)->NomeLavoro;
    p->Flags = static_cast<std::int16_t>(p->Flags | FaseLavoro::kAbilitata);
    const auto campi = RecordLavoro::Campi(FormatoLavoro(misura), offsetFasi, nome, *p, Scala(misura));
    if (!campi) return false;
    // A record whose phase data are being replaced stops counting as complete until they all are.
    if (annullaPrima && !ScriviConfigByte(*indirizzo + RecordLavoro::kOffsetFasi, 0)) return false;
    for (const CampoRecord& c : *campi)
        if (!WriteConfigBytes(*indirizzo + c.offset, c.bytes)) return false;
    return true;
}

bool UCZEM2::WriteOperazione(int misura, int fase, int record, std::uint8_t offsetFasi)
{
    return ScriviFase(misura, fase, record, offsetFasi, true);
}

bool UCZEM2::ScriviRecordLavoro(int misura, int fase, int record)
{
    const auto indirizzo = IndirizzoRecordLavoro(misura, record);
    FaseLavoro* p = FaseDi(misura, fase);
    if (!indirizzo || p == nullptr) return false;
    const FormatoRecord formato = FormatoLavoro(misura);
    const auto o = ReadConfig1Byte(*indirizzo + RecordLavoro::kOffsetFasi);
    if (!o) return false;
    if (!LavoroDi(misura)->LavoroStrutturaModificata && *o > 0 && RecordLavoro::OffsetValido(formato, *o))
        return ScriviFase(misura, fase, record, *o, true);
    const auto vuoto = RecordLavoro::Ricostruito(formato, *p);
    if (!vuoto || !WriteConfigBytes(*indirizzo, *vuoto)) return false;
    return ScriviFase(misura, fase, record, RecordLavoro::OffsetRicostruzione(formato.tipo, formato.livello), false);
}

bool UCZEM2::ScriviLavoro(int misura, int nLavoro)
{
    LavoroMisura* l = LavoroDi(misura);
    if (l == nullptr || TipoMisura(misura) == 0) return false;
    if (nLavoro < 1) nLavoro = LeggiNumeroLavoroCorrente(misura).value_or(0);
    const bool aperta = IniziaScritturaConfig();
    if (nLavoro < 1 || nLavoro > TotaleLavori(misura) || !aperta) return false;

    bool ok = true;
    if (GestioneFasi(misura)) {
        ok = ScriviConfigStringa(Misura(misura).indirizzoDati, l->NomeLavoro, kLunghezzaNome);
        for (int fase = 1; ok && fase <= NumeroMassimoFasi(misura); ++fase) ok = ScriviRecordLavoro(misura, fase, fase);
    } else {
        ok = ScriviRecordLavoro(misura, 1, nLavoro);
    }
    // A failed write leaves records to rebuild: the flag stays until a write went through.
    if (ok) l->LavoroStrutturaModificata = false;
    ok = FineScritturaConfig() && ok;
    // Only a work written whole is handed to the instrument to run.
    if (!ok) return false;
    const auto operazione = LeggiOperazioneCorrente(misura);
    return operazione && SelezionaLavoro(misura, *operazione) && ResetModificaRemota(misura);
}

bool UCZEM2::LeggiRecordLavoro(int misura, int fase, int record)
{
    const auto indirizzo = IndirizzoRecordLavoro(misura, record);
    FaseLavoro* p = FaseDi(misura, fase);
    if (!indirizzo || p == nullptr) return false;
    std::vector<std::uint8_t> bytes(Misura(misura).dimensioneLavoro);
    if (!ReadConfigBytes(*indirizzo, bytes)) return false;
    std::string nome;
    if (!RecordLavoro::Decodifica(FormatoLavoro(misura), bytes, Scala(misura), *p, nome)) return false;
    if (GestioneFasi(misura))
        p->NomeFase = std::move(nome);
    else
        LavoroDi(misura)->NomeLavoro = std::move(nome);
    return true;
}

bool UCZEM2::LeggiLavoro(int misura, int nLavoro)
{
    LavoroMisura* l = LavoroDi(misura);
    if (l == nullptr || TipoMisura(misura) == 0) return false;
    if (l->Fasi.size() != static_cast<std::size_t>(NumeroMassimoFasi(misura)) + 1) SvuotaBufferLavoro(misura);
    if (!GestioneFasi(misura)) {
        if (!LeggiRecordLavoro(misura, 1, nLavoro)) return false;
        l->LavoroStrutturaModificata = false;
        return true;
    }
    const auto nome = LeggiStringaConfig(Misura(misura).indirizzoDati, kLunghezzaNome);
    if (!nome) return false;
    l->NomeLavoro = *nome;
    for (int fase = 1; fase <= NumeroMassimoFasi(misura); ++fase) {
        if (!LeggiRecordLavoro(misura, fase, fase)) return false;
        l->LavoroStrutturaModificata = false;
    }
    return true;
}

// ---- Measure information without the rest of the configuration ----

bool UCZEM2::LeggiTabellaCurve(int misura)
{
    MisuraStrumento& m = misure_[static_cast<std::size_t>(misura - 1)];
    if (m.TipoMisura == 0 || formato_ != '5') return true;
    // From release 11 the table after the general part holds them; before, the measure record does.
    const std::uint32_t indirizzo = estensioni_ >= 11 ? kTabellaCurve + 6 * static_cast<std::uint32_t>(misura - 1)
                                                      : m.indirizzoRecord + (Pressa(m.TipoMisura) ? 31 : 25);
    std::array<std::uint8_t, 6> b{};
    if (!ReadConfigBytes(indirizzo, b)) return false;
    m.baseCurve = Tre(b, 0);
    m.dimensioneCurva = Tre(b, 3);
    return true;
}

bool UCZEM2::LeggiInfoMisure(bool& valido)
{
    valido = false;
    bool ok = ProvaIdentita() && LeggiVersione();
    std::vector<std::uint8_t> h(static_cast<std::size_t>(std::max(0, dimensioneConfigurazione_)));
    if (ok) ok = h.size() > 58 && ReadConfigBytes(0, h);
    if (ok) {
        valido = h[3] == '4' || h[3] == '5';
        if (valido) {
            formato_ = h[3];
            livelloLayout_ = formato_ == '4' ? 0 : (h[5] == 2 ? 2 : 1);
        }
    }
    const bool misureLette = ok && valido;
    if (misureLette) {
        auto parola = [&h](std::size_t i) { return static_cast<std::uint32_t>(h[i] | (h[i + 1] << 8)); };
        const auto conservate = misure_;
        misure_ = {};
        numeroMisure_ = 0;
        for (std::size_t m = 0; m < kMisure; ++m) misure_[m].NomeMisura = conservate[m].NomeMisura;
        if (formato_ == '5') {
            for (std::size_t m = 0; m < kMisure; ++m) misure_[m].indirizzoRecord = parola(22 + 2 * m);
            ok = LeggiMisureFormato5(h);
        } else {
            const std::size_t p = parola(54);
            ok = p < h.size();
            if (ok) {
                if (h[p] >= 1) misure_[0].indirizzoRecord = parola(56);
                if (h[p] >= 2) misure_[1].indirizzoRecord = misure_[0].indirizzoRecord + h[58];
                ok = LeggiMisureFormato4(h, p);
            }
        }
    }
    for (int m = 1; m <= kMisure; ++m) {
        if (ok && misureLette) ok = LeggiTabellaCurve(m);
        if (misureLette) SvuotaBufferLavoro(m);
    }
    if (ok && misureLette) {
        const int variante = formato_ == '4' ? 0 : h[5];
        for (std::uint32_t m = 0; ok && m < kMisure; ++m) {
            if (misure_[m].TipoMisura == 0) continue;
            const std::uint32_t a = variante == 0 ? 22 + 16 * m : variante == 1 ? 88 + 16 * m : 216 + 24 * m;
            const auto nome = LeggiStringaConfig(a, kLunghezzaNome);
            ok = nome.has_value();
            if (ok) misure_[m].NomeMisura = *nome;
        }
    }
    return ok;
}

} // namespace zem
