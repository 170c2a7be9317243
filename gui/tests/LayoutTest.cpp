// Every window as the screen shows it, at 100% and (gui_layout_125) at 125%: no text wider than
// its control, no controls over each other. ZEM_LAYOUT_PICTURES=DIR keeps a picture of each.
#include "diagnosis/FCurve.h"
#include "diagnosis/FStatistics.h"
#include "gui/FormDialog.h"
#include "gui/LayoutAudit.h"
#include "gui/MessageBoxes.h"
#include "record/MemoryPieceStore.h"
#include "record/SqlitePieceStore.h"
#include "record/StoreStatistics.h"
#include "record/WindowRecording.h"
#include "setup/FSetupMisuraPkPk.h"
#include "setup/FSetupMisuraPressa.h"
#include "setup/FSetupMisuraSemplice.h"
#include "setup/FSetupMisuraTestCyl.h"
#include "setup/FSetupStrumento.h"
#include "tests/curves/CurveSite.h"
#include "tests/diagnosis/DiagnosisBench.h"
#include "tests/discovery/SelectionFixture.h"
#include "tests/main/MainWindowSession.h"
#include "tests/setup/MeasureDialogSession.h"

#include <QApplication>
#include <QDir>
#include <QRegularExpression>

#include <cmath>
#include <filesystem>

#include <gtest/gtest.h>

namespace zem::gui {
namespace {

using test::Click;

void Show(QWidget& window) { window.show(), QCoreApplication::sendPostedEvents(); }

// Each form shown as its window while the scripted host has it up; what is wrong is kept. Only
// posted events are delivered, never timer events: the window's own timers would run the form's
// handlers behind the scripted host, on a link whose simulated time then never moves.
class Layout : public testing::Test {
protected:
    void TearDown() override { EXPECT_TRUE(faults.isEmpty()) << faults.join(QLatin1Char('\n')).toStdString(); }

    void Look(QWidget& window, const QString& name, const QStringList& found)
    {
        faults << found;
        if (const QString folder = qEnvironmentVariable("ZEM_LAYOUT_PICTURES"); !folder.isEmpty())
            QDir().mkpath(folder), window.grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
    }
    void Look(ui::Form& form, const QString& state = {})
    {
        ui::FormObserver* host = form.Observer();
        {
            FormDialog window(form, nullptr);
            Show(window);
            const QString suffix = state.isEmpty() ? QString() : QLatin1Char('-') + state;
            Look(window, QString::fromStdString(form.Name()) + suffix, LayoutFaults(window).replaceInStrings(QRegularExpression(QStringLiteral("$")), suffix));
        }
        form.SetObserver(host);
    }
    std::function<void(ui::Form&)> LookAndCancel(const QString& state = {})
    {
        return [this, state](ui::Form& f) { Look(f, state), Click(f, "cmdCancel"); };
    }

    template <class Dialog>
    void LookAtMeasure(ui::ScriptedHost& host, ProfiloZem& profilo, int misura, const char* inOut)
    {
        Dialog dialog(host);
        host.OnForm(dialog.Name(), [&](ui::Form& f) {
            Look(f);
            host.OnForm(inOut, LookAndCancel());
            Click(f, "cmdSetupInOut");
            host.OnForm("FSetupOperazioni", LookAndCancel(QString::fromStdString(dialog.Name())));
            Click(f, "cmdSetupOperazioni");
            Click(f, "cmdCancel");
        });
        dialog.ShowForm(misura, profilo);
    }
    QStringList faults;
};

TEST_F(Layout, TheProfileSetupDialogsOfEveryMeasureTypeFit)
{
    ui::ScriptedHost host;
    ProfiloZem profilo;
    ASSERT_TRUE(profilo.ApriFile(test::kTemplateSource));
    for (int m = 1; m <= 4; ++m) profilo.SetTipoMisura(m, static_cast<std::int16_t>(m));
    host.OnForm("FSetupStrumento", [&](ui::Form& f) {
        Look(f);
        f.Get<ui::CheckBox>("Check1").UserClick();
        host.OnForm("FSetupMsgWindow", LookAndCancel());
        Click(f, "cmdSetupMsg");
        Click(f, "cmdCancel");
    });
    FSetupStrumento(host).ShowForm(profilo);
    LookAtMeasure<FSetupMisuraPressa>(host, profilo, 1, "FSetupInOutPressa");
    LookAtMeasure<FSetupMisuraPkPk>(host, profilo, 2, "FSetupInOutBase");
    LookAtMeasure<FSetupMisuraSemplice>(host, profilo, 3, "FSetupInOutBase");
    LookAtMeasure<FSetupMisuraTestCyl>(host, profilo, 4, "FSetupInOutTestCyl");
}

TEST_F(Layout, TheInstrumentWindowsFitOnEveryTabAndShowWholeKeys)
{
    test::DiagnosisBench bench;
    bench.Mostra(test::DiagnosisBench::kNormale, [&](FDiagnosi& f) {
        for (int tab = 0; tab < FDiagnosi::kSchede; ++tab) {
            f.TabStrip1.UserClickTab(tab);
            bench.host.AdvanceTimers(500);
            Look(f, QStringLiteral("tab%1").arg(tab));
        }
        f.RequestClose();
    });
    test::SelectionSite site;
    for (const bool soloRete : {false, true})  // keys by IP and port, then by MAC
        site.Show(soloRete, false, [&](FSceltaStrumento& f) {
            site.host.AdvanceTimers(5000);
            Look(f, soloRete ? QStringLiteral("network") : QString());
            Click(f, "cmdCancel");
        });
    test::CurveSite curves;
    curves.host.OnForm("FCurve", [&](ui::Form& f) {
        curves.host.AdvanceTimers(4500);
        Look(f);
        f.RequestClose();
    });
    // With the program's recording, as zemsetup shows it: "Record..." beside the export.
    WindowRecording recording([](const std::string&, std::string&) -> std::unique_ptr<PieceStore> {
        return std::make_unique<MemoryPieceStore>();
    });
    FCurve curve(curves.host, curves.platform.Platform());
    curve.SetRecording(&recording);
    curve.LoadForm(test::CurveSite::kUsb);
}

TEST_F(Layout, TheStatisticsWindowFitsWithAShiftsPieces)
{
    const auto folder = std::filesystem::temp_directory_path() / ("zem-layout-" + std::to_string(QCoreApplication::applicationPid()));
    std::filesystem::create_directories(folder);
    std::string error;
    if (auto store = SqlitePieceStore::Open((folder / "line1.db").string(), error)) {
        PieceRecord p;
        p.instrument = "USB: MR4A1001", p.measure = 1;
        bool added = false;
        for (int c = 1; c <= 300; ++c) {
            const double force = 12 + 0.3 * (std::sin(c * 1.3) + std::sin(c * 2.9) + std::sin(c * 0.37)), depth = 40 + std::cos(c * 0.9);
            p.counter = c, p.verdict = force > 12.7 ? "rejected" : "good";
            p.results = {{"Peak force", force, 11.0, 12.7, "kN", 2}, {"Peak position", depth, 38.5, 41.5, "mm", 2}};
            store->Add(p, added);
        }
    }
    ui::ScriptedHost host;
    StoreStatistics source([] { return std::int64_t{0}; });
    FStatistics window(host, source);
    host.ChooseFile((folder / "line1.db").string());
    host.OnForm("FStatistics", [&](ui::Form& f) { Look(f), f.RequestClose(); });
    EXPECT_TRUE(window.LoadForm()) << error;
    std::filesystem::remove_all(folder);
}

TEST_F(Layout, TheMainWindowThePasswordWindowsAndTheShortMessagesFit)
{
    test::MainWindowSession session;
    session.host.OnForm("FSetPassword", LookAndCancel());
    session.window->mnuSetPassword.UserClick();
    session.Open(session.Example());
    session.host.OnForm("FPassword", LookAndCancel());
    session.window->mnuSalva.UserClick();
    Look(*session.window, QStringLiteral("open"));
    // As during a transfer: the busy indication, a long step text above the bar.
    FMainZEMSETUP& w = *session.window;
    for (ui::Control* c : std::initializer_list<ui::Control*>{&w.Label1, &w.Image1, &w.lblTrasferimento, &w.ProgressBar1}) c->SetVisible(true);
    w.lblTrasferimento.SetCaption("Memory test: Writing (1/3)"), w.ProgressBar1.SetMax(10), w.ProgressBar1.SetValue(4);
    Look(w, QStringLiteral("busy"));
    // The shortest answers of the workflows would give the narrowest boxes.
    for (const char* text : {"Test memory OK", "Exporting completed.", "Communication error"}) {
        const auto box = BuildMessageBox({text, "ZEM Setup", ui::MsgButtons::OK, ui::MsgIcon::Information}, nullptr);
        Show(*box);
        Look(*box, QStringLiteral("message-") + QString::fromLatin1(text).left(4), MessageBoxFaults(*box));
    }
}

} // namespace
} // namespace zem::gui
