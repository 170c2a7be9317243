#include "main/FListaSN.h"

#include "link/usb/GestioneUSB.h"
#include "main/RegistroSN.h"
#include "profile/SettingsStore.h"
#include "ui/Host.h"

#include <algorithm>
#include <cctype>

namespace zem {

namespace {

std::string Trim(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool Cifre(const std::string& text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

std::string SenzaZeri(const std::string& cifre)
{
    const auto first = cifre.find_first_not_of('0');
    return first == std::string::npos ? "0" : cifre.substr(first);
}

// The decimal text one above `cifre`, however long.
std::string Successivo(std::string cifre)
{
    for (auto it = cifre.rbegin(); it != cifre.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return cifre;
        }
        *it = '0';
    }
    return "1" + cifre;
}

std::string NomeProposto(std::uint16_t codice)
{
    switch (codice) {
    case 3: return "DLK-Visual";
    case 4: return "ZEM Automation";
    case 5: return "Kentapro";
    default: return "";
    }
}

} // namespace

FListaSN::FListaSN(ui::Host& host, SettingsStore& settings, std::string vecchiaCartella)
    : Form(host, "FListaSN", "Serial Number Register"),
      lblRegistro(*this, "lblRegistro"),
      RichTextBox1(*this, "RichTextBox1"),
      lblSN(*this, "lblSN"),
      txtSN(*this, "txtSN"),
      lblName(*this, "lblName"),
      txtName(*this, "txtName"),
      lblUser(*this, "lblUser"),
      txtUser(*this, "txtUser"),
      cmdProg(*this, "cmdProg"),
      cmdOK(*this, "cmdOK"),
      settings_(settings),
      vecchiaCartella_(std::move(vecchiaCartella))
{
    SetSize(9000, 6300);
    lblRegistro.SetCaption("Editable &register:");
    lblRegistro.Move(120, 120, 3000, 255);
    RichTextBox1.SetFontName("Courier New");
    RichTextBox1.Move(120, 420, 8640, 3500);
    lblSN.SetCaption("&Serial number to program:");
    lblSN.Move(120, 4080, 3000, 255);
    txtSN.Move(3240, 4040, 2000, 315);
    lblName.SetCaption("&Name of instrument:");
    lblName.Move(120, 4480, 3000, 255);
    txtName.Move(3240, 4440, 5520, 315);
    lblUser.SetCaption("&Factory user name:");
    lblUser.Move(120, 4880, 3000, 255);
    txtUser.Move(3240, 4840, 5520, 315);
    cmdProg.SetCaption("Program EEprom");
    cmdProg.Move(5280, 5400, 1600, 375);
    cmdOK.SetCaption("Exit");
    cmdOK.SetCancel(true);
    cmdOK.Move(7080, 5400, 1680, 375);

    cmdProg.Click.Connect([this] { cmdProg_Click(); });
    cmdOK.Click.Connect([this] { cmdOK_Click(); });
}

std::string FListaSN::Seriale(std::uint16_t codice, const std::string& numero)
{
    std::string cifre = SenzaZeri(numero);
    if (cifre.size() < 5) cifre.insert(0, 5 - cifre.size(), '0');
    return "MR" + std::to_string(codice) + cifre;
}

bool FListaSN::Load(std::uint16_t codice, std::string& descrizione, std::string& seriale)
{
    codice_ = codice;
    if (!ShowModal()) return false;
    descrizione = nome_;
    seriale = seriale_;
    return true;
}

void FListaSN::Form_Load()
{
    CentreOnScreen();
    std::string spostato;
    percorso_ = RegistroSN::Percorso(settings_, vecchiaCartella_, spostato);
    if (!spostato.empty()) Avviso(spostato);
    const auto testo = RegistroSN::Carica(percorso_);
    leggibile_ = testo.has_value();
    RichTextBox1.SetText(testo.value_or(""));
    if (!leggibile_) Avviso("The serial number register cannot be read: " + percorso_);

    const bool programma = codice_ != 0;
    for (ui::Control* c : std::initializer_list<ui::Control*>{&cmdProg, &txtSN, &txtName, &txtUser, &lblSN, &lblName, &lblUser})
        c->SetVisible(programma);
    RichTextBox1.Move(RichTextBox1.Left(), RichTextBox1.Top(), RichTextBox1.Width(), programma ? 3500 : 4700);
    if (!programma) return;
    std::string ultimo = Trim(settings_.GetSetting(GetHost().ApplicationTitle(), "Main", Chiave(), "0"));
    if (!Cifre(ultimo)) ultimo = "0";
    txtSN.SetText(SenzaZeri(Successivo(ultimo)));
    txtName.SetText(NomeProposto(codice_));
    txtUser.SetText(kUtenteFabbrica);
}

void FListaSN::cmdProg_Click()
{
    const std::string numero = Trim(txtSN.Text());
    if (!Cifre(numero)) {
        Avviso("Serial number is not a number!");
        return;
    }
    const std::string seriale = Seriale(codice_, numero);
    const std::string nome = Trim(txtName.Text());
    if (nome.size() > 64) {
        Avviso("Lenght of name is wrong");
        return;
    }
    if (seriale.size() != 8) {
        Avviso("Lenght of serial number: " + seriale + " is wrong");
        return;
    }
    if (!EepromTextsFit(GestioneUSB::kManufacturer, nome, seriale)) {
        const std::size_t room = kEepromTextCharacters - std::string(GestioneUSB::kManufacturer).size() - seriale.size();
        Avviso("Name too long for the USB EEprom: at most " + std::to_string(room) + " characters");
        return;
    }
    numero_ = SenzaZeri(numero);
    nome_ = nome;
    seriale_ = seriale;
    SetResult(true);
    Unload();
}

void FListaSN::cmdOK_Click()
{
    // In list-only mode the window stays open when the edits could not be kept.
    if (!SalvaRegistro() && codice_ == 0) return;
    SetResult(false);
    Unload();
}

bool FListaSN::SalvaRegistro()
{
    const auto errore = leggibile_ ? RegistroSN::Salva(percorso_, RichTextBox1.Text()) : std::nullopt;
    if (leggibile_ && !errore) return true;
    Errore("The serial number register cannot be written: " + percorso_ + (errore ? "\r\n" + *errore : ""));
    return false;
}

bool FListaSN::Registra()
{
    primaDellaRiga_ = RichTextBox1.Text();
    std::string testo = primaDellaRiga_;
    // The line starts a line of its own, whatever the technician left at the end.
    if (!testo.empty() && testo.back() != '\n') testo += "\r\n";
    testo += RegistroSN::Riga(seriale_, nome_, RegistroSN::Oggi(), Trim(txtUser.Text()));
    RichTextBox1.SetText(testo);
    if (SalvaRegistro()) return true;
    RichTextBox1.SetText(primaDellaRiga_);
    return false;
}

void FListaSN::Ritira()
{
    RichTextBox1.SetText(primaDellaRiga_);
    SalvaRegistro();
}

void FListaSN::Conferma()
{
    settings_.SaveSetting(GetHost().ApplicationTitle(), "Main", Chiave(), numero_);
}

void FListaSN::Avviso(const std::string& testo)
{
    GetHost().MsgBox(testo, ui::MsgButtons::OK, ui::MsgIcon::Information);
}

void FListaSN::Errore(const std::string& testo)
{
    GetHost().MsgBox(testo, ui::MsgButtons::OK, ui::MsgIcon::Critical);
}

} // namespace zem
