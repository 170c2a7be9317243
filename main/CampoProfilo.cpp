#include "main/CampoProfilo.h"

#include "profile/ProfiloZem.h"
#include "setup/FSetupInOutBase.h"
#include "setup/FSetupInOutPressa.h"
#include "setup/FSetupInOutTestCyl.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>

namespace zem {

namespace {

using T = CampoProfilo::Tipo;

constexpr std::array<const char*, 7> kTrasduttori = {"None", "Encoder #1E", "0-10V #1B", "2mV/V #1A",
                                                     "Encoder #2E", "0-10V #2B", "2mV/V #2A"};
constexpr std::array<const char*, 5> kTipi = {"Not in use", "Press force-position", "Peak to peak measure",
                                              "Simplex measure", "Test cylinders"};

// The label as the technician reads it: without its access key and its colon.
std::string Etichetta(std::string_view testo)
{
    std::string pulito;
    for (const char c : testo)
        if (c != '&') pulito.push_back(c);
    if (!pulito.empty() && pulito.back() == ':') pulito.pop_back();
    return pulito;
}

// A function has one label in every input and output dialog that shows it.
std::string EtichettaFunzione(bool ingresso, int funzione)
{
    for (const auto righe : ingresso ? std::array{FSetupInOutPressa::Ingressi(), FSetupInOutTestCyl::Ingressi(), FSetupInOutBase::Ingressi()}
                                     : std::array{FSetupInOutPressa::Uscite(), FSetupInOutTestCyl::Uscite(), FSetupInOutBase::Uscite()})
        for (const auto& riga : righe)
            if (riga.funzione == funzione) return Etichetta(riga.etichetta);
    return (ingresso ? "Input function " : "Output function ") + std::to_string(funzione);
}

const std::map<T, const char*>& Didascalie()
{
    static const std::map<T, const char*> didascalie = {
        {T::Nome, "Name of ZEM AUTOMATION"},
        {T::IndirizzoRS485, "Serial port (RS232/RS485) address"},
        {T::BaudrateCOMM, "Serial port baud rate"},
        {T::TipoSinottico, "Use window for machine messages"},
        {T::nInputClock, "Messages window - Clock input"},
        {T::nInputDato, "Messages window - Data input"},
        {T::nInputLoad, "Messages window - Load input"},
        {T::nOutputClear, "Messages window - Load output"},
        {T::NomeMisura, "Measure name"},
        {T::TipoMisura, "Type"},
        {T::RequireComputer, "Require computer (slave mode)"},
        {T::ExternalStop, "External stop"},
        {T::QuotaInizioOnStart, "Start position taken at start"},
        {T::AspettaQuotaZero, "Wait for position zero"},
        {T::AutoOffset, "Automatic force offset"},
        {T::TrasduttoreX, "Position transducer"},
        {T::PresetPositionTrasd, "Preset position"},
        {T::ForzaMassimaAssoluta, "Maximum force"},
        {T::AquireSpeed, "Acquisition speed"},
        {T::NomeValore, "Name of the value"},
        {T::CoeffA, "Coefficient A"},
        {T::CoeffB, "Coefficient B"},
        {T::EncoderResetMode, "Encoder reset mode"},
        {T::DurataCurve, "Curve duration"},
        {T::ConFasi, "Operation are different phases of the same job"},
        {T::OperazioniSelezionabili, "Number of selectionable operations"},
        {T::SelOpOnStart, "Capture the selections input status on start"},
        {T::Messaggi, "Messages"},
        {T::Misura, "The settings of a measure not in use"},
    };
    return didascalie;
}

std::string SiNo(bool v) { return v ? "Yes" : "No"; }
std::string Testo(const std::string& v) { return "\"" + v + "\""; }
// The lists of inputs and outputs: "None", then "0" to "7".
std::string Fisico(int v) { return v == 0 ? "None" : v >= 1 && v <= 8 ? std::to_string(v - 1) : std::to_string(v); }
template <std::size_t N>
std::string Voce(const std::array<const char*, N>& voci, int v)
{
    return v >= 0 && v < static_cast<int>(N) ? voci[static_cast<std::size_t>(v)] : std::to_string(v);
}

} // namespace

std::string CampoProfilo::Nome(int tipoMisura) const
{
    std::string nome;
    if (tipo == T::nInput || tipo == T::nOutput) nome = EtichettaFunzione(tipo == T::nInput, indice);
    else if (tipo == T::Messaggio) nome = "Message " + std::to_string(indice);
    else if (tipo == T::TrasduttoreY) nome = tipoMisura == 2 || tipoMisura == 3 ? "Transducer measured" : "Force transducer";
    else nome = Didascalie().at(tipo);
    return misura == 0 ? nome : "Measure " + std::to_string(misura) + " - " + nome;
}

std::string CampoProfilo::Valore(const ProfiloZem& p) const
{
    const int m = misura;
    switch (tipo) {
    case T::Nome: return Testo(p.Nome);
    case T::IndirizzoRS485: return std::to_string(p.IndirizzoRS485);
    case T::BaudrateCOMM: return std::to_string(p.BaudrateCOMM);
    case T::TipoSinottico: return p.TipoSinottico == 0 || p.TipoSinottico == 1 ? SiNo(p.TipoSinottico) : std::to_string(p.TipoSinottico);
    case T::nInputClock: return Fisico(p.nInputClock);
    case T::nInputDato: return Fisico(p.nInputDato);
    case T::nInputLoad: return Fisico(p.nInputLoad);
    case T::nOutputClear: return Fisico(p.nOutputClear);
    case T::NomeMisura: return Testo(p.NomeMisura(m));
    case T::TipoMisura: return m > 2 && p.TipoMisura(m) == 1 ? "Reserved" : Voce(kTipi, p.TipoMisura(m));
    case T::RequireComputer: return SiNo(p.RequireComputer(m));
    case T::ExternalStop: return SiNo(p.ExternalStop(m));
    case T::QuotaInizioOnStart: return SiNo(p.QuotaInizioOnStart(m));
    case T::AspettaQuotaZero: return SiNo(p.AspettaQuotaZero(m));
    case T::AutoOffset: return SiNo(p.AutoOffset(m));
    case T::TrasduttoreX: return Voce(kTrasduttori, p.TrasduttoreX(m));
    case T::TrasduttoreY: return Voce(kTrasduttori, p.TrasduttoreY(m));
    case T::PresetPositionTrasd: return std::to_string(p.PresetPositionTrasd(m));
    case T::ForzaMassimaAssoluta: return std::to_string(p.ForzaMassimaAssoluta(m));
    case T::AquireSpeed: return std::to_string(p.AquireSpeed(m));
    case T::NomeValore: return Testo(p.NomeValore(m));
    case T::CoeffA: return std::to_string(p.CoeffA(m));
    case T::CoeffB: return std::to_string(p.CoeffB(m));
    case T::EncoderResetMode: return std::to_string(p.EncoderResetMode(m));
    case T::DurataCurve: {
        char testo[32];
        std::snprintf(testo, sizeof testo, "%g", static_cast<double>(p.DurataCurve(m)));
        return testo;
    }
    case T::ConFasi: return SiNo(p.ConFasi(m));
    case T::OperazioniSelezionabili: return std::to_string(p.OperazioniSelezionabili(m));
    case T::SelOpOnStart: return SiNo(p.SelOpOnStart(m));
    case T::nInput: return Fisico(p.nInput(m, indice));
    case T::nOutput: return Fisico(p.nOutput(m, indice));
    case T::Messaggi: return std::to_string(p.NumeroMessaggi(m));
    case T::Messaggio: return indice <= p.NumeroMessaggi(m) ? Testo(p.Messaggio(m, indice)) : "(none)";
    case T::Misura: return {};
    }
    return {};
}

bool CampoProfilo::Comprende(const CampoProfilo& altro) const
{
    if (altro.misura != misura) return false;
    if (tipo == T::Misura) return altro.tipo != T::NomeMisura && altro.tipo != T::TipoMisura;
    if (tipo == T::Messaggi) return altro.tipo == T::Messaggi || altro.tipo == T::Messaggio;
    return *this == altro;
}

std::vector<CampoProfilo> CampiProfilo(const ProfiloZem& a, const ProfiloZem& b)
{
    std::vector<CampoProfilo> campi;
    for (const T t : {T::Nome, T::IndirizzoRS485, T::BaudrateCOMM, T::TipoSinottico, T::nInputClock, T::nInputDato,
                      T::nInputLoad, T::nOutputClear})
        campi.push_back({t});
    for (int m = 1; m <= ProfiloZem::kMisure; ++m) {
        for (const T t : {T::NomeMisura, T::TipoMisura, T::RequireComputer, T::ExternalStop, T::QuotaInizioOnStart,
                          T::AspettaQuotaZero, T::AutoOffset, T::TrasduttoreX, T::TrasduttoreY, T::PresetPositionTrasd,
                          T::ForzaMassimaAssoluta, T::AquireSpeed, T::NomeValore, T::CoeffA, T::CoeffB,
                          T::EncoderResetMode, T::DurataCurve, T::ConFasi, T::OperazioniSelezionabili, T::SelOpOnStart})
            campi.push_back({t, m});
        for (int k = 1; k <= ProfiloZem::kFunzioniIngresso; ++k) campi.push_back({T::nInput, m, k});
        for (int k = 1; k <= ProfiloZem::kFunzioniUscita; ++k) campi.push_back({T::nOutput, m, k});
        campi.push_back({T::Messaggi, m});
        for (int j = 1; j <= std::max(a.NumeroMessaggi(m), b.NumeroMessaggi(m)); ++j) campi.push_back({T::Messaggio, m, j});
    }
    return campi;
}

std::string ElencoCampi(std::vector<CampoProfilo> campi)
{
    std::ranges::stable_sort(campi, {}, &CampoProfilo::misura);
    std::string elenco;
    int misura = 0;
    for (const CampoProfilo& c : campi) {
        if (c.misura == 0 || c.misura != misura) {
            if (!elenco.empty()) elenco += "\r\n";
            elenco += c.misura == 0 ? c.Nome() : "Measure " + std::to_string(c.misura) + ": ";
        } else {
            elenco += ", ";
        }
        misura = c.misura;
        if (c.misura != 0) elenco += CampoProfilo{c.tipo, 0, c.indice}.Nome();
    }
    return elenco;
}

} // namespace zem
