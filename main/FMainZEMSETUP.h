#pragma once

#include "access/PasswordGate.h"
#include "link/LinkPlatform.h"
#include "main/PanoramicaProfilo.h"
#include "main/StartModes.h"
#include "main/TransferProgress.h"
#include "profile/ProfiloZem.h"
#include "ui/Dialogs.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/ListView.h"
#include "ui/Menu.h"
#include "ui/ProgressBar.h"

#include <string>
#include <vector>

namespace zem {

class CurveRecording;
class StatisticsSource;

class SettingsStore;

// The program's only top-level window. It owns the current profile and the access password of
// the run, and its menus start every operation. A menu item is enabled only when it has a
// handler: the items of the instrument workflows stay greyed until their windows are built.
class FMainZEMSETUP final : public ui::Form, private TransferProgress {
public:
    struct Options {
        std::string programFolder;  // where the template Default.ZemP is shipped
        std::string commandLine;    // the arguments as one text, "/ADV" and "/CFG" read from it
        int versionMajor = 0;
        int versionMinor = 0;
        std::string profilo = {};   // a profile file opened at start, as a double-click on it asks
        CurveRecording* curveRecording = nullptr;  // the curve window's "Record...", when the program keeps pieces
        StatisticsSource* statistics = nullptr;    // the statistics of recorded pieces, when the program reads them
    };

    static constexpr const char* kTemplateName = "Default.ZemP";

    // `platform`: how the instrument workflows reach the instruments.
    FMainZEMSETUP(ui::Host& host, SettingsStore& settings, LinkPlatform platform, Options options);

    ProfiloZem& Profilo() { return profilo_; }
    const ProfiloZem& Profilo() const { return profilo_; }
    // Full path of the profile file; empty for a new or default profile.
    const std::string& FileCorrente() const { return fileCorrente_; }
    const StartModes& Modes() const { return modes_; }
    std::string TemplatePath() const;

    // The access password, asked until it has been given once in this run.
    bool PasswordOK();
    // Enables the menus from the profile's state; the setup dialogs call it after editing.
    void AggiornaMenu();
    // Set once the window is unloading: a transfer that pumps events stops writing when it sees it.
    bool Chiusura() const { return chiusura_; }

    ui::ProgressBar ProgressBar1;
    ui::Label lblTrasferimento;
    ui::Label Label1;
    ui::Image Image1;
    ui::Label lblVersione;
    // The open profile at a glance, and what the window last did.
    ui::Label lblStrumento;
    ui::ListView lvwMisure;
    ui::Label lblConflitti;
    // The physical inputs and outputs of the measure selected in the list: their lists have no
    // length limit, so they wrap here instead of stretching the list sideways.
    ui::Label lblIngressi;
    ui::Label lblUscite;
    ui::Label lblStato;

    ui::Menu mnuFile;
    ui::Menu mnuNuovo;
    ui::Menu mnuApri;
    ui::Menu mnuReadSetup;
    ui::Menu mnuImport;
    ui::Menu mnuConfronta;
    ui::Menu mnuSalva;
    ui::Menu mnuSaveAs;
    ui::Menu mnuFormat;
    ui::Menu mnuChiudi;
    ui::Menu sep4;
    ui::Menu mnuDiagnosi;
    ui::Menu mnuCurve;
    ui::Menu mnuStatistiche;
    ui::Menu mnuTestSeriale;
    ui::Menu mnuExportMemory;
    ui::Menu mnuTestMemoria;
    ui::Menu mnuRestoreMemory;
    ui::Menu sep2;
    ui::Menu mnuEthSetup;
    ui::Menu sep3;
    ui::Menu mnuListSN;
    ui::Menu mnuInizializzaUSB;
    ui::Menu mnuUpdate;
    ui::Menu sep1;
    ui::Menu mnuSetPassword;
    ui::Menu sep5;
    // The profiles opened or saved last, newest first: "mnuRecente(0..3)".
    std::vector<std::unique_ptr<ui::Menu>> mnuRecente;
    ui::Menu sepRecenti;
    ui::Menu mnuUscita;
    ui::Menu mnuConfig;
    ui::Menu mnuSetupMachine;
    ui::Menu mnuSetupInput;
    ui::Menu mnuSetupOutput;
    ui::Menu mnuSetupCounter;
    ui::Menu mnuSetupComm;

protected:
    void Form_Load() override;
    bool Form_QueryUnload(ui::UnloadMode mode) override;
    void Form_Unload() override;
    // A ".zemp" dropped onto the window opens as through the Open dialog.
    bool Form_OLEDragDrop(const std::string& path) override;

private:
    void mnuNuovo_Click();
    void mnuApri_Click();
    void mnuReadSetup_Click();
    void mnuImport_Click();
    void mnuConfronta_Click();
    void mnuSalva_Click();
    void mnuSaveAs_Click();
    void mnuChiudi_Click();
    void mnuSetupMachine_Click();
    void mnuSetPassword_Click();
    void mnuEthSetup_Click();
    void mnuFormat_Click();
    void mnuExportMemory_Click();
    void mnuTestMemoria_Click();
    void mnuRestoreMemory_Click();
    void mnuDiagnosi_Click();
    void mnuInizializzaUSB_Click();
    void mnuListSN_Click();
    void mnuCurve_Click();
    void mnuStatistiche_Click();
    void mnuUscita_Click();

    // A transfer's progress on the window: the busy indication, ProgressBar1 and its label.
    void SetBusy(bool busy) override;
    void ShowProgress(const std::string& caption, int maximum) override;
    void Advance() override;
    void HideProgress() override;
    void ShowStatus(const std::string& text) override;
    bool Closing() const override { return chiusura_; }

    bool ChiediSalvataggio();
    bool SalvaProfilo();
    bool SalvaProfiloConNome();
    ui::FileDialogRequest RichiestaFileProfilo(ui::FileDialogKind kind);
    bool ApriProfilo(const std::string& path);
    void CaricaModello();
    void ShowFileName(const std::string& path);
    std::string titolo_;  // the caption without the changed marker
    // Enables an item when `when` holds and the item can do something.
    static void Enable(ui::Menu& item, bool when);
    std::string Setting(const char* key, const char* defaultValue);
    void StoreProfilePath(const std::string& path);
    // The recent profiles, newest first, as the settings keep them.
    std::vector<std::string> Recenti();
    void MostraRecenti();
    void mnuRecente_Click(std::size_t i);
    void MostraPanoramica();
    void lvwMisure_ItemClick(int item);

    SettingsStore& settings_;
    LinkPlatform platform_;
    Options options_;
    std::vector<PanoramicaProfilo::Riga> righe_;  // of the overview, for the selected measure's inputs and outputs
    StartModes modes_;
    PasswordGate gate_;
    ProfiloZem profilo_;
    std::string fileCorrente_;
    bool chiusura_ = false;
};

} // namespace zem
