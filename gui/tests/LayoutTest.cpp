// Every window of the program as the screen shows it, at the font and scale the test runs with
// (the build runs it at 100% and at 125%): no text wider than its control, no controls over each
// other. With ZEM_LAYOUT_PICTURES set, a picture of each window goes into that folder.
#include "access/FPassword.h"
#include "access/FSetPassword.h"
#include "diagnosis/FCurve.h"
#include "gui/FormDialog.h"
#include "gui/LayoutAudit.h"
#include "gui/MessageBoxes.h"
#include "setup/FSetupInOutBase.h"
#include "setup/FSetupInOutPressa.h"
#include "setup/FSetupInOutTestCyl.h"
#include "setup/FSetupMisuraPkPk.h"
#include "setup/FSetupMisuraPressa.h"
#include "setup/FSetupMisuraSemplice.h"
#include "setup/FSetupMisuraTestCyl.h"
#include "setup/FSetupMsgWindow.h"
#include "setup/FSetupOperazioni.h"
#include "setup/FSetupStrumento.h"
#include "tests/curves/CurveSite.h"
#include "tests/diagnosis/DiagnosisBench.h"
#include "tests/discovery/SelectionFixture.h"
#include "tests/main/MainWindowSession.h"
#include "tests/setup/MeasureDialogSession.h"
#include "ui/ComboBox.h"

#include <QApplication>
#include <QDir>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace zem::gui {
namespace {

using test::Click;

// Shows each form as its window while the scripted host has it up, and keeps what is wrong.
class Inspector {
public:
    void Look(ui::Form& form, const QString& state = {})
    {
        ui::FormObserver* host = form.Observer();
        {
            FormDialog window(form, nullptr);
            window.show();
            QCoreApplication::processEvents();
            for (const QString& fault : LayoutFaults(window)) faults << fault + Suffix(state);
            Picture(window, QString::fromStdString(form.Name()) + (state.isEmpty() ? QString() : QLatin1Char('-') + state));
        }
        form.SetObserver(host);
    }

    void Look(const ui::MessageBoxRequest& request, const QString& name)
    {
        const auto box = BuildMessageBox(request, nullptr);
        box->show();
        QCoreApplication::processEvents();
        faults << MessageBoxFaults(*box);
        Picture(*box, QStringLiteral("message-") + name);
        box->hide();
    }

    QStringList faults;

private:
    static QString Suffix(const QString& state) { return state.isEmpty() ? QString() : QStringLiteral(" (") + state + QLatin1Char(')'); }

    static void Picture(QWidget& window, const QString& name)
    {
        const QString folder = qEnvironmentVariable("ZEM_LAYOUT_PICTURES");
        if (folder.isEmpty()) return;
        QDir().mkpath(folder);
        window.grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
    }
};

std::string Joined(const QStringList& faults) { return faults.join(QLatin1Char('\n')).toStdString(); }

// A measure dialog, then its inputs and outputs and its operations, each closed with Cancel.
template <class Dialog>
void LookAtMeasure(Inspector& inspector, ui::ScriptedHost& host, ProfiloZem& profilo, int misura, const char* inOut)
{
    Dialog dialog(host);
    host.OnForm(dialog.Name(), [&](ui::Form& f) {
        inspector.Look(f);
        host.OnForm(inOut, [&](ui::Form& g) {
            inspector.Look(g);
            Click(g, "cmdCancel");
        });
        Click(f, "cmdSetupInOut");
        host.OnForm("FSetupOperazioni", [&](ui::Form& g) {
            inspector.Look(g, QString::fromStdString(dialog.Name()));
            Click(g, "cmdCancel");
        });
        Click(f, "cmdSetupOperazioni");
        Click(f, "cmdCancel");
    });
    dialog.ShowForm(misura, profilo);
}

TEST(Layout, TheProfileSetupDialogsOfEveryMeasureTypeFit)
{
    Inspector inspector;
    ui::ScriptedHost host;
    host.PressOn();
    ProfiloZem profilo;
    ASSERT_TRUE(profilo.ApriFile(test::kTemplateSource));
    for (int m = 1; m <= 4; ++m) profilo.SetTipoMisura(m, static_cast<std::int16_t>(m));

    FSetupStrumento settings(host);
    host.OnForm("FSetupStrumento", [&](ui::Form& f) {
        inspector.Look(f);
        f.Get<ui::CheckBox>("Check1").UserClick();
        host.OnForm("FSetupMsgWindow", [&](ui::Form& g) {
            inspector.Look(g);
            Click(g, "cmdCancel");
        });
        Click(f, "cmdSetupMsg");
        Click(f, "cmdCancel");
    });
    settings.ShowForm(profilo);
    LookAtMeasure<FSetupMisuraPressa>(inspector, host, profilo, 1, "FSetupInOutPressa");
    LookAtMeasure<FSetupMisuraPkPk>(inspector, host, profilo, 2, "FSetupInOutBase");
    LookAtMeasure<FSetupMisuraSemplice>(inspector, host, profilo, 3, "FSetupInOutBase");
    LookAtMeasure<FSetupMisuraTestCyl>(inspector, host, profilo, 4, "FSetupInOutTestCyl");
    EXPECT_GE(host.FormsShown().size(), 14u);
    EXPECT_TRUE(inspector.faults.isEmpty()) << Joined(inspector.faults);
}

TEST(Layout, TheDiagnosisWindowFitsOnEveryTab)
{
    Inspector inspector;
    test::DiagnosisBench bench;
    bench.Mostra(test::DiagnosisBench::kNormale, [&](FDiagnosi& f) {
        for (int tab = 0; tab < FDiagnosi::kSchede; ++tab) {
            f.TabStrip1.UserClickTab(tab);
            bench.host.AdvanceTimers(500);
            inspector.Look(f, QString::fromStdString(f.TabStrip1.TabCaption(tab)).replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9]+")), QStringLiteral("_")));
        }
        f.RequestClose();
    });
    EXPECT_TRUE(inspector.faults.isEmpty()) << Joined(inspector.faults);
}

TEST(Layout, TheSelectionListShowsWholeKeysAndTheCurveWindowFits)
{
    Inspector inspector;
    test::SelectionSite site;
    site.Show(false, false, [&](FSceltaStrumento& f) {
        site.host.AdvanceTimers(5000);
        inspector.Look(f);
        f.Get<ui::CommandButton>("cmdCancel").UserClick();
    });
    site.Show(true, false, [&](FSceltaStrumento& f) {  // the modules by their MAC keys
        site.host.AdvanceTimers(5000);
        inspector.Look(f, QStringLiteral("network"));
        f.Get<ui::CommandButton>("cmdCancel").UserClick();
    });
    test::CurveSite curves;
    FCurve window(curves.host, curves.platform.Platform());
    curves.host.OnForm("FCurve", [&](ui::Form& f) {
        curves.host.AdvanceTimers(4500);
        inspector.Look(f);
        f.RequestClose();
    });
    window.LoadForm(test::CurveSite::kUsb);
    EXPECT_TRUE(inspector.faults.isEmpty()) << Joined(inspector.faults);
}

TEST(Layout, ThePasswordWindowsAndTheMainWindowFit)
{
    Inspector inspector;
    test::MainWindowSession session;
    session.host.OnForm("FSetPassword", [&](ui::Form& f) {
        inspector.Look(f);
        Click(f, "cmdCancel");
    });
    session.window->mnuSetPassword.UserClick();
    session.Open(session.Example());
    session.host.OnForm("FPassword", [&](ui::Form& f) {
        inspector.Look(f);
        Click(f, "cmdCancel");
    });
    session.window->mnuSalva.UserClick();
    inspector.Look(*session.window, QStringLiteral("open"));
    EXPECT_TRUE(inspector.faults.isEmpty()) << Joined(inspector.faults);
}

// The short answers of the workflows are the boxes that would come out narrower than the title.
TEST(Layout, EveryMessageBoxShowsItsWholeTitle)
{
    Inspector inspector;
    const std::pair<const char*, ui::MsgIcon> texts[] = {
        {"Test memory OK", ui::MsgIcon::Information},    {"Exporting completed.", ui::MsgIcon::Information},
        {"Communication error", ui::MsgIcon::Critical},  {"Test memory fail.", ui::MsgIcon::Critical},
        {"Open file error.", ui::MsgIcon::Exclamation},
    };
    int n = 0;
    for (const auto& [text, icon] : texts)
        inspector.Look(ui::MessageBoxRequest{text, "ZEM Setup", ui::MsgButtons::OK, icon}, QString::number(++n));
    EXPECT_TRUE(inspector.faults.isEmpty()) << Joined(inspector.faults);
}

} // namespace
} // namespace zem::gui
