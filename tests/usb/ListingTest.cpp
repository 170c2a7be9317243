#include "UsbFixture.h"

#include <functional>
#include <vector>

namespace zem {

// Found by argument lookup, for the comparisons of whole lists below.
bool operator==(const DispositivoUSB& a, const DispositivoUSB& b)
{
    return a.Descrizione == b.Descrizione && a.NumeroSerie == b.NumeroSerie;
}

void PrintTo(const DispositivoUSB& d, std::ostream* os) { *os << "{\"" << d.Descrizione << "\", \"" << d.NumeroSerie << "\"}"; }

namespace {

using sim::BridgeCall;
using sim::SimulatedBridge;
using List = std::vector<DispositivoUSB>;

struct Listing : UsbFixture {
    List Listed(const std::string& filter = "")
    {
        const int n = usb.ElencaDispositiviUSB(filter);
        EXPECT_EQ(static_cast<std::size_t>(n), usb.Dispositivi().size());
        return usb.Dispositivi();
    }
};

TEST(Listing, EachBridgeShowsTheTextsOfItsEepromAndIsClosedAgain)
{
    Listing s;
    // What the bus reports and what the EEPROM holds differ: the list shows the EEPROM.
    s.bridge.AddDevice({"FT1", FT_DEVICE_2232H, s.Programmed("ZEM Automation", "MR400012")});
    s.bridge.AddDevice({"FT2", FT_DEVICE_2232C, s.Programmed<ProgramDataOlder>("DLK-Visual", "MR300007")});
    s.bridge.AddDevice({"", FT_DEVICE_232R, std::nullopt});

    EXPECT_EQ(s.Listed(), (List{{"ZEM Automation", "MR400012"}, {"DLK-Visual", "MR300007"}, {"EEPROM Empty", ""}}));
    for (std::size_t i = 0; i < 3; ++i) EXPECT_FALSE(s.bridge.IsOpen(i));
    EXPECT_EQ(s.bridge.Calls(BridgeCall::Close), 3u);
}

// A bridge that cannot be read shows why in its entry's description, and nothing stays open.
TEST(Listing, AFaultyEntryShowsInItsDescription)
{
    const struct {
        std::function<void(SimulatedBridge&, std::size_t)> inject;
        const char* descrizione;
    } cases[] = {
        {[](SimulatedBridge& b, std::size_t i) { b.Device(i).listStatus = FT_INVALID_HANDLE; }, "Invalid handle"},
        {[](SimulatedBridge& b, std::size_t i) { b.Device(i).openStatus = FT_DEVICE_NOT_OPENED; }, ""},
        {[](SimulatedBridge& b, std::size_t i) { b.Device(i).eeprom.reset(); }, "EEPROM Empty"},
        {[](SimulatedBridge& b, std::size_t) { b.Fail(BridgeCall::EeRead, FT_EEPROM_READ_FAILED, 1, 1); }, ""},
    };
    for (const auto& c : cases) {
        Listing s;
        s.AddProgrammed("First", "MR400001");
        const std::size_t faulty = s.AddProgrammed("Second", "MR400002");
        s.Listed();  // what the bridge showed before must not stay in its entry
        c.inject(s.bridge, faulty);
        EXPECT_EQ(s.Listed(), (List{{"First", "MR400001"}, {c.descrizione, ""}}));
        EXPECT_FALSE(s.bridge.IsOpen(0));
        EXPECT_FALSE(s.bridge.IsOpen(faulty));
    }
}

// The driver may not list a bridge at once after it is plugged in: the listing retries, up to 500
// tries or one second.
TEST(Listing, GivesUpWaitingAfter500TriesOrOneSecond)
{
    Listing s;
    s.AddProgrammed("ZEM Automation", "MR400012");
    s.bridge.Fail(BridgeCall::ListDevicesByIndex, FT_DEVICE_NOT_FOUND, SimulatedBridge::kAlways);
    EXPECT_EQ(s.Listed(), (List{{"", ""}}));
    EXPECT_EQ(s.bridge.Calls(BridgeCall::ListDevicesByIndex), 500u + 1u);

    s.bridge.SetCallDuration(0.010);  // slow tries
    s.usb.ElencaDispositiviUSB("");
    EXPECT_GE(s.bridge.Calls(BridgeCall::ListDevicesByIndex), 501u + 100u + 1u);
    EXPECT_LE(s.bridge.Calls(BridgeCall::ListDevicesByIndex), 501u + 102u + 1u);
}

TEST(Listing, AFilterKeepsTheSerialNumbersThatBeginWithItIgnoringCaseInTheirOrder)
{
    Listing s;
    for (const char* serial : {"MR400012", "XMR40001", "mr4x", "MR", "MR412", "MR300007"}) {
        s.AddProgrammed(std::string("Desc ") + serial, serial);
    }
    s.bridge.AddDevice({"", FT_DEVICE_232R, std::nullopt});  // blank: no serial number at all

    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"", {"MR400012", "XMR40001", "mr4x", "MR", "MR412", "MR300007", ""}},
        {"mr4", {"MR400012", "mr4x", "MR412"}},
        {"MR", {"MR400012", "mr4x", "MR", "MR412", "MR300007"}},
        {"MR4000123", {}},
    };
    for (const auto& [filter, kept] : cases) {
        const int n = s.usb.ElencaDispositiviUSB(filter);
        ASSERT_EQ(static_cast<std::size_t>(n), kept.size()) << filter;
        // Positions outside the list give empty texts.
        for (const int outside : {-1, 0, n + 1}) EXPECT_EQ(s.usb.DescrizioneDispositivo(outside) + s.usb.SerialeDispositivo(outside), "");
        for (int i = 1; i <= n; ++i) {
            const std::string& serial = kept[static_cast<std::size_t>(i) - 1];
            EXPECT_EQ(s.usb.SerialeDispositivo(i), serial) << filter;
            EXPECT_EQ(s.usb.DescrizioneDispositivo(i), serial.empty() ? "EEPROM Empty" : "Desc " + serial) << filter;
        }
    }
}

} // namespace
} // namespace zem
