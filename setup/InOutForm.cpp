#include "setup/InOutForm.h"

#include "profile/ProfiloZem.h"
#include "setup/ListaIngressiUscite.h"

#include <algorithm>
#include <string>

namespace zem {

namespace {

constexpr int kAltezzaRiga = 390;
constexpr int kLarghezzaEtichetta = 3900;
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
    for (auto& voce : ingressi_) lista_io::Riempi(voce->lista, Profilo().nInput(m, voce->funzione));
    for (auto& voce : uscite_) lista_io::Riempi(voce->lista, Profilo().nOutput(m, voce->funzione));
}

bool InOutForm::Salva()
{
    ProfiloZem& profilo = Profilo();
    const int m = Misura();
    std::vector<std::int16_t> ingressi;
    std::vector<std::int16_t> uscite;
    for (const auto& voce : ingressi_)
        ingressi.push_back(lista_io::Scelta(voce->lista, profilo.nInput(m, voce->funzione)));
    for (const auto& voce : uscite_)
        uscite.push_back(lista_io::Scelta(voce->lista, profilo.nOutput(m, voce->funzione)));
    for (int f = 1; f <= ProfiloZem::kFunzioniIngresso; ++f) profilo.SetnInput(m, f, 0);
    for (int f = 1; f <= ProfiloZem::kFunzioniUscita; ++f) profilo.SetnOutput(m, f, 0);
    for (std::size_t i = 0; i < ingressi.size(); ++i) profilo.SetnInput(m, ingressi_[i]->funzione, ingressi[i]);
    for (std::size_t i = 0; i < uscite.size(); ++i) profilo.SetnOutput(m, uscite_[i]->funzione, uscite[i]);
    return true;
}

} // namespace zem
