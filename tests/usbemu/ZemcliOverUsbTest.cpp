// zemcli with the real driver (libusb, libftdi and our backend) meeting emulated bridges.

#include "sim/SimulatedPlatform.h"
#include "tests/cli/ZemcliRun.h"
#include "tests/usbemu/EmulatedBridge.h"
#include "usbemu/EmulatedSite.h"
#include "usbemu/LineSend.h"

#include <gtest/gtest.h>

#include <set>

namespace zem::test {
namespace {

const bool preloaded = (usbemu::RestartUnderUmockdevPreload(), true);
const std::string kTemplate = std::string(ZEM_BINARY_DIR) + "/Default.ZemP";
const std::string kInfo = "\tZEM SIMULATOR (PRESS FIT & HEIGHT)\tProtocol: 14-11";

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// Module commands stay on loopback; the password is the default one.
ZemcliResult Zemcli(const usbemu::EmulatedSite& site, std::vector<std::string> args)
{
    args.insert(args.begin(), {"--broadcast", "127.0.0.1:9"});
    auto environment = site.ChildEnvironment();
    environment.push_back("ZEMSETUP_PASSWORD=6150");
    return RunZemcli(args, environment, 40000);
}

// The listing's lines: the bus lists its bridges in an order of its own.
std::multiset<std::string> Lines(const std::string& text)
{
    std::multiset<std::string> lines;
    for (std::size_t at = 0, end; at < text.size(); at = end + 1) {
        end = std::min(text.find('\n', at), text.size());
        lines.insert(text.substr(at, end - at));
    }
    return lines;
}

TEST(ZemcliOverUsb, ListsEveryBridgeAsTheTechnicianShouldReadIt)
{
    const auto programmed = [](const char* serial) { return EmulatedBridge::Programmed("ZEM Automation", serial); };
    usbemu::Ft232rEeprom badChecksum = programmed("MR400013");
    badChecksum.BreakChecksum();  // shows the chip's factory identity; read as never programmed
    const struct { std::vector<usbemu::Ft232rEeprom> bridges; bool busy; std::multiset<std::string> listed; } cases[] = {
        {{programmed("MR400012")}, false, {"USB: MR400012" + kInfo}},
        {{programmed("MR400012"), programmed("MR400002"), programmed("MR400003")}, false,
         {"USB: MR400012" + kInfo, "USB: MR400002" + kInfo, "USB: MR400003" + kInfo}},
        {{usbemu::Ft232rEeprom::Blank()}, false, {"USB: \t[EEPROM Empty]\t"}},
        {{badChecksum}, false, {"USB: \t[EEPROM Empty]\t"}},
        {{programmed("MR400012")}, true, {"USB: \t\tUSB bridge MR400012 is in use by another program"}},
    };
    for (const auto& c : cases) {
        usbemu::EmulatedSite site;
        for (const auto& eeprom : c.bridges) site.Add(eeprom);
        LibFtdiD2xx other;  // another program holding the bridge
        SystemClock clock;
        GestioneUSB usb{other, clock};
        FT_HANDLE held = c.busy ? usb.ApriDispositivoUSB("MR400012") : 0;
        const ZemcliResult r = Zemcli(site, {"list", "--usb-only"});
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(Lines(r.out), c.listed) << r.out << r.err;
        EXPECT_FALSE(Has(r.err, "Checksum")) << r.err;
        if (held != 0) usb.ChiudiDispositivoUSB(held);
    }
}

TEST(ZemcliOverUsb, SendsWhatTheSimulatedDriverSendsReadsItBackAcrossALateStatusAndFailsWhenPulledOut)
{
    // The same send over the simulated driver gives the image to compare with.
    usbemu::EmulatedSite site;
    sim::SimulatedPlatform platform;
    sim::DefaultInstrument reference(site.clock);  // its restart runs on the wall clock, as zemcli's does
    ProgramDataNewer eeprom;
    eeprom.SerialNumber = "MR400012";
    platform.bridge.AttachInstrument(platform.bridge.AddDevice({"MR400012", FT_DEVICE_232R, eeprom}), reference.Instrument());
    platform.bridge.SetCallDuration(1e-6);  // so that the restart waits pass
    usbemu::LineSend line;
    ASSERT_EQ(line.Send(platform.Platform(), kTemplate, "USB: MR400012"), SendOutcome::Succeeded) << line.Last();

    const std::size_t bridge = site.Add(EmulatedBridge::Programmed("ZEM Automation", "MR400012"));
    const std::vector<std::string> send = {"--yes", "send", kTemplate, "--to", "USB: MR400012", "--works", "clear"};
    const std::uint64_t before = site.bus.Chip(bridge).BulkBytesOut();
    const ZemcliResult sent = Zemcli(site, send);
    const std::uint64_t perSend = site.bus.Chip(bridge).BulkBytesOut() - before;
    EXPECT_EQ(sent.out, "Sending profile successfully.\n") << sent.err;
    EXPECT_EQ(site.instruments[bridge].Memory().Configurazione(), reference.Memory().Configurazione());

    site.bus.Chip(bridge).SetFaults({.lateStatus = std::chrono::milliseconds(300)});
    const ZemcliResult info = Zemcli(site, {"info", "--to", "USB: MR400012"});
    EXPECT_TRUE(info.code == 0 && Has(info.out, "Instrument: ZEM AUTOMATION\n")) << info.out << info.err;

    site.bus.Chip(bridge).SetFaults({.unplugAfterBytes = site.bus.Chip(bridge).BulkBytesOut() + perSend / 2});
    const ZemcliResult pulled = Zemcli(site, send);
    EXPECT_FALSE(site.bus.Plugged(bridge));
    EXPECT_NE(pulled.code, 0);
    EXPECT_TRUE(!Has(pulled.out, "successfully") && Has(pulled.err, "Programming memory fail.")) << pulled.out << pulled.err;
}

TEST(ZemcliOverUsb, ProgramsABlankBridgeThatShowsItsNewIdentityOncePluggedInAgain)
{
    usbemu::EmulatedSite site;
    const std::size_t bridge = site.Add(usbemu::Ft232rEeprom::Blank());
    const auto init = [&](std::string name) { return Zemcli(site, {"--yes", "usb-init", "--to", "USB: ", "--name", name, "--serial", "12"}); };
    const ZemcliResult refused = init(std::string(27, 'N'));  // more than the chip holds
    EXPECT_TRUE(refused.code != 0 && Has(refused.out, "Name too long for the USB EEprom: at most 26 characters")) << refused.out;
    EXPECT_EQ(site.bus.Chip(bridge).Eeprom().Bytes(), usbemu::Ft232rEeprom::Blank().Bytes());

    const ZemcliResult r = init("LINE 3");
    EXPECT_TRUE(r.code == 0 && Has(r.err, "Unplug then plug the instrument for identification.")) << r.err;
    EXPECT_EQ(site.bus.Chip(bridge).LatencyMs(), 1);  // as the link set it, not as libftdi left it
    site.bus.Replug(bridge);
    const auto id = site.bus.Chip(bridge).Presented();
    EXPECT_EQ(std::tie(id.vendorId, id.productId, id.manufacturer, id.description, id.serial),
              std::make_tuple(0x0403, 0x6001, std::string("ZEM AUTOMATION"), std::string("LINE 3"), std::string("MR400012")));
    EXPECT_EQ(Zemcli(site, {"list", "--usb-only"}).out, "USB: MR400012" + kInfo + "\n");
}

} // namespace
} // namespace zem::test
