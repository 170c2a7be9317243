#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace zem {

// One instrument profile: the general settings and six measures, kept in a ".zemp" file.
// Measures are numbered 1..6, input functions 1..16, output functions 1..12, messages from 1;
// any other index throws std::out_of_range. Texts are kept as the bytes the file holds (the
// instrument stores 8-bit codes), so their size() is the length the instrument sees.
class ProfiloZem {
public:
    static constexpr int kMisure = 6;
    static constexpr int kFunzioniIngresso = 16;
    static constexpr int kFunzioniUscita = 12;
    // Operator messages read from one measure at most, however many a file claims.
    static constexpr std::int32_t kMassimoMessaggi = 1000;

    // General fields; their names are the file keys.
    std::string Nome;
    bool Modificato = false;  // changed since it was loaded or saved
    bool Vuoto = true;        // no profile file associated
    std::int16_t TipoSinottico = 0;
    std::int16_t IndirizzoRS485 = 0;
    std::int16_t BaudrateCOMM = 0;
    std::int16_t nInputClock = 0;
    std::int16_t nInputDato = 0;
    std::int16_t nInputLoad = 0;
    std::int16_t nOutputClear = 0;

    const std::string& NomeMisura(int i) const { return Misura(i).Nome; }
    void SetNomeMisura(int i, std::string v) { Misura(i).Nome = std::move(v); }
    std::int16_t TipoMisura(int i) const { return Misura(i).Tipo; }
    void SetTipoMisura(int i, std::int16_t v) { Misura(i).Tipo = v; }
    float DurataCurve(int i) const { return Misura(i).DurataCurve; }
    void SetDurataCurve(int i, float v) { Misura(i).DurataCurve = v; }
    std::int16_t OperazioniSelezionabili(int i) const { return Misura(i).OperazioniSelezionabili; }
    void SetOperazioniSelezionabili(int i, std::int16_t v) { Misura(i).OperazioniSelezionabili = v; }
    bool ConFasi(int i) const { return Misura(i).ConFasi; }
    void SetConFasi(int i, bool v) { Misura(i).ConFasi = v; }
    bool RequireComputer(int i) const { return Misura(i).RequireComputer; }
    void SetRequireComputer(int i, bool v) { Misura(i).RequireComputer = v; }
    bool ExternalStop(int i) const { return Misura(i).ExternalStop; }
    void SetExternalStop(int i, bool v) { Misura(i).ExternalStop = v; }
    bool SelOpOnStart(int i) const { return Misura(i).SelOpOnStart; }
    void SetSelOpOnStart(int i, bool v) { Misura(i).SelOpOnStart = v; }
    std::int16_t AquireSpeed(int i) const { return Misura(i).AquireSpeed; }
    void SetAquireSpeed(int i, std::int16_t v) { Misura(i).AquireSpeed = v; }
    bool QuotaInizioOnStart(int i) const { return Misura(i).QuotaInizioOnStart; }
    void SetQuotaInizioOnStart(int i, bool v) { Misura(i).QuotaInizioOnStart = v; }
    bool AspettaQuotaZero(int i) const { return Misura(i).AspettaQuotaZero; }
    void SetAspettaQuotaZero(int i, bool v) { Misura(i).AspettaQuotaZero = v; }
    bool AutoOffset(int i) const { return Misura(i).AutoOffset; }
    void SetAutoOffset(int i, bool v) { Misura(i).AutoOffset = v; }
    std::int16_t EncoderResetMode(int i) const { return Misura(i).EncoderResetMode; }
    void SetEncoderResetMode(int i, std::int16_t v) { Misura(i).EncoderResetMode = v; }
    std::int16_t TrasduttoreX(int i) const { return Misura(i).TrasduttoreX; }
    void SetTrasduttoreX(int i, std::int16_t v) { Misura(i).TrasduttoreX = v; }
    std::int16_t TrasduttoreY(int i) const { return Misura(i).TrasduttoreY; }
    void SetTrasduttoreY(int i, std::int16_t v) { Misura(i).TrasduttoreY = v; }
    std::int16_t ForzaMassimaAssoluta(int i) const { return Misura(i).ForzaMassimaAssoluta; }
    void SetForzaMassimaAssoluta(int i, std::int16_t v) { Misura(i).ForzaMassimaAssoluta = v; }
    std::int16_t CoeffA(int i) const { return Misura(i).CoeffA; }
    void SetCoeffA(int i, std::int16_t v) { Misura(i).CoeffA = v; }
    std::int16_t CoeffB(int i) const { return Misura(i).CoeffB; }
    void SetCoeffB(int i, std::int16_t v) { Misura(i).CoeffB = v; }
    std::int32_t PresetPositionTrasd(int i) const { return Misura(i).PresetPositionTrasd; }
    void SetPresetPositionTrasd(int i, std::int32_t v) { Misura(i).PresetPositionTrasd = v; }
    const std::string& NomeValore(int i) const { return Misura(i).NomeValore; }
    void SetNomeValore(int i, std::string v) { Misura(i).NomeValore = std::move(v); }

    // Physical input (output) number + 1 given to function k of measure i; 0 = none.
    std::int16_t nInput(int i, int k) const;
    void SetnInput(int i, int k, std::int16_t v);
    std::int16_t nOutput(int i, int k) const;
    void SetnOutput(int i, int k, std::int16_t v);

    // Operator messages 1..NumeroMessaggi(i). A new count keeps the messages below it; false
    // (nothing changed) for a count outside 0..kMassimoMessaggi.
    std::int32_t NumeroMessaggi(int i) const;
    bool SetNumeroMessaggi(int i, std::int32_t conta);
    const std::string& Messaggio(int i, std::int32_t j) const;
    void SetMessaggio(int i, std::int32_t j, std::string testo);

    // Derived values.
    std::int16_t TotaleOperazioni(int i) const;
    // Function on physical input (output) n, 0-based, over the measures in use: 0 none, -1 two
    // different functions.
    std::int16_t TipoIngresso(int n) const;
    std::int16_t TipoUscita(int n) const;
    // Bit m-1 set when measure m (in use) gives physical input (output) n any function.
    std::uint16_t MascheraIngresso(int n) const;
    std::uint16_t MascheraUscita(int n) const;
    bool UsaEncTDC1() const { return UsaTDC(4); }
    bool UsaEncTDC2() const { return UsaTDC(5); }
    bool UsaCella1() const { return UsaTrasduttore(3); }
    bool UsaPot1() const { return UsaTrasduttore(2); }
    bool UsaCella2() const { return UsaTrasduttore(6); }
    bool UsaPot2() const { return UsaTrasduttore(5); }

    // Reads a profile file into a profile reset to its defaults; false (profile untouched) when
    // the file cannot be read, is empty or has no profile section.
    bool ApriFile(const std::string& path);
    enum class Salvataggio {
        Aggiorna,     // the profile's keys updated in the file, what else it holds kept
        Sostituisci,  // the file replaced by the profile alone
    };
    // Writes the profile into the file. False when the file could not be read or written; the
    // profile then stays marked changed and the file as it was.
    bool SalvaFile(const std::string& path, Salvataggio modo = Salvataggio::Aggiorna);
    void Chiudi();
    // Why the last ApriFile or SalvaFile failed.
    const std::string& LastError() const { return ultimoErrore_; }

    // Same content: every field and measure, not the state flags (Modificato, Vuoto).
    friend bool operator==(const ProfiloZem& a, const ProfiloZem& b);

private:
    struct DatiMisura {
        std::string Nome;
        std::int16_t Tipo = 0;
        float DurataCurve = 0;
        std::int16_t OperazioniSelezionabili = 0;
        bool ConFasi = false;
        bool RequireComputer = false;
        bool ExternalStop = false;
        bool SelOpOnStart = false;
        std::int16_t AquireSpeed = 0;
        bool QuotaInizioOnStart = false;
        bool AspettaQuotaZero = false;
        bool AutoOffset = false;
        std::int16_t EncoderResetMode = 0;
        std::int16_t TrasduttoreX = 0;
        std::int16_t TrasduttoreY = 0;
        std::int16_t ForzaMassimaAssoluta = 0;
        std::int16_t CoeffA = 0;
        std::int16_t CoeffB = 0;
        std::int32_t PresetPositionTrasd = 0;
        std::string NomeValore;
        std::array<std::int16_t, kFunzioniIngresso> Ingressi{};
        std::array<std::int16_t, kFunzioniUscita> Uscite{};
        std::vector<std::string> Messaggi;  // 1-based: Messaggi[j - 1] is message j

        friend bool operator==(const DatiMisura&, const DatiMisura&) = default;
    };

    DatiMisura& Misura(int i);
    const DatiMisura& Misura(int i) const;
    bool UsaTDC(std::int16_t ingresso) const;
    bool UsaTrasduttore(std::int16_t codice) const;

    std::array<DatiMisura, kMisure> misure_{};
    std::string ultimoErrore_;
};

} // namespace zem
