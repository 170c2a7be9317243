#include "setup/FSetupInOutBase.h"
#include "setup/FSetupInOutPressa.h"
#include "setup/FSetupInOutTestCyl.h"
#include "tests/setup/MeasureDialogSession.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace zem {
namespace {

using namespace zem::test;
using ui::Form;

struct Family {
    const char* name;
    bool (*open)(ui::ScriptedHost&, ProfiloZem&, int, std::function<void(Form&)>);
    std::vector<int> inputs;   // function of lstInput(0), lstInput(1), ...
    std::vector<int> outputs;  // function of lstOutput(0), ...
};

const Family kFamilies[] = {
    {"FSetupInOutBase", &Open<FSetupInOutBase>, {1, 3, 4, 5, 6, 8, 2, 9, 12, 13}, {1, 2, 3, 4}},
    {"FSetupInOutPressa", &Open<FSetupInOutPressa>, {1, 7, 3, 4, 5, 6, 8, 2, 9, 16, 15, 14},
     {1, 11, 3, 4, 5, 6, 7, 8, 9, 2, 12}},
    {"FSetupInOutTestCyl", &Open<FSetupInOutTestCyl>, {1, 11, 3, 4, 5, 6, 8, 2, 9, 10, 13}, {1, 2, 3, 4, 5, 10}},
};

// Every function of measure 2 assigned, each to an input or output of its own number.
ProfiloZem Assigned()
{
    ProfiloZem p;
    p.SetNomeMisura(2, "FLANGIA");
    for (int f = 1; f <= 16; ++f) p.SetnInput(2, f, static_cast<std::int16_t>(f % 9));
    for (int f = 1; f <= 12; ++f) p.SetnOutput(2, f, static_cast<std::int16_t>(f % 9));
    return p;
}

bool Shows(const std::vector<int>& functions, int f)
{
    return std::find(functions.begin(), functions.end(), f) != functions.end();
}

TEST(InOutDialogs, ShowTheStoredAssignmentsAndASaveKeepsOnlyTheFunctionsShown)
{
    for (const Family& family : kFamilies) {
        SCOPED_TRACE(family.name);
        ui::ScriptedHost host;
        ProfiloZem p = Assigned();
        const bool ok = family.open(host, p, 2, [&](Form& f) {
            EXPECT_EQ(f.Caption(), "FLANGIA - Input and output setup");
            for (std::size_t i = 0; i < family.inputs.size(); ++i) {
                const std::string key = "lstInput(" + std::to_string(i) + ")";
                ASSERT_EQ(List(f, key).ListCount(), 9);
                EXPECT_EQ(List(f, key).List(0), "None");
                EXPECT_EQ(List(f, key).List(8), "7");
                EXPECT_EQ(List(f, key).ListIndex(), family.inputs[i] % 9) << key;
                Choose(f, key, static_cast<int>(i % 9));
            }
            for (std::size_t i = 0; i < family.outputs.size(); ++i) {
                const std::string key = "lstOutput(" + std::to_string(i) + ")";
                EXPECT_EQ(List(f, key).ListIndex(), family.outputs[i] % 9) << key;
                Choose(f, key, 8);
            }
            EXPECT_FALSE(f.Find("lstInput(" + std::to_string(family.inputs.size()) + ")"));
            Click(f, "cmdOK");
        });
        EXPECT_TRUE(ok);
        EXPECT_TRUE(p.Modificato);
        for (int f = 1; f <= 16; ++f) {
            const auto at = std::find(family.inputs.begin(), family.inputs.end(), f);
            const int expected = at == family.inputs.end() ? 0 : static_cast<int>((at - family.inputs.begin()) % 9);
            EXPECT_EQ(p.nInput(2, f), expected) << "input function " << f;
        }
        for (int f = 1; f <= 12; ++f) EXPECT_EQ(p.nOutput(2, f), Shows(family.outputs, f) ? 8 : 0) << "output " << f;
        EXPECT_EQ(p.nInput(1, 1), 0) << "other measures untouched";
    }
}

TEST(InOutDialogs, CancelOrOKWithoutAChoiceKeepsEveryAssignment)
{
    for (const Family& family : kFamilies) {
        for (const char* button : {"cmdCancel", "cmdOK"}) {
            SCOPED_TRACE(std::string(family.name) + " " + button);
            ui::ScriptedHost host;
            ProfiloZem p = Assigned();
            const bool ok = family.open(host, p, 2, [&](Form& f) {
                if (std::string(button) == "cmdCancel") Choose(f, "lstInput(0)", 5);
                Click(f, button);
            });
            EXPECT_EQ(ok, std::string(button) == "cmdOK");
            EXPECT_EQ(p, Assigned());
            EXPECT_FALSE(p.Modificato);
        }
    }
}

TEST(InOutDialogs, TwoFunctionsOnOneInputAreStoredAndReportedAsAConflict)
{
    ui::ScriptedHost host;
    ProfiloZem p;
    p.SetTipoMisura(1, 2);
    EXPECT_TRUE(Open<FSetupInOutBase>(host, p, 1, [](Form& f) {
        Choose(f, "lstInput(0)", 1);  // Start on input 0
        Choose(f, "lstInput(1)", 1);  // Operation select A on input 0
        Click(f, "cmdOK");
    }));
    EXPECT_TRUE(host.Messages().empty());
    EXPECT_EQ(p.nInput(1, 1), 1);
    EXPECT_EQ(p.nInput(1, 3), 1);
    EXPECT_EQ(p.TipoIngresso(0), -1);
}

} // namespace
} // namespace zem
