#include "main/DecodificaProfilo.h"

#include "link/UCZEM2.h"
#include "main/DatiStrumento.h"
#include "main/DurateCurve.h"
#include "main/TransferProgress.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace zem {

namespace {

constexpr std::uint32_t kPuntatori = 0x16;
constexpr std::uint32_t kBloccoMassimo = 66;  // record and data block of a peak or simplex measure
constexpr int kFisici = 8;                    // physical inputs and outputs
constexpr std::size_t kPezzo = 252;           // whole PRAM frames of 18 within one mailbox read of 255
constexpr std::array<std::int16_t, 5> kBaud = {1200, 2400, 4800, 9600, 19200};  // the rates a profile holds

bool Pressa(int tipo) { return tipo == 1 || tipo == 4; }

// Only the layout this program writes can be read back; an older one would give garbage.
bool FormatoAttuale(std::span<const std::uint8_t> generale)
{
    return generale.size() > 5 && generale[3] == '5' && generale[5] == 2;
}

std::string Indirizzo(std::uint32_t a)
{
    char testo[16];
    std::snprintf(testo, sizeof testo, "0x%04X", a);
    return testo;
}

using T = CampoProfilo::Tipo;

// A refused value is named in the technician's words.
std::string Campo(T tipo, int m = 0, int k = 0) { return CampoProfilo{tipo, m, k}.Nome(); }

// Bytes of the memory by address; a value out of its field's range is refused, never wrapped.
class Lettore {
public:
    Lettore(std::span<const std::uint8_t> generale, std::uint32_t baseMisure, std::span<const std::uint8_t> misure)
        : generale_(generale), baseMisure_(baseMisure), misure_(misure)
    {
    }

    std::uint8_t Byte(std::uint32_t a)
    {
        if (a < generale_.size()) return generale_[a];
        if (a >= baseMisure_ && a - baseMisure_ < misure_.size()) return misure_[a - baseMisure_];
        Rifiuta("address " + Indirizzo(a) + " lies outside the configuration read");
        return 0;
    }
    std::int16_t Parola(std::uint32_t a)
    {
        return static_cast<std::int16_t>(Byte(a) | (Byte(a + 1) << 8));
    }
    // A byte that must lie in 0..massimo.
    std::int16_t Entro(std::uint32_t a, int massimo, const std::string& campo) { return Limita(Byte(a), massimo, campo, a); }
    std::int16_t Limita(int v, int massimo, const std::string& campo, std::uint32_t a)
    {
        if (v > massimo) Rifiuta(campo + " at address " + Indirizzo(a) + " holds " + std::to_string(v)
                                 + ", outside 0.." + std::to_string(massimo));
        return static_cast<std::int16_t>(std::min(v, massimo));
    }
    std::string Stringa(std::uint32_t a, std::size_t massimo, const std::string& campo)
    {
        const std::size_t n = static_cast<std::size_t>(Limita(Byte(a), static_cast<int>(massimo), campo, a));
        std::string testo;
        for (std::size_t i = 1; i <= n; ++i) testo.push_back(static_cast<char>(Byte(static_cast<std::uint32_t>(a + i))));
        return testo;
    }
    void Rifiuta(const std::string& perche)
    {
        if (errore_.empty()) errore_ = perche;
    }
    const std::string& Errore() const { return errore_; }

private:
    std::span<const std::uint8_t> generale_;
    std::uint32_t baseMisure_;
    std::span<const std::uint8_t> misure_;
    std::string errore_;
};

// Input and output functions whose physical number the record of a measure type keeps.
std::vector<int> IngressiNelRecord(int tipo)
{
    if (Pressa(tipo)) return {1, 2, 3, 4, 5, 6, tipo == 4 ? 11 : 7, 8, 9, 14, 15, 16};
    return {1, 2, 3, 4, 5, 6, 8, 9, 12, 14, 16};
}
std::vector<int> UsciteNelRecord(int tipo, bool recente)
{
    std::vector<int> u = {1, 2, 3, 4, 12};
    if (!Pressa(tipo)) return u;
    u.insert(u.end(), {5, 6, 7, 8, 9});
    if (tipo == 4) u.push_back(10);
    if (recente) u.push_back(11);
    return u;
}

void LeggiRecord(Lettore& r, ProfiloZem& p, int m, std::uint32_t a, bool recente, std::vector<CampoProfilo>& nonLetti)
{
    const int tipo = r.Entro(a + 2, 4, Campo(T::TipoMisura, m));
    if (tipo == 0) r.Rifiuta(Campo(T::TipoMisura, m) + " at address " + Indirizzo(a + 2) + " is \"Not in use\" in a measure record");
    p.SetTipoMisura(m, static_cast<std::int16_t>(tipo));
    const std::uint8_t opzioni = r.Byte(a + 4);
    p.SetExternalStop(m, opzioni & 1);
    p.SetRequireComputer(m, opzioni & 2);
    p.SetConFasi(m, opzioni & 4);
    p.SetSelOpOnStart(m, opzioni & 8);
    p.SetOperazioniSelezionabili(m, r.Byte(a + 9));

    // Physical numbers 0..8; two share a byte at offsets 11, 13 and 17.
    auto in = [&](int k, std::uint32_t o, int quarto = -1) {
        const int v = quarto < 0 ? r.Byte(a + o) : quarto ? r.Byte(a + o) >> 4 : r.Byte(a + o) & 15;
        p.SetnInput(m, k, r.Limita(v, kFisici, Campo(T::nInput, m, k), a + o));
    };
    auto out = [&](int k, std::uint32_t o, int quarto = -1) {
        const int v = quarto < 0 ? r.Byte(a + o) : quarto ? r.Byte(a + o) >> 4 : r.Byte(a + o) & 15;
        p.SetnOutput(m, k, r.Limita(v, kFisici, Campo(T::nOutput, m, k), a + o));
    };
    in(1, 10);
    in(8, 11, 0);
    in(16, 11, 1);
    in(2, 12);
    in(3, 13, 0);
    in(14, 13, 1);
    in(4, 14);
    in(5, 15);
    in(6, 16);
    out(3, 17, 0);
    out(12, 17, 1);
    out(4, 18);
    out(1, 19);
    out(2, 20);

    auto manca = [&](T tipo) { nonLetti.push_back({tipo, m}); };
    if (Pressa(tipo)) {
        in(tipo == 4 ? 11 : 7, 21);
        in(9, 22);
        if (recente) out(11, 23);
        out(5, 24);
        const std::uint8_t bit = r.Byte(a + 25);
        if (tipo == 1) p.SetQuotaInizioOnStart(m, bit & 1);
        p.SetAutoOffset(m, bit & 2);
        p.SetAspettaQuotaZero(m, bit & 4);
        p.SetTrasduttoreX(m, r.Byte(a + 26) & 15);
        p.SetTrasduttoreY(m, r.Byte(a + 26) >> 4);
        p.SetForzaMassimaAssoluta(m, r.Parola(a + 27));
        if (tipo == 1) {
            p.SetCoeffA(m, r.Byte(a + 29));
            p.SetCoeffB(m, r.Byte(a + 30));
        } else {
            out(10, 30);
            for (const T t : {T::QuotaInizioOnStart, T::CoeffA, T::CoeffB}) manca(t);
        }
        in(15, 37);
        p.SetPresetPositionTrasd(m, r.Parola(a + 38));
        for (int k = 0; k < 4; ++k) out(6 + k, static_cast<std::uint32_t>(42 + k));
        manca(T::NomeValore);
    } else {
        in(9, 21);
        in(12, 22);
        p.SetTrasduttoreY(m, r.Byte(a + 24));
        // Offset 31 is also the first byte of the data block, which holds 0: the function-13
        // input comes from the I/O tables.
        p.SetNomeValore(m, r.Stringa(a + 31 + 19, 15, Campo(T::NomeValore, m)));
        for (const T t : {T::TrasduttoreX, T::QuotaInizioOnStart, T::AspettaQuotaZero, T::AutoOffset,
                          T::ForzaMassimaAssoluta, T::CoeffA, T::CoeffB, T::PresetPositionTrasd})
            manca(t);
    }
    for (const T t : {T::AquireSpeed, T::EncoderResetMode, T::Messaggi}) manca(t);
}

std::uint32_t Valore24(Lettore& r, std::uint32_t a) { return r.Byte(a) | r.Byte(a + 1) << 8 | r.Byte(a + 2) << 16; }

// The curve-memory base and size of each measure: in the record for types 2 and 3, and for types
// 1 and 4 before release 11; else in the table after the general part.
std::array<QuotaCurve, 6> LeggiQuote(Lettore& r, const ProfiloZem& p, bool recente)
{
    std::array<QuotaCurve, 6> quote{};
    for (std::uint32_t i = 0; i < 6; ++i) {
        const int tipo = p.TipoMisura(static_cast<int>(i + 1));
        if (tipo == 0) continue;
        const std::uint32_t record = static_cast<std::uint16_t>(r.Parola(kPuntatori + 2 * i));
        const std::uint32_t a = !Pressa(tipo) ? record + 25 : recente ? 0x168 + 6 * i : record + 31;
        quote[i] = {Valore24(r, a), Valore24(r, a + 3)};
    }
    return quote;
}

// The durations behind the shares, as far as the shares tell them.
void DaQuote(Lettore& r, ProfiloZem& p, const UCZEM2& link, DecodificaProfilo::Esito& esito)
{
    const auto durate = RicostruisciDurate(p, LeggiDatiStrumento(link, p), LeggiQuote(r, p, link.Estensioni() > 10));
    for (int m = 1; m <= ProfiloZem::kMisure; ++m)
        if (p.TipoMisura(m) != 0)
            (durate.ricavata[static_cast<std::size_t>(m - 1)] ? esito.ricavati : esito.nonLetti).push_back({T::DurataCurve, m});
}

// A function the record has no room for still shows in the I/O tables: the function on a physical
// number and the measures that use it. A number two functions share shows neither.
void DaTabelle(Lettore& r, ProfiloZem& p, bool recente)
{
    for (int m = 1; m <= ProfiloZem::kMisure; ++m) {
        const int tipo = p.TipoMisura(m);
        if (tipo == 0) continue;
        const auto ingressi = IngressiNelRecord(tipo);
        const auto uscite = UsciteNelRecord(tipo, recente);
        for (int k = 1; k <= ProfiloZem::kFunzioniIngresso; ++k)
            if (std::ranges::find(ingressi, k) == ingressi.end()) p.SetnInput(m, k, 0);
        for (int k = 1; k <= ProfiloZem::kFunzioniUscita; ++k)
            if (std::ranges::find(uscite, k) == uscite.end()) p.SetnOutput(m, k, 0);
        for (std::uint32_t n = 0; n < kFisici; ++n) {
            const int fi = r.Byte(0xB8 + n), fu = r.Byte(0xC0 + n);
            if ((r.Byte(0xC8 + n) >> (m - 1) & 1) && fi >= 1 && fi <= ProfiloZem::kFunzioniIngresso
                && std::ranges::find(ingressi, fi) == ingressi.end())
                p.SetnInput(m, fi, static_cast<std::int16_t>(n + 1));
            if ((r.Byte(0xD0 + n) >> (m - 1) & 1) && fu >= 1 && fu <= ProfiloZem::kFunzioniUscita
                && std::ranges::find(uscite, fu) == uscite.end())
                p.SetnOutput(m, fu, static_cast<std::int16_t>(n + 1));
        }
    }
}

// One step of the import: `dati` read from `indirizzo` in pieces, the bar moving by bytes. The
// error, or nothing once read; a stop asked for ends it between two pieces.
std::string LeggiParte(UCZEM2& link, std::uint32_t indirizzo, std::span<std::uint8_t> dati, const std::string& passo,
                       TransferProgress& progress)
{
    progress.ShowProgress("Import profile", static_cast<int>(dati.size()));
    progress.ShowStatus(passo);
    for (std::size_t fatto = 0; fatto < dati.size();) {
        if (progress.Closing()) return DecodificaProfilo::kFermato;
        const std::size_t n = std::min(kPezzo, dati.size() - fatto);
        if (!link.ReadConfigBytes(static_cast<std::uint32_t>(indirizzo + fatto), dati.subspan(fatto, n)))
            return "Communication error";
        for (std::size_t i = 0; i < n; ++i) progress.Advance();
        fatto += n;
    }
    return {};
}

} // namespace

DecodificaProfilo::Esito DecodificaProfilo::Decodifica(std::span<const std::uint8_t> generale, std::uint32_t baseMisure,
                                                       std::span<const std::uint8_t> misure, const UCZEM2& link,
                                                       const ProfiloZem& modello)
{
    Esito esito;
    Lettore r(generale, baseMisure, misure);
    if (!FormatoAttuale(generale)) {
        esito.errore = kFormatoVecchio;
        return esito;
    }
    ProfiloZem p = modello;
    const bool recente = link.Estensioni() > 10;

    p.Nome = r.Stringa(0x58, 20, Campo(T::Nome));
    p.TipoSinottico = r.Byte(0x4D);
    p.nInputDato = r.Byte(0x4E);
    p.nInputClock = r.Byte(0x4F);
    p.nOutputClear = r.Byte(0x51);
    p.IndirizzoRS485 = r.Byte(0x53);
    // The memory keeps the serial divisor; a rate is read back when one of the usual rates gives it.
    const std::uint8_t codice = r.Byte(0x54);
    // The slow rates share the largest divisor: only a divisor one rate alone gives names it.
    std::vector<std::int16_t> rate;
    for (const std::int16_t b : kBaud)
        if (std::clamp(link.CalcolaSpeedCOMM(b).divisore, 0, 255) == codice) rate.push_back(b);
    if (rate.size() == 1) p.BaudrateCOMM = rate.front();
    else esito.nonLetti.push_back({T::BaudrateCOMM});
    esito.nonLetti.push_back({T::nInputLoad});

    for (int m = 1; m <= ProfiloZem::kMisure; ++m) {
        const auto i = static_cast<std::uint32_t>(m - 1);
        p.SetNomeMisura(m, r.Stringa(0xD8 + 24 * i, 23, Campo(T::NomeMisura, m)));
        const auto record = static_cast<std::uint16_t>(r.Parola(kPuntatori + 2 * i));
        if (record == 0) {
            // An unused measure has no record: only its name is kept.
            p.SetTipoMisura(m, 0);
            esito.nonLetti.push_back({T::Misura, m});
            continue;
        }
        LeggiRecord(r, p, m, record, recente, esito.nonLetti);
    }
    DaTabelle(r, p, recente);
    if (r.Errore().empty()) DaQuote(r, p, link, esito);
    if (!r.Errore().empty()) {
        esito.nonLetti.clear();
        esito.ricavati.clear();
        esito.errore = r.Errore();
        return esito;
    }
    // A profile open but never saved: no file of its own yet.
    p.Modificato = true;
    p.Vuoto = false;
    esito.profilo = std::move(p);
    return esito;
}

DecodificaProfilo::Esito DecodificaProfilo::Leggi(UCZEM2& link, const ProfiloZem& modello, TransferProgress& progress)
{
    Esito esito;
    std::vector<std::uint8_t> generale(kFineGenerale);
    esito.errore = LeggiParte(link, 0, generale, "Reading the instrument's settings", progress);
    if (!esito.errore.empty()) return esito;
    if (!FormatoAttuale(generale)) return Decodifica(generale, 0, {}, link, modello);
    // The measure blocks lie one after the other: one read from the first to the end of the last.
    std::uint32_t primo = 0xFFFF, ultimo = 0;
    for (std::uint32_t i = 0; i < ProfiloZem::kMisure; ++i) {
        const std::uint32_t a = generale[kPuntatori + 2 * i] | generale[kPuntatori + 2 * i + 1] << 8;
        if (a == 0) continue;
        primo = std::min(primo, a);
        ultimo = std::max(ultimo, a + kBloccoMassimo);
    }
    std::vector<std::uint8_t> misure(ultimo > primo ? ultimo - primo : 0);
    esito.errore = LeggiParte(link, primo, misure, "Reading the measures", progress);
    if (!esito.errore.empty()) return esito;
    return Decodifica(generale, primo, misure, link, modello);
}

} // namespace zem
