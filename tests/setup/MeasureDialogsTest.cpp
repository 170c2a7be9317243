#include "setup/FSetupInOutBase.h"
#include "setup/FSetupInOutPressa.h"
#include "setup/FSetupInOutTestCyl.h"
#include "setup/FSetupMisuraPkPk.h"
#include "setup/FSetupMisuraPressa.h"
#include "setup/FSetupMisuraSemplice.h"
#include "setup/FSetupMisuraTestCyl.h"
#include "tests/setup/MeasureDialogSession.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace zem {
namespace {

using namespace zem::test;
using ui::Form;

struct Dialog {
    const char* name;
    Opener open;
    const char* caption;  // after the measure's name
    const char* inOut;    // the input and output dialog a measure dialog opens
};

const Dialog kDialogs[] = {
    {"FSetupMisuraPressa", &Open<FSetupMisuraPressa>, " - Press mode setup", "FSetupInOutPressa"},
    {"FSetupMisuraPkPk", &Open<FSetupMisuraPkPk>, " - Setup peak to peak measure", "FSetupInOutBase"},
    {"FSetupMisuraSemplice", &Open<FSetupMisuraSemplice>, " - Setup simplex measure", "FSetupInOutBase"},
    {"FSetupMisuraTestCyl", &Open<FSetupMisuraTestCyl>, " - Test cylinders mode setup", "FSetupInOutTestCyl"},
    {"FSetupInOutBase", &Open<FSetupInOutBase>, " - Input and output setup", nullptr},
    {"FSetupInOutPressa", &Open<FSetupInOutPressa>, " - Input and output setup", nullptr},
    {"FSetupInOutTestCyl", &Open<FSetupInOutTestCyl>, " - Input and output setup", nullptr},
};

ProfiloZem Stored()
{
    ProfiloZem p;
    for (int m = 1; m <= 2; ++m) {
        p.SetNomeMisura(m, "PIANTAGGIO");
        p.SetTrasduttoreX(m, 4);
        p.SetTrasduttoreY(m, 2);
        p.SetExternalStop(m, true);
        p.SetQuotaInizioOnStart(m, true);
        p.SetAspettaQuotaZero(m, true);
        p.SetForzaMassimaAssoluta(m, 1500);
        p.SetPresetPositionTrasd(m, -250);
        p.SetAquireSpeed(m, 700);
        p.SetNomeValore(m, "Quota");
        p.SetnInput(m, 7, 4);  // top dead course: shown by the press dialog only
    }
    return p;
}

// Cancel leaves the profile as it was, and so does OK without an edit, which still reports success.
TEST(MeasureDialogs, CancelOrOKWithoutAnEditKeepsTheProfileAndOnlyOKReportsSuccess)
{
    for (const Dialog& d : kDialogs) {
        for (const bool cancel : {true, false}) {
            SCOPED_TRACE(std::string(d.name) + (cancel ? " Cancel" : " OK"));
            ui::ScriptedHost host;
            ProfiloZem p = Stored();
            const bool ok = d.open(host, p, 2, [&](Form& f) {
                EXPECT_EQ(f.Caption(), std::string("PIANTAGGIO") + d.caption);
                if (cancel) d.inOut ? Tick(f, "chkSlave") : Choose(f, "lstInput(0)", 5);
                Click(f, cancel ? "cmdCancel" : "cmdOK");
            });
            EXPECT_EQ(ok, !cancel);
            EXPECT_EQ(p, Stored());
            EXPECT_FALSE(p.Modificato);
        }
    }
}

TEST(MeasureDialogs, TheDialogsTheyOpenStoreAtOnceWhateverTheMeasureDialogDoesAfter)
{
    for (const Dialog& d : kDialogs) {
        if (!d.inOut) continue;
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
        EXPECT_EQ(host.FormsShown().size(), 3u) << "the input and output and the operations dialogs were shown";
        EXPECT_TRUE(p.nInput(1, 1) == 3 && p.Modificato);
    }
}

TEST(FSetupMisuraPressa, LoadsAndStoresTheMeasureWithTheSpeedFixedAndPreselectsANewMeasuresChannel)
{
    ui::ScriptedHost host;
    ProfiloZem p = Stored();
    EXPECT_TRUE(Open<FSetupMisuraPressa>(host, p, 1, [](Form& f) {
        EXPECT_TRUE(f.Get<ui::CheckBox>("chkStopExt").Checked());
        EXPECT_EQ(List(f, "lstTrasdX").Text() + "|" + List(f, "lstTrasdY").Text(), "Encoder #2E|0-10V or 0-20mA #1B");
        EXPECT_EQ(f.Get<ui::TextBox>("txtPresetPosition").Text(), "-250");
        Tick(f, "chkSlave");
        Tick(f, "enWaitQuotaZero");
        Choose(f, "lstTrasdX", 1);
        Choose(f, "lstTrasdY", 2);
        Type(f, "txtPresetPosition", "12abc");
        Type(f, "txtForzaMassima", "2500.5");
        Type(f, "txtSpeedAcq", "50");
        Click(f, "cmdOK");
    }));
    EXPECT_EQ(std::tuple(p.RequireComputer(1), p.AspettaQuotaZero(1), p.ExternalStop(1), p.QuotaInizioOnStart(1)),
              std::tuple(true, false, true, true));
    EXPECT_EQ(std::tuple(p.TrasduttoreX(1), p.TrasduttoreY(1), p.PresetPositionTrasd(1)), std::tuple(2, 6, 12));
    EXPECT_EQ(std::tuple(p.ForzaMassimaAssoluta(1), p.AquireSpeed(1)), std::tuple(2500, 1000));
    EXPECT_TRUE(p.Modificato);

    // A new measure preselects its own channel in both lists: #1E and #1A, #2B and #2B.
    for (int m : {1, 2}) {
        ProfiloZem nuovo;
        EXPECT_TRUE(Open<FSetupMisuraPressa>(host, nuovo, m, [](Form& f) { TickAndOK(f); }));
        EXPECT_EQ(std::tuple(nuovo.TrasduttoreX(m), nuovo.TrasduttoreY(m)), m == 1 ? std::tuple(1, 3) : std::tuple(5, 5));
    }
}

// A typed number that does not fit its field is refused with nothing stored; the dialog stays open.
TEST(MeasureDialogs, TypedNumbersAreReadByTheLeadingNumberRuleAndRefusedWhenTheyDoNotFit)
{
    struct Case {
        Opener open;
        const char* box;
        const char* typed;
        std::int64_t stored;  // -1: refused
    };
    const Case cases[] = {
        {&Open<FSetupMisuraPressa>, "txtForzaMassima", "-32768.5", -32768},
        {&Open<FSetupMisuraPressa>, "txtForzaMassima", "32767.5", -1},
        {&Open<FSetupMisuraPressa>, "txtPresetPosition", "2147483520", 2147483520},
        {&Open<FSetupMisuraPressa>, "txtPresetPosition", "2147483647", -1},  // a single makes it 2^31
        {&Open<FSetupMisuraPressa>, "txtPresetPosition", "-1e300", -1},
        {&Open<FSetupMisuraSemplice>, "txtSpeedAcq", "", 0},
        {&Open<FSetupMisuraSemplice>, "txtSpeedAcq", "12abc", 12},
        {&Open<FSetupMisuraSemplice>, "txtSpeedAcq", "-0.5", 0},
        {&Open<FSetupMisuraSemplice>, "txtSpeedAcq", "248.5", 248},
        {&Open<FSetupMisuraSemplice>, "txtSpeedAcq", "40000", -1},
        {&Open<FSetupMisuraPkPk>, "txtSpeedAcq", "40000", 1000},
        {&Open<FSetupMisuraTestCyl>, "txtForzaMassima", "99999", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.box) + " " + c.typed);
        ui::ScriptedHost host;
        ProfiloZem p = Stored();
        const bool ok = c.open(host, p, 1, [&](Form& f) {
            Tick(f, "chkSlave");
            Type(f, c.box, c.typed);
            Click(f, "cmdOK");
            EXPECT_EQ(f.Loaded(), c.stored == -1);
            if (f.Loaded()) Click(f, "cmdCancel");
        });
        EXPECT_EQ(ok, c.stored != -1);
        const std::string box = c.box;
        if (c.stored == -1) {
            ASSERT_EQ(host.MessageTexts(), std::vector<std::string>{"The value is too large."});
            EXPECT_TRUE(host.Messages()[0].icon == ui::MsgIcon::Exclamation && p == Stored());
        } else {
            EXPECT_EQ(box == "txtSpeedAcq" ? p.AquireSpeed(1) : box == "txtForzaMassima" ? p.ForzaMassimaAssoluta(1) : p.PresetPositionTrasd(1), c.stored);
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
            Type(f, "txtNomeValore", "  Diametro esterno");  // cut to 15, then trimmed
            Click(f, "cmdOK");
        }));
        EXPECT_TRUE(open(host, p, 2, [](Form& f) {
            EXPECT_EQ(List(f, "lstTrasduttoreMisura").ListIndex(), -1);
            TickAndOK(f);
        }));
        EXPECT_EQ(std::tuple(p.TrasduttoreY(1), p.NomeValore(1), p.TrasduttoreY(2)), std::tuple(6, "Diametro este", 0));
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
            TickAndOK(f);
        }));
        EXPECT_EQ(std::tuple(p.TrasduttoreX(c.m), p.TrasduttoreY(c.m)), std::tuple(c.x, c.y));
        EXPECT_EQ(std::tuple(p.QuotaInizioOnStart(c.m), p.AspettaQuotaZero(c.m), p.ForzaMassimaAssoluta(c.m),
                             p.AquireSpeed(c.m)),
                  std::tuple(false, false, 0, 1000));
    }
}

std::string Key(const char* name, std::size_t i) { return name + ("(" + std::to_string(i) + ")"); }

// Each list shows its function's assignment; a save stores what the lists show and clears every
// function the dialog does not show.
TEST(InOutDialogs, ShowTheStoredAssignmentsAndASaveKeepsOnlyTheFunctionsShown)
{
    struct Family {
        Opener open;
        std::vector<int> inputs;   // function of lstInput(0), lstInput(1), ...
        std::vector<int> outputs;  // function of lstOutput(0), ...
    };
    const Family families[] = {
        {&Open<FSetupInOutBase>, {1, 3, 4, 5, 6, 8, 2, 9, 12, 13}, {1, 2, 3, 4}},
        {&Open<FSetupInOutPressa>, {1, 7, 3, 4, 5, 6, 8, 2, 9, 16, 15, 14}, {1, 11, 3, 4, 5, 6, 7, 8, 9, 2, 12}},
        {&Open<FSetupInOutTestCyl>, {1, 11, 3, 4, 5, 6, 8, 2, 9, 10, 13}, {1, 2, 3, 4, 5, 10}},
    };
    for (const Family& family : families) {
        SCOPED_TRACE(family.inputs.size());
        ui::ScriptedHost host;
        ProfiloZem p;
        ProfiloZem expected;
        for (int f = 1; f <= 16; ++f) p.SetnInput(2, f, static_cast<std::int16_t>(f % 9));
        for (int f = 1; f <= 12; ++f) p.SetnOutput(2, f, static_cast<std::int16_t>(f % 9));
        for (std::size_t i = 0; i < family.inputs.size(); ++i)
            expected.SetnInput(2, family.inputs[i], static_cast<std::int16_t>(i % 9));
        for (int f : family.outputs) expected.SetnOutput(2, f, 8);
        EXPECT_TRUE(family.open(host, p, 2, [&](Form& f) {
            for (std::size_t i = 0; i < family.inputs.size(); ++i) {
                EXPECT_EQ(List(f, Key("lstInput", i)).ListIndex(), family.inputs[i] % 9) << i;
                Choose(f, Key("lstInput", i), static_cast<int>(i % 9));
            }
            for (std::size_t i = 0; i < family.outputs.size(); ++i) {
                EXPECT_EQ(List(f, Key("lstOutput", i)).ListIndex(), family.outputs[i] % 9) << i;
                Choose(f, Key("lstOutput", i), 8);
            }
            EXPECT_FALSE(f.Find(Key("lstInput", family.inputs.size())));
            Click(f, "cmdOK");
        }));
        EXPECT_EQ(p, expected);
        EXPECT_TRUE(p.Modificato);
    }
}

} // namespace
} // namespace zem
