#include "main/PanoramicaProfilo.h"

#include "profile/CatalogoFunzioni.h"
#include "profile/ProfiloZem.h"

#include <array>

namespace zem {

namespace {

constexpr int kFisici = 8;  // inputs and outputs 0..7

std::string NomeTipo(int tipo)
{
    static constexpr std::array<const char*, 5> kTipi = {"", "Press force-position", "Peak to peak measure",
                                                         "Simplex measure", "Test cylinders"};
    return tipo >= 0 && tipo < static_cast<int>(kTipi.size()) ? kTipi[static_cast<std::size_t>(tipo)] : "Unknown";
}

// Code 3 x (channel - 1) + kind: kind 1 encoder, 2 0-10 V, 3 load cell.
std::string NomeTrasduttore(int codice)
{
    if (codice < 1 || codice > 6) return {};
    static constexpr std::array<const char*, 3> kTipi = {"Encoder #", "0-10V #", "2mV/V #"};
    return kTipi[static_cast<std::size_t>((codice - 1) % 3)] + std::to_string((codice - 1) / 3 + 1);
}

void Aggiungi(std::string& elenco, const std::string& voce)
{
    if (voce.empty()) return;
    if (!elenco.empty()) elenco += ", ";
    elenco += voce;
}

// "3 Start measure (conflict)" for each function given a physical input or output.
template <class Fisico, class Nome, class Tipo>
std::string Assegnazioni(int funzioni, Fisico fisico, Nome nome, Tipo tipoFisico)
{
    std::string elenco;
    for (int k = 1; k <= funzioni; ++k) {
        const int n = fisico(k) - 1;
        if (n < 0 || n >= kFisici) continue;
        Aggiungi(elenco, std::to_string(n) + " " + nome(k) + (tipoFisico(n) == -1 ? " (conflict)" : ""));
    }
    return elenco;
}

} // namespace

PanoramicaProfilo PanoramicaProfilo::Di(const ProfiloZem& p)
{
    PanoramicaProfilo out;
    out.strumento = "Name: " + p.Nome + "   Address: " + std::to_string(p.IndirizzoRS485);
    for (int m = 1; m <= ProfiloZem::kMisure; ++m) {
        const int tipo = p.TipoMisura(m);
        if (tipo == 0) continue;
        Riga r;
        r.misura = std::to_string(m) + " - " + p.NomeMisura(m);
        r.tipo = NomeTipo(tipo);
        Aggiungi(r.trasduttori, NomeTrasduttore(p.TrasduttoreX(m)));
        Aggiungi(r.trasduttori, NomeTrasduttore(p.TrasduttoreY(m)));
        r.lavori = std::to_string(p.OperazioniSelezionabili(m));
        r.ingressi = Assegnazioni(
            ProfiloZem::kFunzioniIngresso, [&](int k) { return p.nInput(m, k); },
            [](int k) { return NomeFunzioneIngresso(k); }, [&](int n) { return p.TipoIngresso(n); });
        r.uscite = Assegnazioni(
            ProfiloZem::kFunzioniUscita, [&](int k) { return p.nOutput(m, k); },
            [](int k) { return NomeFunzioneUscita(k); }, [&](int n) { return p.TipoUscita(n); });
        out.righe.push_back(std::move(r));
    }
    std::string conflitti;
    for (int n = 0; n < kFisici; ++n)
        if (p.TipoIngresso(n) == -1) Aggiungi(conflitti, "input " + std::to_string(n));
    for (int n = 0; n < kFisici; ++n)
        if (p.TipoUscita(n) == -1) Aggiungi(conflitti, "output " + std::to_string(n));
    if (!conflitti.empty()) out.conflitti = "Conflicts: " + conflitti;
    return out;
}

} // namespace zem
