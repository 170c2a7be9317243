#include "main/FMainZEMSETUP.h"

#include "diagnosis/Diagnosis.h"
#include "diagnosis/FCurve.h"
#include "diagnosis/FStatistics.h"
#include "main/PanoramicaProfilo.h"
#include "discovery/EthernetSetup.h"
#include "discovery/FSceltaStrumento.h"
#include "main/FListaSN.h"
#include "main/InizializzazioneUSB.h"
#include "main/BackupMemoria.h"
#include "main/ConfrontoProfilo.h"
#include "main/RipristinoMemoria.h"
#include "main/InvioProfilo.h"
#include "session/TrasferimentoSingoloByte.h"
#include "main/ImportaProfilo.h"
#include "main/TestMemoria.h"
#include "main/LetturaProfilo.h"
#include "profile/CatalogoFunzioni.h"
#include "profile/SettingsStore.h"
#include "setup/FSetupStrumento.h"
#include "ui/Host.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace zem {

namespace {

constexpr const char* kSection = "Main";
constexpr const char* kPathProfili = "PathProfili";
constexpr const char* kUltimoProfilo = "UltimoProfilo";
constexpr const char* kDialogTitle = "Profile";
constexpr int kRecenti = 4;
constexpr const char* kRecente = "Recente";  // "Recente1".."Recente4", newest first
constexpr const char* kExtension = "zemp";
constexpr const char* kFilter = "ZEM profile file|*.zemp|All files (*.*)|*.*";

} // namespace

FMainZEMSETUP::FMainZEMSETUP(ui::Host& host, SettingsStore& settings, LinkPlatform platform, Options options)
    : Form(host, "FMainZEMSETUP", host.ApplicationTitle()),
      ProgressBar1(*this, "ProgressBar1"),
      lblTrasferimento(*this, "lblTrasferimento"),
      Label1(*this, "Label1"),
      Image1(*this, "Image1"),
      lblVersione(*this, "lblVersione"),
      lblStrumento(*this, "lblStrumento"),
      lvwMisure(*this, "lvwMisure"),
      lblConflitti(*this, "lblConflitti"),
      lblIngressi(*this, "lblIngressi"),
      lblUscite(*this, "lblUscite"),
      lblStato(*this, "lblStato"),
      mnuFile(*this, "mnuFile", "&File"),
      mnuNuovo(*this, "mnuNuovo", "&New profile", &mnuFile),
      mnuApri(*this, "mnuApri", "&Open profile...", &mnuFile),
      mnuReadSetup(*this, "mnuReadSetup", "&Read profile from instrument...", &mnuFile),
      mnuImport(*this, "mnuImport", "Import profile &from instrument...", &mnuFile),
      mnuConfronta(*this, "mnuConfronta", "Com&pare with instrument...", &mnuFile),
      mnuSalva(*this, "mnuSalva", "&Save profile", &mnuFile),
      mnuSaveAs(*this, "mnuSaveAs", "Save profile &as...", &mnuFile),
      mnuFormat(*this, "mnuFormat", "Send profile &to instrument...", &mnuFile),
      mnuChiudi(*this, "mnuChiudi", "&Close profile", &mnuFile),
      sep4(*this, "sep4", "-", &mnuFile),
      mnuDiagnosi(*this, "mnuDiagnosi", "&Diagnosis and calibration...", &mnuFile),
      mnuCurve(*this, "mnuCurve", "Cur&ves...", &mnuFile),
      mnuStatistiche(*this, "mnuStatistiche", "&Quality statistics...", &mnuFile),
      mnuTestSeriale(*this, "mnuTestSeriale", "&Test seriale (beta)...", &mnuFile),
      mnuExportMemory(*this, "mnuExportMemory", "&Backup memory...", &mnuFile),
      mnuTestMemoria(*this, "mnuTestMemoria", "&Memory test...", &mnuFile),
      mnuRestoreMemory(*this, "mnuRestoreMemory", "R&estore memory...", &mnuFile),
      sep2(*this, "sep2", "-", &mnuFile),
      mnuEthSetup(*this, "mnuEthSetup", "Set &IP address of the instrument...", &mnuFile),
      sep3(*this, "sep3", "-", &mnuFile),
      mnuListSN(*this, "mnuListSN", "&List EEprom serial number...", &mnuFile),
      mnuInizializzaUSB(*this, "mnuInizializzaUSB", "Initiali&ze USB EEprom...", &mnuFile),
      mnuUpdate(*this, "mnuUpdate", "&Update firmware...", &mnuFile),
      sep1(*this, "sep1", "-", &mnuFile),
      mnuSetPassword(*this, "mnuSetPassword", "Change pass&word...", &mnuFile),
      sep5(*this, "sep5", "-", &mnuFile),
      mnuRecente([this] {
          std::vector<std::unique_ptr<ui::Menu>> voci;
          for (int i = 0; i < kRecenti; ++i)
              voci.push_back(std::make_unique<ui::Menu>(*this, "mnuRecente", "", &mnuFile, i));
          return voci;
      }()),
      sepRecenti(*this, "sepRecenti", "-", &mnuFile),
      mnuUscita(*this, "mnuUscita", "E&xit", &mnuFile),
      mnuConfig(*this, "mnuConfig", "&Profile"),
      mnuSetupMachine(*this, "mnuSetupMachine", "&Main settings...", &mnuConfig),
      mnuSetupInput(*this, "mnuSetupInput", "Setup &inputs...", &mnuConfig),
      mnuSetupOutput(*this, "mnuSetupOutput", "Setup &outputs...", &mnuConfig),
      mnuSetupCounter(*this, "mnuSetupCounter", "Setup &counters...", &mnuConfig),
      mnuSetupComm(*this, "mnuSetupComm", "Setup communication &port...", &mnuConfig),
      settings_(settings),
      platform_(std::move(platform)),
      options_(std::move(options)),
      modes_(StartModes::FromCommandLine(options_.commandLine)),
      gate_(host, settings)
{
    platform_.singoloByte = platform_.singoloByte || TrasferimentoSingoloByte(settings_, host.ApplicationTitle());
    SetSize(9600, 6300);
    SetSizable(true);
    lblStrumento.Move(240, 120, 9120, 255);
    // Six measures at most: the list holds them all.
    lvwMisure.Move(240, 420, 9120, 2100);
    lvwMisure.SetFullRowSelect(true);
    lvwMisure.SetColumnsFitText(true);
    lvwMisure.ItemClick.Connect([this](int item) { lvwMisure_ItemClick(item); });
    lblConflitti.Move(240, 2580, 9120, 255);
    lblIngressi.Move(240, 2880, 9120, 600);
    lblUscite.Move(240, 3540, 9120, 600);
    Label1.SetCaption("Wait...");
    Label1.Move(840, 5040, 1920, 315);
    Label1.SetVisible(false);
    Image1.SetPicture(ui::Picture::Hourglass);
    Image1.Move(240, 4920, 480, 480);
    Image1.SetVisible(false);
    lblTrasferimento.SetCaption("Trasferimento:");
    // The step text above the bar, as wide as the window, so that no step is cut or wrapped.
    lblTrasferimento.Move(240, 4230, 9120, 255);
    ProgressBar1.Move(240, 4530, 9120, 315);
    lblStato.Move(240, 5520, 9120, 255);
    lblVersione.Move(240, 5880, 9120, 315);
    mnuNuovo.SetShortcut("Ctrl+N");
    mnuApri.SetShortcut("Ctrl+O");
    mnuSalva.SetShortcut("Ctrl+S");
    for (std::size_t i = 0; i < mnuRecente.size(); ++i)
        mnuRecente[i]->Click.Connect([this, i] { mnuRecente_Click(i); });

    mnuNuovo.Click.Connect([this] { mnuNuovo_Click(); });
    mnuApri.Click.Connect([this] { mnuApri_Click(); });
    mnuReadSetup.Click.Connect([this] { mnuReadSetup_Click(); });
    mnuImport.Click.Connect([this] { mnuImport_Click(); });
    mnuConfronta.Click.Connect([this] { mnuConfronta_Click(); });
    mnuSalva.Click.Connect([this] { mnuSalva_Click(); });
    mnuSaveAs.Click.Connect([this] { mnuSaveAs_Click(); });
    mnuChiudi.Click.Connect([this] { mnuChiudi_Click(); });
    mnuSetupMachine.Click.Connect([this] { mnuSetupMachine_Click(); });
    mnuSetPassword.Click.Connect([this] { mnuSetPassword_Click(); });
    mnuEthSetup.Click.Connect([this] { mnuEthSetup_Click(); });
    mnuFormat.Click.Connect([this] { mnuFormat_Click(); });
    mnuExportMemory.Click.Connect([this] { mnuExportMemory_Click(); });
    mnuTestMemoria.Click.Connect([this] { mnuTestMemoria_Click(); });
    mnuRestoreMemory.Click.Connect([this] { mnuRestoreMemory_Click(); });
    mnuDiagnosi.Click.Connect([this] { mnuDiagnosi_Click(); });
    mnuInizializzaUSB.Click.Connect([this] { mnuInizializzaUSB_Click(); });
    mnuListSN.Click.Connect([this] { mnuListSN_Click(); });
    mnuCurve.Click.Connect([this] { mnuCurve_Click(); });
    mnuStatistiche.Click.Connect([this] { mnuStatistiche_Click(); });
    mnuUscita.Click.Connect([this] { mnuUscita_Click(); });
    mnuSetupInput.Click.Connect([this] { AggiornaMenu(); });
    mnuSetupOutput.Click.Connect([this] { AggiornaMenu(); });
}

std::string FMainZEMSETUP::TemplatePath() const
{
    return (std::filesystem::path(options_.programFolder) / kTemplateName).string();
}

void FMainZEMSETUP::Form_Load()
{
    for (ui::Menu* hidden : {&mnuReadSetup, &mnuSetupInput, &mnuSetupOutput, &mnuSetupCounter,
                             &mnuSetupComm, &mnuTestSeriale})
        hidden->SetVisible(false);
    mnuEthSetup.SetVisible(true);
    sep2.SetVisible(mnuEthSetup.Visible());
    mnuUpdate.SetVisible(modes_.configuration);
    sep3.SetVisible(modes_.configuration);
    for (ui::Menu* advanced : {&mnuInizializzaUSB, &mnuTestMemoria, &mnuExportMemory, &mnuRestoreMemory, &mnuListSN})
        advanced->SetVisible(modes_.advanced);
    // Items outside AggiornaMenu's care are enabled once, by whether they can do anything yet.
    for (ui::Menu* item : {&mnuNuovo, &mnuApri, &mnuReadSetup, &mnuImport, &mnuTestSeriale, &mnuExportMemory,
                           &mnuTestMemoria, &mnuRestoreMemory, &mnuEthSetup, &mnuListSN, &mnuInizializzaUSB, &mnuUpdate,
                           &mnuSetPassword, &mnuUscita, &mnuSetupMachine, &mnuSetupInput,
                           &mnuSetupOutput, &mnuSetupCounter, &mnuSetupComm, &mnuCurve})
        Enable(*item, true);
    Enable(mnuStatistiche, options_.statistics != nullptr);

    SetCaption(GetHost().ApplicationTitle());
    std::string minor = std::to_string(options_.versionMinor);
    if (minor.size() < 2) minor.insert(0, 2 - minor.size(), '0');
    lblVersione.SetCaption("ZEM AUTOMATION Setup version " + std::to_string(options_.versionMajor) + "." + minor);
    lblTrasferimento.SetVisible(false);
    ProgressBar1.SetVisible(false);
    lvwMisure.ClearColumns();
    lvwMisure.AddColumn("Measure", "MEASURE", 1900);
    lvwMisure.AddColumn("Type", "TYPE", 1700);
    lvwMisure.AddColumn("Transducers", "TRANSDUCERS", 1600);
    lvwMisure.AddColumn("Works", "WORKS", 700);
    AggiornaMenu();
    if (!options_.profilo.empty()) ApriProfilo(options_.profilo);
}

bool FMainZEMSETUP::Form_QueryUnload(ui::UnloadMode) { return ChiediSalvataggio(); }

void FMainZEMSETUP::Form_Unload() { chiusura_ = true; }

void FMainZEMSETUP::Enable(ui::Menu& item, bool when)
{
    item.SetEnabled(when && (!item.Items().empty() || item.Click.Connected()));
}

void FMainZEMSETUP::AggiornaMenu()
{
    const bool aperto = !profilo_.Vuoto;
    for (ui::Menu* item : {&mnuConfig, &mnuFormat, &mnuConfronta, &mnuSalva, &mnuSaveAs, &mnuChiudi}) Enable(*item, aperto);
    Enable(mnuDiagnosi, !aperto || !profilo_.Modificato);
    SetCaption(!aperto || titolo_.empty() ? GetHost().ApplicationTitle() : titolo_ + (profilo_.Modificato ? " *" : ""));
    MostraPanoramica();
    MostraRecenti();
}

void FMainZEMSETUP::MostraPanoramica()
{
    const bool aperto = !profilo_.Vuoto;
    const int selezionata = lvwMisure.SelectedIndex();
    lvwMisure.ClearItems();
    righe_.clear();
    if (!aperto) {
        lblStrumento.SetCaption("No profile is open: New profile (Ctrl+N) or Open profile (Ctrl+O).");
        lblConflitti.SetCaption("");
        lblStato.SetCaption("");
        lvwMisure_ItemClick(-1);
        return;
    }
    PanoramicaProfilo panoramica = PanoramicaProfilo::Di(profilo_);
    lblStrumento.SetCaption(panoramica.strumento);
    for (const auto& riga : panoramica.righe) {
        const int i = lvwMisure.AddItem(riga.misura);
        lvwMisure.SetCell(i, "TYPE", riga.tipo);
        lvwMisure.SetCell(i, "TRANSDUCERS", riga.trasduttori);
        lvwMisure.SetCell(i, "WORKS", riga.lavori);
    }
    righe_ = std::move(panoramica.righe);
    lblConflitti.SetCaption(panoramica.conflitti);
    // The measure the technician was looking at stays selected while the profile changes.
    const int riga = selezionata >= 0 && selezionata < lvwMisure.ItemCount() ? selezionata : 0;
    lvwMisure.SetSelectedIndex(riga);
    lvwMisure_ItemClick(riga);
    lblStato.SetCaption((fileCorrente_.empty() ? std::string("Not saved yet") : fileCorrente_)
                        + (profilo_.Modificato ? " - changed" : ""));
}

std::vector<std::string> FMainZEMSETUP::Recenti()
{
    std::vector<std::string> recenti;
    for (int i = 1; i <= kRecenti; ++i) {
        const std::string path = Setting((kRecente + std::to_string(i)).c_str(), "");
        if (!path.empty()) recenti.push_back(path);
    }
    // The last profile an earlier version kept is offered too.
    const std::string ultimo = Setting(kUltimoProfilo, "");
    if (recenti.empty() && !ultimo.empty()) recenti.push_back(ultimo);
    return recenti;
}

void FMainZEMSETUP::MostraRecenti()
{
    const auto recenti = Recenti();
    for (std::size_t i = 0; i < mnuRecente.size(); ++i) {
        ui::Menu& voce = *mnuRecente[i];
        voce.SetVisible(i < recenti.size());
        voce.SetCaption(i < recenti.size() ? "&" + std::to_string(i + 1) + " " + recenti[i] : "");
        voce.SetEnabled(i < recenti.size());
    }
    sepRecenti.SetVisible(!recenti.empty());
}

bool FMainZEMSETUP::Form_OLEDragDrop(const std::string& path)
{
    std::string estensione = DividiPercorso(path).Estensione;
    std::transform(estensione.begin(), estensione.end(), estensione.begin(), [](unsigned char c) { return std::tolower(c); });
    if (estensione != kExtension) return false;
    if (ChiediSalvataggio()) ApriProfilo(path);
    return true;
}

void FMainZEMSETUP::mnuRecente_Click(std::size_t i)
{
    const auto recenti = Recenti();
    if (i >= recenti.size() || !ChiediSalvataggio()) return;
    ApriProfilo(recenti[i]);
}

bool FMainZEMSETUP::PasswordOK() { return gate_.PasswordOK(); }

std::string FMainZEMSETUP::Setting(const char* key, const char* defaultValue)
{
    return settings_.GetSetting(GetHost().ApplicationTitle(), kSection, key, defaultValue);
}

void FMainZEMSETUP::StoreProfilePath(const std::string& path)
{
    const std::string& title = GetHost().ApplicationTitle();
    const PercorsoDiviso parti = DividiPercorso(path);
    if (!parti.Cartella.empty()) settings_.SaveSetting(title, kSection, kPathProfili, parti.Cartella);
    settings_.SaveSetting(title, kSection, kUltimoProfilo, path);
    std::vector<std::string> recenti{path};
    for (const std::string& earlier : Recenti())
        if (earlier != path && recenti.size() < static_cast<std::size_t>(kRecenti)) recenti.push_back(earlier);
    for (int i = 1; i <= kRecenti; ++i)
        settings_.SaveSetting(title, kSection, kRecente + std::to_string(i),
                              i <= static_cast<int>(recenti.size()) ? recenti[static_cast<std::size_t>(i - 1)] : "");
}

void FMainZEMSETUP::ShowFileName(const std::string& path)
{
    const std::string& title = GetHost().ApplicationTitle();
    titolo_ = path.empty() ? title : title + " - " + DividiPercorso(path).Nome;
    SetCaption(titolo_);
}

bool FMainZEMSETUP::ChiediSalvataggio()
{
    if (!profilo_.Modificato) return true;
    switch (GetHost().Ask(ui::Question::SaveChangedProfile, "Profile has been changed.\r\nSave changes?", ui::MsgButtons::YesNoCancel,
                             ui::MsgIcon::Question)) {
    case ui::MsgAnswer::Yes: return PasswordOK() && SalvaProfilo();
    case ui::MsgAnswer::No: return true;
    default: return false;
    }
}

void FMainZEMSETUP::CaricaModello()
{
    if (profilo_.ApriFile(TemplatePath())) return;
    // Without a usable template the model's defaults are opened: nothing of the profile before
    // may carry over into the new one.
    profilo_ = ProfiloZem{};
    profilo_.Vuoto = false;
}

bool FMainZEMSETUP::ApriProfilo(const std::string& path)
{
    bool aperto = false;
    if (!path.empty() && profilo_.ApriFile(path)) {
        fileCorrente_ = path;
        StoreProfilePath(path);
        ShowFileName(path);
        aperto = true;
    } else {
        const std::string causa = profilo_.LastError();
        fileCorrente_.clear();
        CaricaModello();
        ShowFileName({});
        if (!path.empty())
            GetHost().MsgBox("Open file error.\r\n" + path + "\r\n" + causa, ui::MsgButtons::OK, ui::MsgIcon::Exclamation);
    }
    AggiornaMenu();
    return aperto;
}

bool FMainZEMSETUP::SalvaProfilo()
{
    if (fileCorrente_.empty()) return SalvaProfiloConNome();
    if (profilo_.SalvaFile(fileCorrente_)) return true;
    GetHost().MsgBox(fileCorrente_ + "\r\nProfile saving fail.\r\n" + profilo_.LastError(), ui::MsgButtons::OK,
                     ui::MsgIcon::Exclamation);
    return false;
}

// The profile file dialogs share their title, filter, extension and starting folder.
ui::FileDialogRequest FMainZEMSETUP::RichiestaFileProfilo(ui::FileDialogKind kind)
{
    ui::FileDialogRequest request;
    request.kind = kind;
    request.title = kDialogTitle;
    request.filter = kFilter;
    request.defaultExtension = kExtension;
    request.initialFolder = Setting(kPathProfili, "");
    return request;
}

bool FMainZEMSETUP::SalvaProfiloConNome()
{
    ui::FileDialogRequest request = RichiestaFileProfilo(ui::FileDialogKind::Save);
    request.overwritePrompt = true;
    const auto chosen = GetHost().ChooseFile(request);
    if (!chosen) return false;
    // Another file the technician agreed to overwrite is replaced, not merged into. A file that
    // could not be written is not the profile's file: the old name and settings stay.
    const auto modo = *chosen == fileCorrente_ ? ProfiloZem::Salvataggio::Aggiorna : ProfiloZem::Salvataggio::Sostituisci;
    if (!profilo_.SalvaFile(*chosen, modo)) {
        GetHost().MsgBox(*chosen + "\r\nProfile saving fail.\r\n" + profilo_.LastError(), ui::MsgButtons::OK,
                         ui::MsgIcon::Exclamation);
        return false;
    }
    fileCorrente_ = *chosen;
    StoreProfilePath(*chosen);
    ShowFileName(*chosen);
    return true;
}

void FMainZEMSETUP::mnuNuovo_Click()
{
    if (!ChiediSalvataggio()) return;
    ApriProfilo({});
    mnuSetupMachine_Click();
}

void FMainZEMSETUP::mnuApri_Click()
{
    if (!ChiediSalvataggio()) return;
    ui::FileDialogRequest request = RichiestaFileProfilo(ui::FileDialogKind::Open);
    request.fileMustExist = true;
    if (const auto chosen = GetHost().ChooseFile(request)) ApriProfilo(*chosen);
}

// Copies nothing into the profile: only tells whether the instrument holds a configuration.
void FMainZEMSETUP::mnuReadSetup_Click()
{
    if (!ChiediSalvataggio()) return;
    LetturaProfilo(GetHost(), platform_).Run();
}

// The instrument's configuration becomes a new profile without a file; what the memory does not
// keep comes from the template, and the technician is told which fields those are.
void FMainZEMSETUP::mnuImport_Click()
{
    if (!ChiediSalvataggio()) return;
    const auto modello = ImportaProfilo::Modello(GetHost(), TemplatePath());
    if (!modello) return;
    auto esito = ImportaProfilo(GetHost(), platform_, *this).Run(*modello);
    if (!esito.profilo) return;
    profilo_ = std::move(*esito.profilo);
    fileCorrente_.clear();
    ShowFileName({});
    AggiornaMenu();
    ImportaProfilo::MostraNonLetti(GetHost(), esito);
}

// Reads the instrument and changes nothing: neither the profile nor the instrument.
void FMainZEMSETUP::mnuConfronta_Click() { ConfrontoProfilo(GetHost(), platform_, *this).Run(profilo_); }

void FMainZEMSETUP::mnuSalva_Click()
{
    if (!PasswordOK()) return;
    SalvaProfilo();
    AggiornaMenu();
}

void FMainZEMSETUP::mnuSaveAs_Click()
{
    if (!PasswordOK()) return;
    SalvaProfiloConNome();
    AggiornaMenu();
}

void FMainZEMSETUP::mnuChiudi_Click()
{
    if (!ChiediSalvataggio()) return;
    profilo_.Chiudi();
    fileCorrente_.clear();
    ShowFileName({});
    AggiornaMenu();
}

void FMainZEMSETUP::mnuSetupMachine_Click()
{
    FSetupStrumento(GetHost()).ShowForm(profilo_);
    AggiornaMenu();
}

void FMainZEMSETUP::mnuSetPassword_Click() { gate_.ChangePassword(); }

void FMainZEMSETUP::mnuEthSetup_Click() { EthernetSetup(GetHost(), platform_, gate_).Run(); }

void FMainZEMSETUP::mnuFormat_Click()
{
    const auto chiave = FSceltaStrumento(GetHost(), platform_).LoadForm("Send profile to instrument", false, false);
    if (!chiave) return;
    // Nothing else may start, nor the profile change, while the instrument is being written.
    mnuFile.SetEnabled(false);
    mnuConfig.SetEnabled(false);
    InvioProfilo(GetHost(), platform_, gate_, *this).Invia(profilo_, *chiave);
    mnuFile.SetEnabled(true);
    AggiornaMenu();
}

void FMainZEMSETUP::mnuExportMemory_Click()
{
    const auto chiave = FSceltaStrumento(GetHost(), platform_).LoadForm("Memory export", false, false);
    if (!chiave) return;
    BackupMemoria(GetHost(), platform_, *this).Esporta(*chiave, std::nullopt, Setting(kPathProfili, ""));
}

void FMainZEMSETUP::mnuTestMemoria_Click()
{
    const auto chiave = FSceltaStrumento(GetHost(), platform_).LoadForm("Memory test", false, false);
    if (!chiave) return;
    TestMemoria(GetHost(), platform_, *this).Esegui(*chiave);
}

void FMainZEMSETUP::mnuRestoreMemory_Click()
{
    const auto chiave = FSceltaStrumento(GetHost(), platform_).LoadForm("Memory restore", false, false);
    if (!chiave) return;
    // Nothing else may start, nor the profile change, while the instrument is being written.
    mnuFile.SetEnabled(false);
    mnuConfig.SetEnabled(false);
    RipristinoMemoria(GetHost(), platform_, gate_, *this).Ripristina(*chiave, std::nullopt, Setting(kPathProfili, ""));
    mnuFile.SetEnabled(true);
    AggiornaMenu();
}

void FMainZEMSETUP::SetBusy(bool busy)
{
    Label1.SetVisible(busy);
    Image1.SetVisible(busy);
    GetHost().SetBusy(busy);
    GetHost().Refresh();
}

void FMainZEMSETUP::ShowProgress(const std::string& caption, int maximum)
{
    ProgressBar1.SetValue(0);
    ProgressBar1.SetMax(maximum);
    lblTrasferimento.SetCaption(caption);
    lblTrasferimento.SetVisible(true);
    ProgressBar1.SetVisible(true);
    GetHost().Refresh();
}

// A bar already full stays full: the bar refuses a value past its maximum.
void FMainZEMSETUP::Advance() { ProgressBar1.SetValue(ProgressBar1.Value() + 1); }

void FMainZEMSETUP::ShowStatus(const std::string& text)
{
    lblTrasferimento.SetCaption(text);
    lblTrasferimento.SetVisible(true);
    GetHost().Refresh();
}

void FMainZEMSETUP::HideProgress()
{
    ProgressBar1.SetVisible(false);
    lblTrasferimento.SetVisible(false);
}

void FMainZEMSETUP::mnuDiagnosi_Click()
{
    // While the calibrations are written the window shows that it is busy.
    Diagnosis(GetHost(), platform_, gate_, [this](bool occupato) { SetBusy(occupato); }).Run();
}

void FMainZEMSETUP::mnuInizializzaUSB_Click()
{
    InizializzazioneUSB(GetHost(), platform_, settings_, options_.programFolder).Run();
}

void FMainZEMSETUP::mnuListSN_Click()
{
    std::string nome, seriale;
    FListaSN(GetHost(), settings_, options_.programFolder).Load(0, nome, seriale);
}

void FMainZEMSETUP::lvwMisure_ItemClick(int item)
{
    if (item < 0 || item >= static_cast<int>(righe_.size())) {
        lblIngressi.SetCaption("");
        lblUscite.SetCaption("");
        return;
    }
    const auto& riga = righe_[static_cast<std::size_t>(item)];
    lblIngressi.SetCaption("Inputs of " + riga.misura + ": " + (riga.ingressi.empty() ? "none" : riga.ingressi));
    lblUscite.SetCaption("Outputs of " + riga.misura + ": " + (riga.uscite.empty() ? "none" : riga.uscite));
}

// The curve window checks the chosen instrument before it shows.
void FMainZEMSETUP::mnuCurve_Click()
{
    FSceltaStrumento scelta(GetHost(), platform_);
    if (const auto key = scelta.LoadForm("Curves", false, false)) {
        FCurve curve(GetHost(), platform_);
        curve.SetRecording(options_.curveRecording);
        curve.LoadForm(*key, Setting(kPathProfili, ""));
    }
}

void FMainZEMSETUP::mnuStatistiche_Click()
{
    FStatistics(GetHost(), *options_.statistics).LoadForm(Setting(kPathProfili, ""));
}

void FMainZEMSETUP::mnuUscita_Click() { Unload(); }

} // namespace zem
