#include "setup/FSetupMisuraPkPk.h"
#include "setup/FSetupMisuraPressa.h"
#include "setup/FSetupMisuraSemplice.h"
#include "setup/FSetupMisuraTestCyl.h"
#include "tests/setup/MeasureDialogSession.h"
#include "ui/CheckBox.h"

#include <gtest/gtest.h>

namespace zem {
namespace {

using namespace zem::test;
using ui::Form;
using Opener = bool (*)(ui::ScriptedHost&, ProfiloZem&, int, std::function<void(Form&)>);

struct Dialog {
    const char* name;
    Opener open;
    const char* caption;  // after the measure's name
    const char* inOut;    // the input and output dialog it opens
};

const Dialog kDialogs[] = {
    {"FSetupMisuraPressa", &Open<FSetupMisuraPressa>, " - Press mode setup", "FSetupInOutPressa"},
    {"FSetupMisuraPkPk", &Open<FSetupMisuraPkPk>, " - Setup peak to peak measure", "FSetupInOutBase"},
    {"FSetupMisuraSemplice", &Open<FSetupMisuraSemplice>, " - Setup simplex measure", "FSetupInOutBase"},
    {"FSetupMisuraTestCyl", &Open<FSetupMisuraTestCyl>, " - Test cylinders mode setup", "FSetupInOutTestCyl"},
};

ProfiloZem Stored()
{
    ProfiloZem p;
    for (int m = 1; m <= 2; ++m) {
        p.SetNomeMisura(m, "PIANTAGGIO");
        p.SetTrasduttoreX(m, 4);
        p.SetTrasduttoreY(m, 2);
        p.SetExternalStop(m, true);
        p.SetAutoOffset(m, true);
        p.SetForzaMassimaAssoluta(m, 1500);
        p.SetPresetPositionTrasd(m, -250);
        p.SetAquireSpeed(m, 700);
        p.SetNomeValore(m, "Quota");
        p.SetQuotaInizioOnStart(m, true);
        p.SetAspettaQuotaZero(m, true);
    }
    return p;
}

TEST(MeasureDialogs, CancelOrOKWithoutAnEditKeepsTheProfileAndOnlyOKReportsSuccess)
{
    for (const Dialog& d : kDialogs) {
        for (const char* button : {"cmdCancel", "cmdOK"}) {
            SCOPED_TRACE(std::string(d.name) + " " + button);
            ui::ScriptedHost host;
            ProfiloZem p = Stored();
            const bool ok = d.open(host, p, 2, [&](Form& f) {
                EXPECT_EQ(f.Caption(), std::string("PIANTAGGIO") + d.caption);
                if (std::string(button) == "cmdCancel") f.Get<ui::CheckBox>("chkSlave").UserClick();
                Click(f, button);
            });
            EXPECT_EQ(ok, std::string(button) == "cmdOK");
            EXPECT_EQ(p, Stored());
            EXPECT_FALSE(p.Modificato);
        }
    }
}

TEST(MeasureDialogs, TheDialogsTheyOpenStoreAtOnceWhateverTheMeasureDialogDoesAfter)
{
    for (const Dialog& d : kDialogs) {
        SCOPED_TRACE(d.name);
        ui::ScriptedHost host;
        ProfiloZem p = Stored();
        EXPECT_FALSE(d.open(host, p, 1, [&](Form& f) {
            host.OnForm(d.inOut, [](Form& inOut) {
                Choose(inOut, "lstInput(0)", 3);
                Click(inOut, "cmdOK");
            });
            host.OnForm("FSetupOperazioni", [](Form& operazioni) { operazioni.RequestClose(); });
            Click(f, "cmdSetupInOut");
            Click(f, "cmdSetupOperazioni");
            Click(f, "cmdCancel");
        }));
        ASSERT_EQ(host.FormsShown().size(), 3u);
        EXPECT_EQ(host.FormsShown()[2].name, "FSetupOperazioni");
        EXPECT_EQ(p.nInput(1, 1), 3);
        EXPECT_TRUE(p.Modificato);
    }
}

TEST(FSetupMisuraPressa, LoadsAndStoresTheMeasureWithTheSpeedFixed)
{
    ui::ScriptedHost host;
    ProfiloZem p = Stored();
    EXPECT_TRUE(Open<FSetupMisuraPressa>(host, p, 1, [](Form& f) {
        EXPECT_TRUE(f.Get<ui::CheckBox>("chkStopExt").Checked());
        EXPECT_FALSE(f.Get<ui::CheckBox>("chkSlave").Checked());
        EXPECT_EQ(List(f, "lstTrasdX").Text(), "Encoder #2E");
        EXPECT_EQ(List(f, "lstTrasdY").Text(), "0-10V or 0-20mA #1B");
        EXPECT_EQ(f.Get<ui::TextBox>("txtPresetPosition").Text(), "-250");
        EXPECT_EQ(f.Get<ui::TextBox>("txtSpeedAcq").Text(), "700");
        f.Get<ui::CheckBox>("chkSlave").UserClick();
        f.Get<ui::CheckBox>("enAutoOffset").UserClick();
        Choose(f, "lstTrasdX", 1);
        Choose(f, "lstTrasdY", 2);
        Type(f, "txtPresetPosition", "12abc");
        Type(f, "txtForzaMassima", "2500.5");
        Type(f, "txtSpeedAcq", "50");
        Click(f, "cmdOK");
    }));
    EXPECT_TRUE(p.RequireComputer(1));
    EXPECT_FALSE(p.AutoOffset(1));
    EXPECT_TRUE(p.ExternalStop(1));
    EXPECT_EQ(p.TrasduttoreX(1), 2);
    EXPECT_EQ(p.TrasduttoreY(1), 6);
    EXPECT_EQ(p.PresetPositionTrasd(1), 12);
    EXPECT_EQ(p.ForzaMassimaAssoluta(1), 2500);
    EXPECT_EQ(p.AquireSpeed(1), 1000);
    EXPECT_TRUE(p.Modificato);
}

TEST(FSetupMisuraPressa, ANewMeasurePreselectsItsChannelInBothLists)
{
    for (int m : {1, 2}) {
        ui::ScriptedHost host;
        ProfiloZem p;
        EXPECT_TRUE(Open<FSetupMisuraPressa>(host, p, m, [](Form& f) {
            f.Get<ui::CheckBox>("chkSlave").UserClick();
            Click(f, "cmdOK");
        }));
        EXPECT_EQ(p.TrasduttoreX(m), m == 1 ? 1 : 5) << m;
        EXPECT_EQ(p.TrasduttoreY(m), m == 1 ? 3 : 5) << m;
    }
}

// A typed number that does not fit its field is refused with nothing stored; the dialog stays open.
TEST(MeasureDialogs, TypedNumbersAreReadByTheLeadingNumberRuleAndRefusedWhenTheyDoNotFit)
{
    struct Case {
        Opener open;
        const char* box;
        const char* typed;
        int stored;  // -1: refused
        std::int32_t (*field)(const ProfiloZem&);
    };
    const auto force = [](const ProfiloZem& p) -> std::int32_t { return p.ForzaMassimaAssoluta(1); };
    const auto preset = [](const ProfiloZem& p) { return p.PresetPositionTrasd(1); };
    const auto speed = [](const ProfiloZem& p) -> std::int32_t { return p.AquireSpeed(1); };
    const Case cases[] = {
        {&Open<FSetupMisuraPressa>, "txtForzaMassima", "", 0, force},
        {&Open<FSetupMisuraPressa>, "txtForzaMassima", "-32768.5", -32768, force},
        {&Open<FSetupMisuraPressa>, "txtForzaMassima", "32767.5", -1, force},
        {&Open<FSetupMisuraPressa>, "txtPresetPosition", "2147483520", 2147483520, preset},
        {&Open<FSetupMisuraPressa>, "txtPresetPosition", "3e9", -1, preset},
        {&Open<FSetupMisuraSemplice>, "txtSpeedAcq", "250.5x", 250, speed},
        {&Open<FSetupMisuraSemplice>, "txtSpeedAcq", "40000", -1, speed},
        {&Open<FSetupMisuraPkPk>, "txtSpeedAcq", "40000", 1000, speed},
        {&Open<FSetupMisuraTestCyl>, "txtForzaMassima", "99999", 0, force},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.box) + " " + c.typed);
        ui::ScriptedHost host;
        ProfiloZem p = Stored();
        const bool ok = c.open(host, p, 1, [&](Form& f) {
            f.Get<ui::CheckBox>("chkSlave").UserClick();
            Type(f, c.box, c.typed);
            Click(f, "cmdOK");
            EXPECT_EQ(f.Loaded(), c.stored == -1);
            if (f.Loaded()) Click(f, "cmdCancel");
        });
        EXPECT_EQ(ok, c.stored != -1);
        if (c.stored == -1) {
            EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{"The value is too large."});
            EXPECT_EQ(p, Stored());
        } else {
            EXPECT_TRUE(host.Messages().empty());
            EXPECT_EQ(c.field(p), c.stored);
        }
    }
}

TEST(ValueMeasureDialogs, TheMeasuredTransducerIsTheYTransducerAndNoneStoresZero)
{
    for (Opener open : {&Open<FSetupMisuraPkPk>, &Open<FSetupMisuraSemplice>}) {
        ui::ScriptedHost host;
        ProfiloZem p = Stored();
        p.SetTrasduttoreY(2, 0);
        EXPECT_TRUE(open(host, p, 1, [](Form& f) {
            EXPECT_EQ(List(f, "lstTrasduttoreMisura").ListIndex(), 1);  // code 2
            Choose(f, "lstTrasduttoreMisura", 5);
            Type(f, "txtNomeValore", "  Diametro ");
            Click(f, "cmdOK");
        }));
        EXPECT_TRUE(open(host, p, 2, [](Form& f) {
            EXPECT_EQ(List(f, "lstTrasduttoreMisura").ListIndex(), -1);
            f.Get<ui::CheckBox>("chkSlave").UserClick();
            Click(f, "cmdOK");
        }));
        EXPECT_EQ(p.TrasduttoreY(1), 6);
        EXPECT_EQ(p.NomeValore(1), "Diametro");
        EXPECT_EQ(p.TrasduttoreY(2), 0);
        EXPECT_EQ(p.TrasduttoreX(1), 4) << "untouched";
    }
}

// Measures 1 and 2 use the load cell of their own channel; measures 3 to 6 that of the channel
// of the position transducer chosen, never a code 3 x m that no instrument has.
TEST(FSetupMisuraTestCyl, StoresTheLoadCellBesideThePositionTransducerAndTheFixedSettings)
{
    struct Case {
        int m;
        int preselected;  // entry of lstTrasdX for a new measure
        int chosen;       // -1: keep the preselection
        int x, y;
    };
    const Case cases[] = {{1, 0, -1, 1, 3}, {2, 3, -1, 5, 6}, {1, 0, 2, 4, 3}, {3, 3, -1, 5, 6},
                          {4, 3, 0, 1, 3}, {6, 3, 1, 2, 3}, {5, 3, 2, 4, 6}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.m);
        ui::ScriptedHost host;
        ProfiloZem p = Stored();
        p.SetTrasduttoreX(c.m, 0);
        EXPECT_TRUE(Open<FSetupMisuraTestCyl>(host, p, c.m, [&](Form& f) {
            EXPECT_EQ(List(f, "lstTrasdX").ListIndex(), c.preselected);
            if (c.chosen >= 0) Choose(f, "lstTrasdX", c.chosen);
            f.Get<ui::CheckBox>("chkSlave").UserClick();
            Click(f, "cmdOK");
        }));
        EXPECT_EQ(p.TrasduttoreX(c.m), c.x);
        EXPECT_EQ(p.TrasduttoreY(c.m), c.y);
        EXPECT_FALSE(p.QuotaInizioOnStart(c.m));
        EXPECT_FALSE(p.AspettaQuotaZero(c.m));
        EXPECT_EQ(p.ForzaMassimaAssoluta(c.m), 0);
        EXPECT_EQ(p.AquireSpeed(c.m), 1000);
    }
}

} // namespace
} // namespace zem
