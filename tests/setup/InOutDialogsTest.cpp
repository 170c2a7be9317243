#include "setup/FSetupInOutBase.h"
#include "setup/FSetupInOutPressa.h"
#include "setup/FSetupInOutTestCyl.h"
#include "tests/setup/MeasureDialogSession.h"

#include <gtest/gtest.h>

#include <vector>

namespace zem {
namespace {

using namespace zem::test;
using ui::Form;

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
