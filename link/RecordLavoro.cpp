#include "link/RecordLavoro.h"

#include "link/CodificaFascia.h"

#include <algorithm>

namespace zem {

namespace {

constexpr std::uint32_t kFineNome = RecordLavoro::kOffsetNome + 1 + RecordLavoro::kLunghezzaNome;  // 22
constexpr std::uint32_t kDatiPressa = 73;  // phase data of types 1 and 4 up to the envelope
constexpr std::uint32_t kDatiPiccoPicco = 19;
constexpr std::uint32_t kDatiSemplice = 7;
constexpr std::uint32_t kCheckPoint = 25;
constexpr std::uint32_t kByteAusiliario = 72;
constexpr std::uint32_t kVoce = 6;
constexpr std::uint32_t kMarcatoreSemplice = 30;

bool Pressa(int tipo) { return tipo == 1 || tipo == 4; }

// Graph scale words between the name and the phase data.
std::uint32_t FineScale(int tipo)
{
    if (Pressa(tipo)) return kFineNome + 6;
    if (tipo == 2) return kFineNome + 8;
    return kFineNome;
}

class Scrittore {
public:
    void Byte(std::uint32_t offset, double raw) { campi.push_back({offset, {ScalaMisura::Byte(raw)}}); }
    void Parola(std::uint32_t offset, double raw)
    {
        const std::uint16_t v = ScalaMisura::Parola(raw);
        campi.push_back({offset, {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)}});
    }
    void Nome(std::uint32_t offset, const std::string& nome)
    {
        const std::size_t n = std::min(nome.size(), RecordLavoro::kLunghezzaNome);
        CampoRecord c{offset, {static_cast<std::uint8_t>(n)}};
        c.bytes.insert(c.bytes.end(), nome.begin(), nome.begin() + static_cast<std::ptrdiff_t>(n));
        campi.push_back(std::move(c));
    }
    std::vector<CampoRecord> campi;
};

class Lettore {
public:
    explicit Lettore(std::span<const std::uint8_t> r) : r_(r) {}
    double Byte(std::uint32_t offset) const { return r_[offset]; }
    double Parola(std::uint32_t offset) const { return r_[offset] | (r_[offset + 1] << 8); }

private:
    std::span<const std::uint8_t> r_;
};

void ScriviBordo(Scrittore& s, std::uint32_t base, const std::vector<VoceFascia>& voci)
{
    for (std::size_t k = 0; k < voci.size(); ++k) {
        const auto a = static_cast<std::uint32_t>(base + kVoce * k);
        s.Parola(a, voci[k].quota);
        s.Parola(a + 2, voci[k].forza);
        s.Parola(a + 4, voci[k].pendenza);
    }
}

} // namespace

std::uint8_t RecordLavoro::OffsetRicostruzione(int tipo, int livello)
{
    if (livello == 0 || Pressa(tipo)) return 28;
    return tipo == 2 ? 30 : 22;
}

std::int16_t RecordLavoro::PrescalerPredefinito(int tipo)
{
    if (tipo == 2) return 10;
    if (tipo == 4) return 50;
    return 1;
}

bool RecordLavoro::OffsetValido(const FormatoRecord& formato, std::uint32_t o)
{
    if (formato.tipo < 1 || formato.tipo > 4 || o < FineScale(formato.tipo)) return false;
    std::size_t fine = 0;
    if (Pressa(formato.tipo)) {
        if (formato.puntiFascia < 0 || formato.puntiFascia > 256 || o + kDatiPressa > 255) return false;
        fine = o + kDatiPressa + 2 + 2 * kVoce * static_cast<std::size_t>(formato.puntiFascia);
    } else {
        fine = o + (formato.tipo == 2 ? kDatiPiccoPicco : kDatiSemplice);
    }
    return fine <= formato.dimensione;
}

std::optional<std::vector<std::uint8_t>> RecordLavoro::Ricostruito(const FormatoRecord& formato, FaseLavoro& fase)
{
    const std::uint8_t o = OffsetRicostruzione(formato.tipo, formato.livello);
    if (!OffsetValido(formato, o)) return std::nullopt;
    std::vector<std::uint8_t> r(formato.dimensione, 0);
    // Level bytes beyond a short record are left out rather than spilled into the next record.
    auto metti = [&r](std::size_t at, std::int32_t v) {
        if (at < r.size()) r[at] = ScalaMisura::Byte(v);
    };
    fase.AcqPrescaler = PrescalerPredefinito(formato.tipo);
    if (formato.livello == 0) {
        metti(49, fase.AcqPrescaler);
        metti(50, fase.MaxPuntiCoda);
    } else if (Pressa(formato.tipo)) {
        metti(50, fase.AcqPrescaler);
        metti(51, fase.MaxPuntiCoda);
    } else if (formato.tipo == 2) {
        metti(48, fase.AcqPrescaler);
    } else {
        fase.MarcatoreRecord = 4;
        metti(kMarcatoreSemplice, 4);
    }
    return r;
}

std::optional<std::vector<CampoRecord>> RecordLavoro::Campi(const FormatoRecord& formato, std::uint8_t o,
                                                            const std::string& nome, FaseLavoro& fase,
                                                            const ScalaMisura& scala)
{
    if (!OffsetValido(formato, o)) return std::nullopt;
    Scrittore s;
    s.Nome(kOffsetNome, nome);
    const std::uint32_t O = o;
    const int tipo = formato.tipo;
    if (Pressa(tipo)) {
        s.Parola(22, ScalaMisura::ScalaARaw(fase.QuotaOrigineGrafico, scala.decimaliQuota));
        s.Parola(24, ScalaMisura::ScalaARaw(fase.QuotaFondoScalaGrafico, scala.decimaliQuota));
        s.Parola(26, ScalaMisura::ScalaARaw(fase.ForzaFondoScalaGrafico, scala.decimaliForza));
        s.Byte(O, fase.Flags & 0xFF);
        const float forze[] = {fase.ForzaStop, fase.LimiteForzaMin, fase.LimiteForzaMax, fase.ForzaZero};
        for (std::uint32_t i = 0; i < 4; ++i) s.Parola(O + 1 + 2 * i, scala.ForzaARaw(forze[i]));
        const float quote[] = {fase.QuotaStop, fase.LimiteQuotaMin, fase.LimiteQuotaMax,
                               fase.QuotaInizioMin, fase.QuotaInizioMax, fase.QuotaFreno};
        for (std::uint32_t i = 0; i < 6; ++i) s.Parola(O + 9 + 2 * i, scala.QuotaARaw(quote[i]));
        if (tipo == 4) s.Byte(O + 21, fase.AcqPrescaler);
        s.Byte(O + 22, fase.MaxPuntiCoda);
        s.Byte(O + 23, fase.FlagsArresto & 0xFF);
        s.Byte(O + 24, ScalaMisura::StopDelayARaw(fase.StopDelay));
        for (int k = 1; k <= formato.NumeroCheckPoint(); ++k) {
            const auto i = static_cast<std::size_t>(k);
            const CheckPoint c = i < fase.CheckPoints.size() ? fase.CheckPoints[i] : CheckPoint{};
            const auto a = static_cast<std::uint32_t>(O + kCheckPoint + 6 * (k - 1));
            s.Parola(a, scala.QuotaARaw(c.Quota));
            s.Parola(a + 2, scala.ForzaARaw(c.ForzaMinima));
            s.Parola(a + 4, scala.ForzaARaw(c.ForzaMassima));
        }
        if (formato.estensioni > 9) s.Byte(O + kByteAusiliario, fase.ByteAusiliario);
        const std::uint32_t e = O + kDatiPressa;
        const auto n = static_cast<std::size_t>(formato.puntiFascia);
        // The record holds n points a border; more never reach the instrument.
        if (fase.BordoInferiore.size() > n) fase.BordoInferiore.resize(n);
        if (fase.BordoSuperiore.size() > n) fase.BordoSuperiore.resize(n);
        const auto inferiore = CodificaBordo(fase.BordoInferiore, scala);
        const auto superiore = CodificaBordo(fase.BordoSuperiore, scala);
        s.Byte(e, inferiore.empty() ? 0 : static_cast<double>(inferiore.size() - 1));
        s.Byte(e + 1, superiore.empty() ? 0 : static_cast<double>(superiore.size() - 1));
        ScriviBordo(s, e + 2, inferiore);
        ScriviBordo(s, static_cast<std::uint32_t>(e + 2 + kVoce * n), superiore);
        s.Byte(kOffsetFascia, e);
    } else if (tipo == 2) {
        s.Parola(22, ScalaMisura::ScalaARaw(fase.TempoOrigineGrafico, scala.decimaliTempo));
        s.Parola(24, ScalaMisura::ScalaARaw(fase.TempoFondoScalaGrafico, scala.decimaliTempo));
        s.Parola(26, ScalaMisura::ScalaARaw(fase.ValoreOrigineGrafico, scala.decimaliValore));
        s.Parola(28, ScalaMisura::ScalaARaw(fase.ValoreFondoScalaGrafico, scala.decimaliValore));
        s.Byte(O, fase.Flags & 0xFF);
        s.Parola(O + 1, scala.TempoACampioni(fase.TempoStart));
        s.Parola(O + 3, scala.TempoPrescalatoACampioni(fase.TempoStop, fase.AcqPrescaler));
        const float valori[] = {fase.LimiteMin,      fase.LimiteMax,      fase.LimitePkPkMin,
                                fase.LimitePkPkMax,  fase.LimiteMediaMin, fase.LimiteMediaMax};
        for (std::uint32_t i = 0; i < 6; ++i) s.Parola(O + 5 + 2 * i, scala.ValoreARaw(valori[i]));
        s.Byte(O + 18, fase.FlagsArresto & 0xFF);
    } else {
        s.Byte(O, fase.Flags & 0xFF);
        s.Parola(O + 1, scala.TempoACampioni(fase.TempoStart));
        s.Parola(O + 3, scala.ValoreARaw(fase.LimiteMin));
        s.Parola(O + 5, scala.ValoreARaw(fase.LimiteMax));
    }
    s.Byte(kOffsetFasi, O);
    return std::move(s.campi);
}

bool RecordLavoro::Decodifica(const FormatoRecord& formato, std::span<const std::uint8_t> record,
                              const ScalaMisura& scala, FaseLavoro& fase, std::string& nome)
{
    FormatoRecord f = formato;
    f.dimensione = record.size();
    // A record that could not hold this type's phase at all is not one of its records.
    if (!OffsetValido(f, OffsetRicostruzione(formato.tipo, formato.livello))) return false;
    const std::size_t l = std::min<std::size_t>(record[kOffsetNome], kLunghezzaNome);
    std::string letto(record.begin() + kOffsetNome + 1, record.begin() + static_cast<std::ptrdiff_t>(kOffsetNome + 1 + l));
    const std::uint32_t O = record[kOffsetFasi];
    if (O == 0) {
        nome = std::move(letto);
        return true;
    }
    if (!OffsetValido(f, O)) return false;
    const Lettore r(record);
    FaseLavoro d = fase;
    const int tipo = formato.tipo;
    d.Flags = static_cast<std::int16_t>(r.Byte(O));
    if (Pressa(tipo)) {
        const std::uint32_t e = record[kOffsetFascia];
        const auto n = static_cast<std::size_t>(formato.puntiFascia);
        if (e < O + kDatiPressa || e + 2 + 2 * kVoce * n > record.size()) return false;
        const std::size_t segmentiInf = record[e], segmentiSup = record[e + 1];
        const std::size_t puntiInf = segmentiInf > 0 ? segmentiInf + 1 : 0;
        const std::size_t puntiSup = segmentiSup > 0 ? segmentiSup + 1 : 0;
        if (puntiInf > n || puntiSup > n) return false;
        d.QuotaOrigineGrafico = ScalaMisura::RawAScala(r.Parola(22), scala.decimaliQuota);
        d.QuotaFondoScalaGrafico = ScalaMisura::RawAScala(r.Parola(24), scala.decimaliQuota);
        d.ForzaFondoScalaGrafico = ScalaMisura::RawAScala(r.Parola(26), scala.decimaliForza);
        float* forze[] = {&d.ForzaStop, &d.LimiteForzaMin, &d.LimiteForzaMax, &d.ForzaZero};
        for (std::uint32_t i = 0; i < 4; ++i) *forze[i] = scala.RawAForza(r.Parola(O + 1 + 2 * i));
        float* quote[] = {&d.QuotaStop, &d.LimiteQuotaMin, &d.LimiteQuotaMax,
                          &d.QuotaInizioMin, &d.QuotaInizioMax, &d.QuotaFreno};
        for (std::uint32_t i = 0; i < 6; ++i) *quote[i] = scala.RawAQuota(r.Parola(O + 9 + 2 * i));
        d.AcqPrescaler = tipo == 4 ? static_cast<std::int16_t>(r.Byte(O + 21)) : PrescalerPredefinito(tipo);
        d.MaxPuntiCoda = static_cast<std::int16_t>(r.Byte(O + 22));
        d.FlagsArresto = static_cast<std::int16_t>(r.Byte(O + 23));
        d.StopDelay = ScalaMisura::RawAStopDelay(r.Byte(O + 24));
        const int checkPoint = formato.NumeroCheckPoint();
        d.CheckPoints.assign(static_cast<std::size_t>(checkPoint) + 1, CheckPoint{});
        for (int k = 1; k <= checkPoint; ++k) {
            const auto a = static_cast<std::uint32_t>(O + kCheckPoint + 6 * (k - 1));
            d.CheckPoints[static_cast<std::size_t>(k)] = {scala.RawAQuota(r.Parola(a)), scala.RawAForza(r.Parola(a + 2)),
                                                          scala.RawAForza(r.Parola(a + 4))};
        }
        if (formato.estensioni > 9) d.ByteAusiliario = static_cast<std::int16_t>(r.Byte(O + kByteAusiliario));
        auto bordo = [&](std::size_t base, std::size_t punti) {
            std::vector<VoceFascia> voci(punti);
            for (std::size_t k = 0; k < punti; ++k) {
                const auto a = static_cast<std::uint32_t>(base + kVoce * k);
                voci[k] = {static_cast<std::uint16_t>(r.Parola(a)), static_cast<std::uint16_t>(r.Parola(a + 2)),
                           static_cast<std::uint16_t>(r.Parola(a + 4))};
            }
            return DecodificaBordo(voci, scala);
        };
        d.BordoInferiore = bordo(e + 2, puntiInf);
        d.BordoSuperiore = bordo(e + 2 + kVoce * n, puntiSup);
    } else if (tipo == 2) {
        d.TempoOrigineGrafico = ScalaMisura::RawAScala(r.Parola(22), scala.decimaliTempo);
        d.TempoFondoScalaGrafico = ScalaMisura::RawAScala(r.Parola(24), scala.decimaliTempo);
        d.ValoreOrigineGrafico = ScalaMisura::RawAScala(r.Parola(26), scala.decimaliValore);
        d.ValoreFondoScalaGrafico = ScalaMisura::RawAScala(r.Parola(28), scala.decimaliValore);
        // The prescaler byte of a rebuilt record is covered by the stop flags, so the default stands.
        d.AcqPrescaler = PrescalerPredefinito(tipo);
        d.TempoStart = scala.CampioniATempo(r.Parola(O + 1));
        d.TempoStop = scala.CampioniATempoPrescalato(r.Parola(O + 3), d.AcqPrescaler);
        float* valori[] = {&d.LimiteMin,     &d.LimiteMax,      &d.LimitePkPkMin,
                           &d.LimitePkPkMax, &d.LimiteMediaMin, &d.LimiteMediaMax};
        for (std::uint32_t i = 0; i < 6; ++i) *valori[i] = scala.RawAValore(r.Parola(O + 5 + 2 * i));
        d.FlagsArresto = static_cast<std::int16_t>(r.Byte(O + 18));
    } else {
        d.AcqPrescaler = PrescalerPredefinito(tipo);
        d.TempoStart = scala.CampioniATempo(r.Parola(O + 1));
        d.LimiteMin = scala.RawAValore(r.Parola(O + 3));
        d.LimiteMax = scala.RawAValore(r.Parola(O + 5));
    }
    fase = std::move(d);
    nome = std::move(letto);
    return true;
}

void RecordLavoro::Applica(std::span<std::uint8_t> record, const std::vector<CampoRecord>& campi)
{
    for (const CampoRecord& c : campi)
        for (std::size_t i = 0; i < c.bytes.size(); ++i)
            if (c.offset + i < record.size()) record[c.offset + i] = c.bytes[i];
}

} // namespace zem
