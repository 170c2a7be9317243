#include "profile/ProfiloZem.h"

#include "profile/CatalogoFunzioni.h"
#include "profile/IniFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <tuple>

namespace zem {

namespace {

constexpr std::int16_t kFunzioneTDC = 7;

// The file keys of input functions 1..16 and output functions 1..12, from their names.
const std::array<std::string, ProfiloZem::kFunzioniIngresso>& ChiaviIngressi()
{
    static const auto chiavi = [] {
        std::array<std::string, ProfiloZem::kFunzioniIngresso> c;
        for (int k = 1; k <= ProfiloZem::kFunzioniIngresso; ++k) c[k - 1] = ChiaveDaNome(NomeFunzioneIngresso(k));
        return c;
    }();
    return chiavi;
}

const std::array<std::string, ProfiloZem::kFunzioniUscita>& ChiaviUscite()
{
    static const auto chiavi = [] {
        std::array<std::string, ProfiloZem::kFunzioniUscita> c;
        for (int k = 1; k <= ProfiloZem::kFunzioniUscita; ++k) c[k - 1] = ChiaveDaNome(NomeFunzioneUscita(k));
        return c;
    }();
    return chiavi;
}

std::size_t Indice(int valore, int massimo, const char* cosa)
{
    if (valore < 1 || valore > massimo) {
        throw std::out_of_range(std::string(cosa) + " " + std::to_string(valore) + " outside 1.." +
                                std::to_string(massimo));
    }
    return static_cast<std::size_t>(valore - 1);
}

// The function that the measures in use give to physical number n + 1: 0 none, -1 a conflict.
template <typename Assegnazioni>
std::int16_t Funzione(int n, Assegnazioni assegnazioni)
{
    std::int16_t trovata = 0;
    if (n < 0) return 0;
    assegnazioni([&](int, int funzione, std::int16_t fisico) {
        if (fisico != n + 1 || trovata == -1) return;
        if (trovata == 0) {
            trovata = static_cast<std::int16_t>(funzione);
        } else if (trovata != funzione) {
            trovata = -1;
        }
    });
    return trovata;
}

template <typename Assegnazioni>
std::uint16_t Maschera(int n, Assegnazioni assegnazioni)
{
    std::uint16_t maschera = 0;
    if (n < 0) return 0;
    assegnazioni([&](int misura, int, std::int16_t fisico) {
        if (fisico == n + 1) maschera |= static_cast<std::uint16_t>(1u << (misura - 1));
    });
    return maschera;
}

void Scrivi(IniFile& ini, const char* chiave, const auto& valore)
{
    ini.SetTarget(chiave);
    ini.SetValue(valore);
}

} // namespace

bool operator==(const ProfiloZem& a, const ProfiloZem& b)
{
    auto generali = [](const ProfiloZem& p) {
        return std::tie(p.Nome, p.TipoSinottico, p.IndirizzoRS485, p.BaudrateCOMM, p.nInputClock,
                        p.nInputDato, p.nInputLoad, p.nOutputClear);
    };
    return generali(a) == generali(b) && a.misure_ == b.misure_;
}

ProfiloZem::DatiMisura& ProfiloZem::Misura(int i)
{
    return misure_[Indice(i, kMisure, "measure")];
}

const ProfiloZem::DatiMisura& ProfiloZem::Misura(int i) const
{
    return misure_[Indice(i, kMisure, "measure")];
}

std::int16_t ProfiloZem::nInput(int i, int k) const
{
    return Misura(i).Ingressi[Indice(k, kFunzioniIngresso, "input function")];
}

void ProfiloZem::SetnInput(int i, int k, std::int16_t v)
{
    Misura(i).Ingressi[Indice(k, kFunzioniIngresso, "input function")] = v;
}

std::int16_t ProfiloZem::nOutput(int i, int k) const
{
    return Misura(i).Uscite[Indice(k, kFunzioniUscita, "output function")];
}

void ProfiloZem::SetnOutput(int i, int k, std::int16_t v)
{
    Misura(i).Uscite[Indice(k, kFunzioniUscita, "output function")] = v;
}

std::int32_t ProfiloZem::NumeroMessaggi(int i) const
{
    return static_cast<std::int32_t>(Misura(i).Messaggi.size());
}

bool ProfiloZem::SetNumeroMessaggi(int i, std::int32_t conta)
{
    auto& misura = Misura(i);
    if (conta < 0 || conta > kMassimoMessaggi) return false;
    misura.Messaggi.resize(static_cast<std::size_t>(conta));
    return true;
}

const std::string& ProfiloZem::Messaggio(int i, std::int32_t j) const
{
    const auto& misura = Misura(i);
    return misura.Messaggi[Indice(j, static_cast<int>(misura.Messaggi.size()), "message")];
}

void ProfiloZem::SetMessaggio(int i, std::int32_t j, std::string testo)
{
    auto& misura = Misura(i);
    misura.Messaggi[Indice(j, static_cast<int>(misura.Messaggi.size()), "message")] = std::move(testo);
}

std::int16_t ProfiloZem::TotaleOperazioni(int i) const
{
    const auto& misura = Misura(i);
    if (misura.OperazioniSelezionabili == 0 && misura.Tipo > 0) return 1;
    return misura.OperazioniSelezionabili;
}

std::int16_t ProfiloZem::TipoIngresso(int n) const
{
    return Funzione(n, [this](auto visita) {
        for (int m = 1; m <= kMisure; ++m) {
            if (TipoMisura(m) == 0) continue;
            for (int k = 1; k <= kFunzioniIngresso; ++k) visita(m, k, nInput(m, k));
        }
    });
}

std::int16_t ProfiloZem::TipoUscita(int n) const
{
    return Funzione(n, [this](auto visita) {
        for (int m = 1; m <= kMisure; ++m) {
            if (TipoMisura(m) == 0) continue;
            for (int k = 1; k <= kFunzioniUscita; ++k) visita(m, k, nOutput(m, k));
        }
    });
}

// A measure that uses an input for two functions still sets its bit once: adding the powers
// of two up would spill into the next measure's bit.
std::uint16_t ProfiloZem::MascheraIngresso(int n) const
{
    return Maschera(n, [this](auto visita) {
        for (int m = 1; m <= kMisure; ++m) {
            if (TipoMisura(m) == 0) continue;
            for (int k = 1; k <= kFunzioniIngresso; ++k) visita(m, k, nInput(m, k));
        }
    });
}

std::uint16_t ProfiloZem::MascheraUscita(int n) const
{
    return Maschera(n, [this](auto visita) {
        for (int m = 1; m <= kMisure; ++m) {
            if (TipoMisura(m) == 0) continue;
            for (int k = 1; k <= kFunzioniUscita; ++k) visita(m, k, nOutput(m, k));
        }
    });
}

bool ProfiloZem::UsaTDC(std::int16_t ingresso) const
{
    return std::any_of(misure_.begin(), misure_.end(), [&](const DatiMisura& m) {
        return m.Tipo != 0 && m.Ingressi[kFunzioneTDC - 1] == ingresso;
    });
}

bool ProfiloZem::UsaTrasduttore(std::int16_t codice) const
{
    return std::any_of(misure_.begin(), misure_.end(), [&](const DatiMisura& m) {
        if (m.Tipo == 1) return m.TrasduttoreX == codice || m.TrasduttoreY == codice;
        return m.Tipo >= 2 && m.TrasduttoreY == codice;
    });
}

void ProfiloZem::Chiudi()
{
    Vuoto = true;
    Modificato = false;
}

bool ProfiloZem::ApriFile(const std::string& path)
{
    IniFile ini;
    ini.SetFile(path);
    if (!ini.SetOpenFile(true) || ini.Count() == 0) {
        std::error_code ec;
        const bool esiste = std::filesystem::exists(path, ec);
        ultimoErrore_ = !ini.OpenFile() ? ini.LastError()
                        : esiste        ? path + " is empty."
                                        : "Cannot read " + path + ": " + std::strerror(ENOENT);
        return false;
    }
    // A backup, a register or any other text file is no profile: opened, it would show an empty
    // profile that a later save writes over the file.
    bool sezioni = false;
    for (int i = 0; i <= kMisure && !sezioni; ++i) {
        ini.SetChiave(i == 0 ? std::string("GENERAL") : "MISURA" + std::to_string(i));
        sezioni = ini.ChiaveTrovata();
    }
    if (!sezioni) {
        ultimoErrore_ = path + " is not a profile: it has no GENERAL or MISURA section.";
        return false;
    }
    // Nothing of the previous profile may show through a file that lacks some sections.
    *this = ProfiloZem{};
    ini.SetChiave("GENERAL");
    if (ini.ChiaveTrovata()) {
        ini.SetTarget("Nome");
        Nome = ini.ValString();
        ini.SetTarget("TipoSinottico");
        TipoSinottico = ini.ValInteger();
        ini.SetTarget("IndirizzoRS485");
        IndirizzoRS485 = ini.ValInteger();
        ini.SetTarget("BaudrateCOMM");
        BaudrateCOMM = ini.TargetTrovato() ? ini.ValInteger() : std::int16_t{9600};
        ini.SetTarget("nInputClock");
        nInputClock = ini.ValInteger();
        ini.SetTarget("nInputDato");
        nInputDato = ini.ValInteger();
        ini.SetTarget("nInputLoad");
        nInputLoad = ini.ValInteger();
        ini.SetTarget("nOutputClear");
        nOutputClear = ini.ValInteger();

        for (int i = 1; i <= kMisure; ++i) {
            ini.SetChiave("MISURA" + std::to_string(i));
            if (!ini.ChiaveTrovata()) continue;
            // Keys are read in the order SalvaFile writes them: each search starts after the
            // previous key, so a file holding a key twice reads back as it was saved.
            auto& m = Misura(i);
            auto testo = [&](const char* chiave) {
                ini.SetTarget(chiave);
                return ini.ValString();
            };
            auto intero = [&](const char* chiave) {
                ini.SetTarget(chiave);
                return ini.ValInteger();
            };
            auto vero = [&](const char* chiave) {
                ini.SetTarget(chiave);
                return ini.ValBoolean();
            };
            m.Nome = testo("Nome");
            m.Tipo = intero("Tipo");
            ini.SetTarget("Durata");
            m.DurataCurve = ini.ValSingle();
            m.OperazioniSelezionabili = intero("OpSelezionabili");
            m.ConFasi = vero("ConFasi");
            m.RequireComputer = vero("SlaveMode");
            m.ExternalStop = vero("ExtStop");
            m.SelOpOnStart = vero("SelOpOnStart");
            m.AquireSpeed = intero("AcqSpeed");
            m.QuotaInizioOnStart = vero("QuotaInizioOnStart");
            m.AspettaQuotaZero = vero("AspettaQuotaZero");
            m.AutoOffset = vero("ForceAutoOffset");
            m.EncoderResetMode = intero("EncoderResetMode");
            m.TrasduttoreX = intero("TrasduttoreX");
            m.TrasduttoreY = intero("TrasduttoreY");
            m.ForzaMassimaAssoluta = intero("ForzaMassima");
            m.CoeffA = intero("CoeffA");
            m.CoeffB = intero("CoeffB");
            ini.SetTarget("PresetPositionTransducer");
            m.PresetPositionTrasd = ini.ValLong();
            m.NomeValore = testo("NomeValore");
            for (int k = 1; k <= kFunzioniIngresso; ++k) m.Ingressi[k - 1] = intero(ChiaviIngressi()[k - 1].c_str());
            for (int k = 1; k <= kFunzioniUscita; ++k) m.Uscite[k - 1] = intero(ChiaviUscite()[k - 1].c_str());
            // A damaged count must not make the reader allocate or search without end.
            ini.SetTarget("Messaggi");
            const std::int32_t conta = std::clamp(ini.ValLong(), std::int32_t{0}, kMassimoMessaggi);
            m.Messaggi.resize(static_cast<std::size_t>(conta));
            for (std::int32_t j = 1; j <= conta; ++j) m.Messaggi[j - 1] = testo(("Msg" + std::to_string(j)).c_str());
        }
    }
    Modificato = false;
    Vuoto = false;
    ultimoErrore_.clear();
    return true;
}

bool ProfiloZem::SalvaFile(const std::string& path, Salvataggio modo)
{
    IniFile ini;
    ini.SetFile(path);
    if (modo == Salvataggio::Sostituisci) {
        ini.Nuovo();
    } else if (!ini.SetOpenFile(true)) {
        ultimoErrore_ = ini.LastError();
        return false;
    }
    ini.SetChiave("GENERAL");
    Scrivi(ini, "Nome", std::string_view(Nome));
    Scrivi(ini, "TipoSinottico", TipoSinottico);
    Scrivi(ini, "IndirizzoRS485", IndirizzoRS485);
    Scrivi(ini, "BaudrateCOMM", BaudrateCOMM);
    Scrivi(ini, "nInputClock", nInputClock);
    Scrivi(ini, "nInputDato", nInputDato);
    Scrivi(ini, "nInputLoad", nInputLoad);
    Scrivi(ini, "nOutputClear", nOutputClear);
    for (int i = 1; i <= kMisure; ++i) {
        const auto& m = Misura(i);
        ini.SetChiave("MISURA" + std::to_string(i));
        Scrivi(ini, "Nome", std::string_view(m.Nome));
        Scrivi(ini, "Tipo", m.Tipo);
        Scrivi(ini, "Durata", m.DurataCurve);
        Scrivi(ini, "OpSelezionabili", m.OperazioniSelezionabili);
        Scrivi(ini, "ConFasi", m.ConFasi);
        Scrivi(ini, "SlaveMode", m.RequireComputer);
        Scrivi(ini, "ExtStop", m.ExternalStop);
        Scrivi(ini, "SelOpOnStart", m.SelOpOnStart);
        Scrivi(ini, "AcqSpeed", m.AquireSpeed);
        Scrivi(ini, "QuotaInizioOnStart", m.QuotaInizioOnStart);
        Scrivi(ini, "AspettaQuotaZero", m.AspettaQuotaZero);
        Scrivi(ini, "ForceAutoOffset", m.AutoOffset);
        Scrivi(ini, "EncoderResetMode", m.EncoderResetMode);
        Scrivi(ini, "TrasduttoreX", m.TrasduttoreX);
        Scrivi(ini, "TrasduttoreY", m.TrasduttoreY);
        Scrivi(ini, "ForzaMassima", m.ForzaMassimaAssoluta);
        Scrivi(ini, "CoeffA", m.CoeffA);
        Scrivi(ini, "CoeffB", m.CoeffB);
        Scrivi(ini, "PresetPositionTransducer", m.PresetPositionTrasd);
        Scrivi(ini, "NomeValore", std::string_view(m.NomeValore));
        for (int k = 1; k <= kFunzioniIngresso; ++k) Scrivi(ini, ChiaviIngressi()[k - 1].c_str(), m.Ingressi[k - 1]);
        for (int k = 1; k <= kFunzioniUscita; ++k) Scrivi(ini, ChiaviUscite()[k - 1].c_str(), m.Uscite[k - 1]);
        Scrivi(ini, "Messaggi", static_cast<std::int32_t>(m.Messaggi.size()));
        for (std::size_t j = 1; j <= m.Messaggi.size(); ++j) {
            Scrivi(ini, ("Msg" + std::to_string(j)).c_str(), std::string_view(m.Messaggi[j - 1]));
        }
    }
    if (!ini.Salva()) {
        ultimoErrore_ = ini.LastError();
        return false;
    }
    Modificato = false;
    ultimoErrore_.clear();
    return true;
}

} // namespace zem
