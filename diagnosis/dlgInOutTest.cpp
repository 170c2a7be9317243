#include "diagnosis/dlgInOutTest.h"

#include "link/UCZEM2.h"
#include "profile/CatalogoFunzioni.h"

namespace zem {

namespace {

// Columns of a row, in twips from the panel's left: input indicator, input function, the measures
// using the input, then the same for the output, whose function is the caption of its tick box.
// The measure columns are narrow: their tool tips give the whole list.
constexpr int kAltezzaRiga = 290;
constexpr int kColonnaBoxIngresso = 0, kColonnaIngresso = 330, kColonnaMisuraIngresso = 3900;
constexpr int kColonnaBoxUscita = 6500, kColonnaUscita = 6830, kColonnaMisuraUscita = 10400;
constexpr int kFine = dlgInOutTest::kLarghezza;

// A control of the panel at (left, top) of the panel's own area.
void Posa(ui::Control& c, int left, int top, int width)
{
    c.Move(dlgInOutTest::kSinistra + left, dlgInOutTest::kAlto + top, width, kAltezzaRiga - 20);
}

std::string Riga(int i, const std::string& funzione)
{
    return "(" + std::to_string(i) + ") " + funzione;
}

// The names of the measures whose bit is set in `maschera` (bit m - 1 for measure m).
std::string MisureDellaMaschera(const UCZEM2& link, int maschera)
{
    std::string testo;
    for (int m = 1; m <= link.NumeroMisure(); ++m) {
        if ((maschera & (1 << (m - 1))) == 0) continue;
        if (!testo.empty()) testo += ", ";
        testo += link.NomeMisura(m);
    }
    return testo;
}

void Mostra(ui::Label& etichetta, std::string testo)
{
    etichetta.SetToolTipText(testo);
    etichetta.SetCaption(std::move(testo));
}

} // namespace

dlgInOutTest::dlgInOutTest(ui::Form& owner, std::string name, ui::Frame& container)
    : UserControl(owner, std::move(name)),
      lblIngressi(owner, Key("lblIngressi"), &container),
      lblUscite(owner, Key("lblUscite"), &container),
      boxIngresso(owner, Key("boxIngresso"), kRighe, &container),
      lblIngresso(owner, Key("lblIngresso"), kRighe, &container),
      lblMisuraIngresso(owner, Key("lblMisuraIngresso"), kRighe, &container),
      boxUscita(owner, Key("boxUscita"), kRighe, &container),
      chkUscita(owner, Key("chkUscita"), kRighe, &container),
      lblMisuraUscita(owner, Key("lblMisuraUscita"), kRighe, &container),
      Timer1(owner, Key("Timer1"))
{
    lblIngressi.SetCaption("Inputs");
    Posa(lblIngressi, kColonnaIngresso, 0, 1700);
    lblUscite.SetCaption("Outputs");
    Posa(lblUscite, kColonnaUscita, 0, 1700);
    for (int i = 0; i < kRighe; ++i) {
        const int top = kAltezzaRiga + kAltezzaRiga * i;
        Posa(boxIngresso[i], kColonnaBoxIngresso, top, kColonnaIngresso - kColonnaBoxIngresso - 30);
        boxIngresso[i].SetPicture(ui::Picture::IndicatorOff);
        Posa(lblIngresso[i], kColonnaIngresso, top, kColonnaMisuraIngresso - kColonnaIngresso);
        Posa(lblMisuraIngresso[i], kColonnaMisuraIngresso, top, kColonnaBoxUscita - kColonnaMisuraIngresso);
        Posa(boxUscita[i], kColonnaBoxUscita, top, kColonnaUscita - kColonnaBoxUscita - 30);
        boxUscita[i].SetPicture(ui::Picture::IndicatorOff);
        Posa(chkUscita[i], kColonnaUscita, top, kColonnaMisuraUscita - kColonnaUscita);
        Posa(lblMisuraUscita[i], kColonnaMisuraUscita, top, kFine - kColonnaMisuraUscita);
        chkUscita[i].Click.Connect([this, i] { chkUscita_Click(i); });
    }
    Timer1.SetEnabled(false);
    Timer1.Elapsed.Connect([this] { Aggiorna(); });
}

void dlgInOutTest::SetValue(UCZEM2& link)
{
    for (int i = 0; i < kRighe; ++i) {
        chkUscita[i].SetCaption(Riga(i, NomeFunzioneUscita(link.FunzioneUscita(i))));
        lblIngresso[i].SetCaption(Riga(i, NomeFunzioneIngresso(link.FunzioneIngresso(i))));
        Mostra(lblMisuraUscita[i], MisureDellaMaschera(link, link.MascheraUscita(i)));
        Mostra(lblMisuraIngresso[i], MisureDellaMaschera(link, link.MascheraIngresso(i)));
    }
    Timer1.SetInterval(400);
    Timer1.SetEnabled(true);
}

void dlgInOutTest::chkUscita_Click(int n)
{
    // The panel ticking its own boxes is not the technician asking for a change.
    if (aggiornamento_) return;
    Raise(ToggleOutput, n);
    Aggiorna();
}

void dlgInOutTest::Aggiorna()
{
    aggiornamento_ = true;
    bool ok = false;
    Raise(ReadStatus, ok);
    for (int n = 0; n < kRighe; ++n) {
        bool acceso = false;
        Raise(GetInput, n, acceso);
        boxIngresso[n].SetPicture(acceso ? ui::Picture::IndicatorOn : ui::Picture::IndicatorOff);
    }
    for (int n = 0; n < kRighe; ++n) {
        bool acceso = false;
        Raise(GetOutput, n, acceso);
        boxUscita[n].SetPicture(acceso ? ui::Picture::IndicatorOn : ui::Picture::IndicatorOff);
        chkUscita[n].SetChecked(acceso);
    }
    aggiornamento_ = false;
}

} // namespace zem
