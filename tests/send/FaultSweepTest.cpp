// The line dies at one exchange of a whole send, for exchanges spread over the transfer: no run
// reports success, the header never says "ZEM5" over a memory that is neither the old one nor the
// new one, and the next send puts everything right.
#include "tests/send/SendSite.h"

namespace zem::test {
namespace {

class FaultSweep : public ::testing::TestWithParam<const char*> {};

// The memory but byte 4, whose update-mode bit depends on where the line died.
std::vector<std::uint8_t> Memory(SendSite& s)
{
    auto memory = s.bench.memory.Configurazione();
    memory[4] = 0;
    return memory;
}

TEST_P(FaultSweep, ALineDyingAnywhereIsNeverASuccessAndTheNextSendRepairsIt)
{
    const ProfiloZem p = ProfiloMisto();
    auto send = [&p](SendSite& s) { return InvioProfilo(s.host, s.platform.Platform(), s.gate, s.progress).Invia(p, GetParam()); };
    auto site = [](SendSite& s) { s.InService(), s.host.PressOn(), s.TypePassword(), s.gate.PasswordOK(); };
    SendSite reference;
    site(reference);
    const auto before = Memory(reference);
    ASSERT_EQ(send(reference), SendOutcome::Succeeded);
    const auto after = Memory(reference);
    const std::uint64_t frames = reference.bench.instrument.FramesExecuted();

    // Every exchange of the opening, the update-mode switch and the header clearing, a stride
    // through the image, and every exchange of the signature, leaving update mode and the reopening.
    std::vector<std::uint64_t> sweep;
    for (std::uint64_t k = 1; k <= frames; k += k <= 40 || k + 40 >= frames ? 1 : frames / 40) sweep.push_back(k);
    for (const std::uint64_t k : sweep) {
        SCOPED_TRACE(k);
        SendSite s;
        site(s);
        s.bench.instrument.Faults().deafAtFrame = k;
        EXPECT_NE(send(s), SendOutcome::Succeeded);
        if (s.Header() == "ZEM5") EXPECT_TRUE(Memory(s) == before || Memory(s) == after);
        s.bench.instrument.Faults() = {};
        EXPECT_EQ(send(s), SendOutcome::Succeeded);
        EXPECT_EQ(s.ReadBack(GetParam()), kMisto);
    }
}

INSTANTIATE_TEST_SUITE_P(Channels, FaultSweep, ::testing::Values("USB: MR4B0001", "IP:127.0.0.1:7000"),
                         [](const auto& info) { return std::string(info.index == 0 ? "Usb" : "Udp"); });

} // namespace
} // namespace zem::test
