#include "setup/InOutForm.h"

#include "profile/ProfiloZem.h"

#include <algorithm>
#include <string>

namespace zem {

namespace {

constexpr int kAltezzaRiga = 390;
constexpr int kLarghezzaEtichetta = 2760;
constexpr int kLarghezzaLista = 1080;
constexpr int kLarghezzaCornice = kLarghezzaEtichetta + kLarghezzaLista + 360;

} // namespace

InOutForm::Voce::Voce(ui::Form& form, const char* tipo, ui::Frame& cornice, int indice, const Riga& riga)
    : etichetta(form, std::string("lbl") + tipo, &cornice, indice),
      lista(form, std::string("lst") + tipo, &cornice, indice),
      funzione(riga.funzione)
{
    const int top = 300 + indice * kAltezzaRiga;
    etichetta.SetCaption(riga.etichetta);
    etichetta.Move(120, top + 45, kLarghezzaEtichetta, 255);
    lista.Move(120 + kLarghezzaEtichetta, top, kLarghezzaLista, 315);
}

InOutForm::InOutForm(ui::Host& host, std::string name, std::span<const Riga> ingressi,
                     std::span<const Riga> uscite)
    : MeasureDialog(host, std::move(name), "Select inputs and output", " - Input and output setup"),
      fraInput(*this, "fraInput"),
      ingressi_(Costruisci("Input", fraInput, ingressi)),
      fraOutput(*this, "fraOutput"),
      uscite_(Costruisci("Output", fraOutput, uscite)),
      cmdOK(*this, "cmdOK"),
      cmdCancel(*this, "cmdCancel")
{
    const int righe = static_cast<int>(std::max(ingressi.size(), uscite.size()));
    const int altezzaCornice = 420 + righe * kAltezzaRiga;
    fraInput.SetCaption("Inputs");
    fraInput.Move(120, 120, kLarghezzaCornice, altezzaCornice);
    fraOutput.SetCaption("Outputs");
    fraOutput.Move(240 + kLarghezzaCornice, 120, kLarghezzaCornice, altezzaCornice);
    const int fondo = 240 + altezzaCornice;
    const int larghezza = 360 + 2 * kLarghezzaCornice;
    cmdOK.SetCaption("OK");
    cmdOK.SetDefault(true);
    cmdOK.Move(larghezza - 2760, fondo, 1200, 375);
    cmdCancel.SetCaption("Cancel");
    cmdCancel.SetCancel(true);
    cmdCancel.Move(larghezza - 1440, fondo, 1200, 375);
    SetSize(larghezza, fondo + 495);

    cmdOK.Click.Connect([this] { cmdOK_Click(); });
    cmdCancel.Click.Connect([this] { cmdCancel_Click(); });
}

// Runs while the members are built, so the rows take their place in the tab order between their
// frame and what follows it.
InOutForm::Voci InOutForm::Costruisci(const char* tipo, ui::Frame& cornice, std::span<const Riga> righe)
{
    Voci voci;
    for (const Riga& riga : righe) {
        const int indice = static_cast<int>(voci.size());
        voci.push_back(std::make_unique<Voce>(*this, tipo, cornice, indice, riga));
        Osserva(voci.back()->lista);  // lstInput_Click, lstOutput_Click
    }
    return voci;
}

void InOutForm::Carica()
{
    const int m = Misura();
    const auto riempi = [](Voce& voce, int valore) {
        voce.lista.Clear();
        voce.lista.AddItem("None");
        for (char n = '0'; n <= '7'; ++n) voce.lista.AddItem(std::string(1, n));
        voce.lista.SetListIndex(valore);  // a value outside 0..8 leaves the list empty
    };
    for (auto& voce : ingressi_) riempi(*voce, Profilo().nInput(m, voce->funzione));
    for (auto& voce : uscite_) riempi(*voce, Profilo().nOutput(m, voce->funzione));
}

bool InOutForm::Salva()
{
    ProfiloZem& profilo = Profilo();
    const int m = Misura();
    for (int f = 1; f <= ProfiloZem::kFunzioniIngresso; ++f) profilo.SetnInput(m, f, 0);
    for (int f = 1; f <= ProfiloZem::kFunzioniUscita; ++f) profilo.SetnOutput(m, f, 0);
    // No entry chosen (a stored value the list cannot show) stores none, not -1.
    const auto posizione = [](const Voce& voce) {
        return static_cast<std::int16_t>(std::max(voce.lista.ListIndex(), 0));
    };
    for (const auto& voce : ingressi_) profilo.SetnInput(m, voce->funzione, posizione(*voce));
    for (const auto& voce : uscite_) profilo.SetnOutput(m, voce->funzione, posizione(*voce));
    return true;
}

} // namespace zem
