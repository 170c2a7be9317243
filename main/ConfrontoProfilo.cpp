#include "main/ConfrontoProfilo.h"

#include "discovery/FSceltaStrumento.h"
#include "main/ImportaProfilo.h"
#include "main/TransferProgress.h"
#include "profile/ProfiloZem.h"
#include "ui/Host.h"

#include <algorithm>

namespace zem {

ConfrontoProfilo::ConfrontoProfilo(ui::Host& host, const LinkPlatform& platform, TransferProgress& progress)
    : host_(host), platform_(platform), progress_(progress)
{
}

ConfrontoProfilo::ConfrontoProfilo(ui::Host& host, const LinkPlatform& platform)
    : ConfrontoProfilo(host, platform, SenzaProgresso())
{
}

std::vector<std::string> ConfrontoProfilo::Differenze(const ProfiloZem& a, const ProfiloZem& b,
                                                      const std::vector<CampoProfilo>& esclusi)
{
    std::vector<std::string> differenze;
    for (const CampoProfilo& campo : CampiProfilo(a, b)) {
        if (std::ranges::any_of(esclusi, [&](const CampoProfilo& e) { return e.Comprende(campo); })) continue;
        const std::string prima = campo.Valore(a), dopo = campo.Valore(b);
        // The caption follows the measure's type in the profile, as its dialog would show it.
        const int tipo = campo.misura == 0 ? 0 : a.TipoMisura(campo.misura);
        if (prima != dopo) differenze.push_back(campo.Nome(tipo) + ": " + prima + " -> " + dopo);
    }
    return differenze;
}

std::optional<ConfrontoProfilo::Esito> ConfrontoProfilo::ConStrumento(const ProfiloZem& profilo,
                                                                      std::optional<std::string> chiave)
{
    if (!chiave) chiave = FSceltaStrumento(host_, platform_).LoadForm("Compare with instrument", false, false);
    if (!chiave) return std::nullopt;
    // The profile stands in for the template: what the memory does not keep comes back as the
    // profile's own, and is left out of the comparison below.
    const auto letto = ImportaProfilo(host_, platform_, progress_).Run(profilo, *chiave);
    if (!letto.profilo) return std::nullopt;
    Esito esito{*chiave, {}, letto.nonLetti};
    // Worked-out durations match the shares, not necessarily the typed durations.
    esito.nonConfrontati.insert(esito.nonConfrontati.end(), letto.ricavati.begin(), letto.ricavati.end());
    esito.differenze = Differenze(profilo, *letto.profilo, esito.nonConfrontati);
    return esito;
}

void ConfrontoProfilo::Run(const ProfiloZem& profilo)
{
    if (const auto esito = ConStrumento(profilo))
        host_.MsgBoxWithDetails(Sommario(*esito, profilo.Nome), Dettagli(*esito), ui::MsgIcon::Information);
}

std::string ConfrontoProfilo::Sommario(const Esito& esito, const std::string& profilo)
{
    std::string testo = "Profile: " + profilo + "\r\nInstrument: " + esito.chiave + "\r\n\r\n";
    if (esito.differenze.empty()) testo += "The instrument holds the profile's settings.";
    else testo += "The instrument's settings differ from the profile's in " + std::to_string(esito.differenze.size())
                  + (esito.differenze.size() == 1 ? " field." : " fields.");
    return testo + "\r\nThe fields the instrument memory does not keep are not compared: the details list them.";
}

std::string ConfrontoProfilo::Dettagli(const Esito& esito)
{
    std::string testo;
    for (const std::string& d : esito.differenze) testo += d + "\r\n";
    if (!testo.empty()) testo += "\r\n";
    return testo + "Not compared, as the instrument memory does not keep them:\r\n" + ElencoCampi(esito.nonConfrontati);
}

} // namespace zem
