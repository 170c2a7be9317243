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

class Listing : public UsbFixture {
public:
    std::vector<DispositivoUSB> List(const std::string& filter = "")
    {
        const int n = usb.ElencaDispositiviUSB(filter);
        EXPECT_EQ(static_cast<std::size_t>(n), usb.Dispositivi().size());
        return usb.Dispositivi();
    }
};

TEST_F(Listing, EachBridgeShowsTheTextsOfItsEepromAndIsClosedAgain)
{
    // What the bus reports and what the EEPROM holds differ: the list shows the EEPROM.
    bridge.AddDevice({"FT1", FT_DEVICE_2232H, Programmed("ZEM Automation", "MR400012")});
    bridge.AddDevice({"FT2", FT_DEVICE_2232C, Programmed<ProgramDataOlder>("DLK-Visual", "MR300007")});
    bridge.AddDevice({"", FT_DEVICE_232R, std::nullopt});

    EXPECT_EQ(List(), (std::vector<DispositivoUSB>{
                          {"ZEM Automation", "MR400012"}, {"DLK-Visual", "MR300007"}, {"EEPROM Empty", ""}}));
    for (std::size_t i = 0; i < 3; ++i) EXPECT_FALSE(bridge.IsOpen(i));
    EXPECT_EQ(bridge.Calls(BridgeCall::Close), 3u);
}

struct EntryFault {
    const char* name;
    std::function<void(SimulatedBridge&, std::size_t)> inject;
    const char* descrizione;
};

class ListingFaults : public Listing, public ::testing::WithParamInterface<EntryFault> {};

TEST_P(ListingFaults, ShowInTheEntryDescriptionAndLeaveNothingOpen)
{
    AddProgrammed("First", "MR400001");
    const std::size_t faulty = AddProgrammed("Second", "MR400002");
    GetParam().inject(bridge, faulty);

    EXPECT_EQ(List(), (std::vector<DispositivoUSB>{{"First", "MR400001"}, {GetParam().descrizione, ""}}));
    EXPECT_FALSE(bridge.IsOpen(0));
    EXPECT_FALSE(bridge.IsOpen(faulty));
}

INSTANTIATE_TEST_SUITE_P(
    Guasti, ListingFaults,
    ::testing::Values(
        EntryFault{"listing_says_invalid_handle",
                   [](SimulatedBridge& b, std::size_t i) { b.Device(i).listStatus = FT_INVALID_HANDLE; }, "Invalid handle"},
        EntryFault{"open_fails",
                   [](SimulatedBridge& b, std::size_t i) { b.Device(i).openStatus = FT_DEVICE_NOT_OPENED; }, ""},
        EntryFault{"eeprom_blank",
                   [](SimulatedBridge& b, std::size_t i) { b.Device(i).eeprom.reset(); }, "EEPROM Empty"},
        EntryFault{"eeprom_unreadable",
                   [](SimulatedBridge& b, std::size_t) { b.Fail(BridgeCall::EeRead, FT_EEPROM_READ_FAILED, 1, 1); }, ""}),
    [](const auto& info) { return std::string(info.param.name); });


// The driver may not list a bridge at once after it is plugged in: the listing retries, up to 500
// tries or one second.
TEST_F(Listing, GivesUpWaitingAfter500TriesOrOneSecond)
{
    AddProgrammed("ZEM Automation", "MR400012");
    bridge.Fail(BridgeCall::ListDevicesByIndex, FT_DEVICE_NOT_FOUND, SimulatedBridge::kAlways);
    EXPECT_EQ(List(), (std::vector<DispositivoUSB>{{"", ""}}));
    EXPECT_EQ(bridge.Calls(BridgeCall::ListDevicesByIndex), 500u + 1u);

    bridge.SetCallDuration(0.010);  // slow tries
    usb.ElencaDispositiviUSB("");
    EXPECT_GE(bridge.Calls(BridgeCall::ListDevicesByIndex), 501u + 100u + 1u);
    EXPECT_LE(bridge.Calls(BridgeCall::ListDevicesByIndex), 501u + 102u + 1u);
}

struct FilterCase {
    const char* filter;
    std::vector<std::string> kept;
};

class ListingFilter : public Listing, public ::testing::WithParamInterface<FilterCase> {};

TEST_P(ListingFilter, KeepsTheSerialNumbersThatBeginWithItIgnoringCaseInTheirOrder)
{
    for (const char* serial : {"MR400012", "XMR40001", "mr4x", "MR", "MR412", "MR300007"}) {
        AddProgrammed(std::string("Desc ") + serial, serial);
    }
    bridge.AddDevice({"", FT_DEVICE_232R, std::nullopt});  // blank: no serial number at all

    const int n = usb.ElencaDispositiviUSB(GetParam().filter);
    ASSERT_EQ(static_cast<std::size_t>(n), GetParam().kept.size());
    // Positions outside the list give empty texts.
    for (const int outside : {-1, 0, n + 1}) EXPECT_EQ(usb.DescrizioneDispositivo(outside) + usb.SerialeDispositivo(outside), "");
    for (int i = 1; i <= n; ++i) {
        const std::string& serial = GetParam().kept[static_cast<std::size_t>(i) - 1];
        EXPECT_EQ(usb.SerialeDispositivo(i), serial);
        EXPECT_EQ(usb.DescrizioneDispositivo(i), serial.empty() ? "EEPROM Empty" : "Desc " + serial);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Filtri, ListingFilter,
    ::testing::Values(
        FilterCase{"", {"MR400012", "XMR40001", "mr4x", "MR", "MR412", "MR300007", ""}},
        FilterCase{"mr4", {"MR400012", "mr4x", "MR412"}},
        FilterCase{"MR", {"MR400012", "mr4x", "MR", "MR412", "MR300007"}},
        FilterCase{"MR4000123", {}}));


} // namespace
} // namespace zem
