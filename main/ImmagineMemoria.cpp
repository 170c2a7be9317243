#include "main/ImmagineMemoria.h"

#include "link/ScalaMisura.h"
#include "profile/ProfiloZem.h"

#include <algorithm>
#include <string>

namespace zem {

namespace {

constexpr std::uint32_t kLimiteIndirizzo = 0xFFFF;
constexpr const char* kFirma = "ZEM5";  // signature and format, the last bytes written
constexpr std::uint8_t kVariante = 2;       // names at 0x58 and 0xD8
constexpr std::uint8_t kModo = 3;
constexpr std::uint8_t kBitUpdateMode = 0x80;
constexpr std::uint8_t kBaseTempo = 20;     // 1 ms sampling
constexpr std::uint32_t kRecordPressa = 0x2E;
constexpr std::uint32_t kRecordValore = 0x1F;

bool Pressa(int tipo) { return tipo == 1 || tipo == 4; }

// Collects the writes of one area at a time; a write outside the area it belongs to, or past the
// memory, spoils the image instead of landing on someone else's bytes.
class Scrittore {
public:
    Scrittore(std::vector<ScritturaImmagine>& out, std::int64_t dimensioneMemoria)
        : out_(out), limite_(std::min<std::int64_t>(dimensioneMemoria, kLimiteIndirizzo + 1))
    {
    }

    void Area(std::uint32_t inizio, std::uint32_t fine)
    {
        inizio_ = inizio;
        fine_ = fine;
    }
    void Grezzo(std::uint32_t a, std::uint8_t v)
    {
        if (a < inizio_ || a >= fine_ || a >= limite_) fuori_ = true;
        out_.push_back({a, v});
    }
    // A single byte: values outside 0..255 are held at the nearest end.
    void Byte(std::uint32_t a, std::int64_t v) { Grezzo(a, static_cast<std::uint8_t>(std::clamp<std::int64_t>(v, 0, 255))); }
    // Two or three bytes, low first, of the value's two's complement.
    void Parola(std::uint32_t a, std::int64_t v)
    {
        Grezzo(a, static_cast<std::uint8_t>(v & 0xFF));
        Grezzo(a + 1, static_cast<std::uint8_t>((v & 0xFF00) >> 8));
    }
    void Tre(std::uint32_t a, std::int64_t v)
    {
        Parola(a, v);
        Grezzo(a + 2, static_cast<std::uint8_t>((v & 0xFF0000) >> 16));
    }
    // Length byte and `massimo` character bytes, 0 after the text. The length never claims more
    // characters than were written.
    void Stringa(std::uint32_t a, const std::string& testo, std::size_t massimo)
    {
        const std::size_t n = std::min(testo.size(), massimo);
        Grezzo(a, static_cast<std::uint8_t>(n));
        for (std::size_t i = 1; i <= massimo; ++i)
            Grezzo(static_cast<std::uint32_t>(a + i), i <= n ? static_cast<std::uint8_t>(testo[i - 1]) : 0);
    }
    bool Fuori() const { return fuori_; }

private:
    std::vector<ScritturaImmagine>& out_;
    std::int64_t limite_;
    std::uint32_t inizio_ = 0, fine_ = 0;
    bool fuori_ = false;
};

// Two physical numbers in one byte, low nibble first.
std::int64_t Coppia(std::int64_t basso, std::int64_t alto)
{
    return std::clamp<std::int64_t>(basso, 0, 15) + 16 * std::clamp<std::int64_t>(alto, 0, 15);
}

void ScriviRecordMisura(Scrittore& w, const ProfiloZem& p, const DatiStrumento& s, const IndirizziMemoria& ind,
                        int m, bool mantieniLavori)
{
    const std::size_t i = static_cast<std::size_t>(m - 1);
    const int tipo = p.TipoMisura(m);
    const std::uint32_t r = ind.indirizzoRecord[i];
    const bool vecchio = s.protocollo == 14 && s.estensioni == 0;
    auto in = [&](int k) -> std::int64_t { return p.nInput(m, k); };
    auto out = [&](int k) -> std::int64_t { return p.nOutput(m, k); };

    w.Area(r, r + ind.dimensioneBlocco[i]);
    w.Byte(r + 0, Pressa(tipo) ? kRecordPressa : kRecordValore);
    w.Byte(r + 1, Pressa(tipo) ? (vecchio ? 0x18 : 0x12) : tipo == 2 ? (vecchio ? 0x13 : 0x23) : (vecchio ? 0x08 : 0x23));
    w.Byte(r + 2, tipo);
    if (!mantieniLavori) w.Byte(r + 3, 0);
    w.Byte(r + 4, (p.ExternalStop(m) ? 1 : 0) | (p.RequireComputer(m) ? 2 : 0) | (p.ConFasi(m) ? 4 : 0)
                      | (p.SelOpOnStart(m) ? 8 : 0));
    w.Parola(r + 5, ind.indirizzoLavori[i]);
    w.Parola(r + 7, ind.dimensioneLavoro[i]);
    w.Byte(r + 9, p.OperazioniSelezionabili(m));
    w.Byte(r + 10, in(1));
    w.Byte(r + 11, Coppia(in(8), in(16)));
    w.Byte(r + 12, in(2));
    w.Byte(r + 13, Coppia(in(3), in(14)));
    w.Byte(r + 14, in(4));
    w.Byte(r + 15, in(5));
    w.Byte(r + 16, in(6));
    w.Byte(r + 17, Coppia(out(3), out(12)));
    w.Byte(r + 18, out(4));
    w.Byte(r + 19, out(1));
    w.Byte(r + 20, out(2));

    const bool recente = s.estensioni > 10;
    std::uint32_t dati = 0;
    if (Pressa(tipo)) {
        w.Byte(r + 21, tipo == 4 ? in(11) : in(7));
        w.Byte(r + 22, in(9));
        w.Byte(r + 23, recente ? out(11) : 0);
        w.Byte(r + 24, out(5));
        w.Byte(r + 25, (p.QuotaInizioOnStart(m) || tipo == 4 ? 1 : 0) | (p.AutoOffset(m) ? 2 : 0)
                           | (p.AspettaQuotaZero(m) ? 4 : 0));
        w.Byte(r + 26, (p.TrasduttoreY(m) & 15) * 16 + (p.TrasduttoreX(m) & 15));
        w.Parola(r + 27, p.ForzaMassimaAssoluta(m));
        w.Byte(r + 29, tipo == 4 ? 0 : p.CoeffA(m));
        w.Byte(r + 30, tipo == 4 ? out(10) : p.CoeffB(m));
        w.Tre(r + 31, recente ? 0 : ind.baseCurve[i]);
        w.Tre(r + 34, recente ? 0 : ind.dimensioneCurva[i]);
        w.Byte(r + 37, in(15));
        w.Parola(r + 38, p.PresetPositionTrasd(m));
        w.Parola(r + 40, 0);
        for (int k = 0; k < 4; ++k) w.Byte(r + 42 + static_cast<std::uint32_t>(k), out(6 + k));
        dati = r + kRecordPressa;
        w.Byte(dati + 0, 0);
        w.Byte(dati + 16, ind.valoreDopoRecord[i]);
        w.Byte(dati + 17, 0);
    } else {
        w.Byte(r + 21, in(9));
        w.Byte(r + 22, in(12));
        w.Byte(r + 23, 0);
        w.Byte(r + 24, p.TrasduttoreY(m));
        w.Tre(r + 25, ind.baseCurve[i]);
        w.Tre(r + 28, ind.dimensioneCurva[i]);
        // Byte 31 is the first of the data block too, which clears it right after.
        w.Byte(r + 31, in(13));
        dati = r + kRecordValore;
        w.Byte(dati + 0, 0);
        w.Byte(dati + 16, ind.valoreDopoRecord[i]);
        w.Byte(dati + 17, 2);
        w.Byte(dati + 18, 2);
        w.Stringa(dati + 19, p.NomeValore(m), 15);
    }
}

void ScriviParteGenerale(Scrittore& w, const ProfiloZem& p, const DatiStrumento& s, const IndirizziMemoria& ind)
{
    w.Area(4, ind.baseMisure);
    w.Byte(4, kModo | (s.updateMode ? kBitUpdateMode : 0));
    w.Byte(5, kVariante);
    for (std::size_t i = 0; i < 6; ++i)
        w.Parola(static_cast<std::uint32_t>(0x16 + 2 * i), p.TipoMisura(static_cast<int>(i + 1)) != 0 ? ind.indirizzoRecord[i] : 0);
    for (std::uint32_t k = 0; k < 6; ++k) {
        w.Byte(0x22 + 2 * k, s.taratura[k].unita);
        w.Byte(0x23 + 2 * k, s.taratura[k].decimali);
    }
    for (std::uint32_t k = 0; k < 6; ++k)
        w.Parola(0x2E + 2 * k, ScalaMisura::Parola(static_cast<double>(s.taratura[k].gain) * 10000.0));
    w.Byte(0x3B, 0);
    w.Byte(0x3C, kBaseTempo);
    w.Byte(0x3D, s.opzioneTrasduttori);
    w.Byte(0x3E, 0);
    w.Byte(0x3F, s.configurazioneAnalogica);
    for (std::uint32_t k = 0; k < 6; ++k) w.Parola(0x40 + 2 * k, s.taratura[k].offset);
    w.Byte(0x4C, 0);
    w.Byte(0x4D, p.TipoSinottico);
    w.Byte(0x4E, p.nInputDato);
    w.Byte(0x4F, p.nInputClock);
    w.Byte(0x50, (s.taratura[1].reverse ? 1 : 0) | (s.taratura[4].reverse ? 2 : 0));
    w.Byte(0x51, p.nOutputClear);
    w.Byte(0x52, 10);
    w.Byte(0x53, p.IndirizzoRS485);
    w.Byte(0x54, s.codiceBaud);
    w.Stringa(0x58, p.Nome, 20);
    for (std::uint32_t n = 0; n < 8; ++n) w.Byte(0xB8 + n, p.TipoIngresso(static_cast<int>(n)));
    for (std::uint32_t n = 0; n < 8; ++n) w.Byte(0xC0 + n, p.TipoUscita(static_cast<int>(n)));
    for (std::uint32_t n = 0; n < 8; ++n) w.Byte(0xC8 + n, p.MascheraIngresso(static_cast<int>(n)));
    for (std::uint32_t n = 0; n < 8; ++n) w.Byte(0xD0 + n, p.MascheraUscita(static_cast<int>(n)));
    for (std::uint32_t m = 0; m < 6; ++m) w.Stringa(0xD8 + 24 * m, p.NomeMisura(static_cast<int>(m + 1)), 23);
    for (std::size_t i = 0; i < 6; ++i) {
        if (!ind.voceTabella[i]) continue;
        const auto a = static_cast<std::uint32_t>(IndirizziMemoria::kTabellaCurve + 6 * i);
        w.Tre(a, ind.baseCurve[i]);
        w.Tre(a + 3, ind.dimensioneCurva[i]);
    }
}

} // namespace

std::optional<ImmagineMemoria> ImmagineMemoria::Costruisci(const ProfiloZem& p, const DatiStrumento& s,
                                                           bool mantieniLavori)
{
    const auto indirizzi = CalcolaIndirizzi(p, s);
    if (!indirizzi) return std::nullopt;
    ImmagineMemoria immagine;
    immagine.indirizzi = *indirizzi;
    const IndirizziMemoria& ind = immagine.indirizzi;
    auto& out = immagine.scritture;
    out.reserve(ind.baseLavori + (mantieniLavori ? 0 : ind.dimensioneLavori) + 64);
    Scrittore w(out, s.dimensioneMemoria);

    w.Area(0, 4);
    for (std::uint32_t a = 0; a < 4; ++a) w.Grezzo(a, 0);
    // An unused measure has no block of its own: a record written for it would land on the next
    // measure's record or in the first works area.
    for (int m = 1; m <= 6; ++m)
        if (p.TipoMisura(m) != 0) ScriviRecordMisura(w, p, s, ind, m, mantieniLavori);
    if (!mantieniLavori) {
        for (std::size_t i = 0; i < 6; ++i) {
            const std::uint32_t inizio = ind.indirizzoLavori[i];
            const std::uint32_t fine = inizio + ind.dimensioneLavoro[i] * ind.numeroRecordLavoro[i];
            w.Area(inizio, fine);
            for (std::uint32_t a = inizio; a < fine; ++a) w.Grezzo(a, 0);
        }
    }
    ScriviParteGenerale(w, p, s, ind);
    w.Area(0, 4);
    for (std::uint32_t a = 0; a < 4; ++a) w.Grezzo(a, static_cast<std::uint8_t>(kFirma[a]));
    if (w.Fuori()) return std::nullopt;
    return immagine;
}

} // namespace zem
