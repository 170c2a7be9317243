// zemcli with the real driver (libusb, libftdi and our backend) meeting emulated bridges.

#include "sim/SimulatedPlatform.h"
#include "tests/usbemu/EmulatedBridge.h"
#include "tests/usbemu/EmulatedSite.h"
#include "tests/usbemu/LineSend.h"

#include <gtest/gtest.h>

#include <set>

namespace zem::test {
namespace {

const bool preloaded = (usbemu::RestartUnderUmockdevPreload(), true);
const std::string kTemplate = std::string(ZEM_BINARY_DIR) + "/Default.ZemP";

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The lines of a listing in order: the bus lists its bridges in an order of its own.
std::multiset<std::string> Lines(const std::string& text)
{
    std::multiset<std::string> lines;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        lines.insert(text.substr(at, end - at));
        at = end + 1;
    }
    return lines;
}

usbemu::Ft232rEeprom BadChecksum()
{
    usbemu::Ft232rEeprom e = EmulatedBridge::Programmed("ZEM Automation", "MR400013");
    e.BreakChecksum();
    return e;
}

TEST(ZemcliOverUsb, ListsEveryBridgeAsTheTechnicianShouldReadIt)
{
    const std::string info = "\tZEM SIMULATOR (PRESS FIT & HEIGHT)\tProtocol: 14-11\n";
    const std::string blank = "USB: \t[EEPROM Empty]\t\n";
    const struct Case {
        std::vector<usbemu::Ft232rEeprom> bridges;
        bool busyFirst;
        std::string listed;
    } cases[] = {
        {{EmulatedBridge::Programmed("ZEM Automation", "MR400012")}, false, "USB: MR400012" + info},
        {{EmulatedBridge::Programmed("ZEM Automation", "MR400012"), EmulatedBridge::Programmed("LINE 2", "MR400002"),
          EmulatedBridge::Programmed("LINE 3", "MR400003")},
         false, "USB: MR400003" + info + "USB: MR400002" + info + "USB: MR400012" + info},
        {{usbemu::Ft232rEeprom::Blank()}, false, blank},
        // The chip shows its factory identity; the tool reads the image as never programmed.
        {{BadChecksum()}, false, blank},
        {{EmulatedBridge::Programmed("ZEM Automation", "MR400012")}, true,
         "USB: \t\tUSB bridge MR400012 is in use by another program\n"},
    };
    for (const Case& c : cases) {
        EmulatedSite site;
        for (const auto& eeprom : c.bridges) site.Add(eeprom);
        // Another program holds the bridge: here a second driver of our own.
        LibFtdiD2xx other;
        SystemClock clock;
        GestioneUSB usb{other, clock};
        FT_HANDLE held = c.busyFirst ? usb.ApriDispositivoUSB("MR400012") : 0;
        ASSERT_EQ(held != 0, c.busyFirst);

        const ZemcliResult r = site.Zemcli({"list", "--usb-only"});
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(Lines(r.out), Lines(c.listed)) << r.out << r.err;
        EXPECT_FALSE(Has(r.err, "Checksum")) << r.err;
        if (held != 0) usb.ChiudiDispositivoUSB(held);
    }
}

TEST(ZemcliOverUsb, SendsTheImageTheSimulatedDriverSendsAndReadsItBackAcrossALateStatusPacket)
{
    EmulatedSite site;
    const std::size_t bridge = site.Add(EmulatedBridge::Programmed("ZEM Automation", "MR400012"));
    // The same send over the simulated driver gives the image to compare with.
    sim::SimulatedPlatform platform;
    sim::DefaultInstrument reference(site.clock);  // its restart runs on the wall clock, as zemcli's does
    ProgramDataNewer eeprom;
    eeprom.SerialNumber = "MR400012";
    platform.bridge.AttachInstrument(platform.bridge.AddDevice({"MR400012", FT_DEVICE_232R, eeprom}), reference.Instrument());
    platform.bridge.SetCallDuration(1e-6);  // so that the restart waits pass
    LineSend line;
    ASSERT_EQ(line.Send(platform.Platform(), kTemplate, "USB: MR400012"), SendOutcome::Succeeded) << line.last;

    const ZemcliResult usb = site.Zemcli({"--yes", "send", kTemplate, "--to", "USB: MR400012", "--works", "clear"});
    EXPECT_EQ(usb.code, 0) << usb.err;
    EXPECT_EQ(usb.out, "Sending profile successfully.\n");
    EXPECT_EQ(site.instruments[bridge].Memory().Configurazione(), reference.Memory().Configurazione());

    // The reply comes back split by a status packet that is late.
    site.bus.Chip(bridge).SetFaults({.lateStatus = std::chrono::milliseconds(300)});
    const ZemcliResult info = site.Zemcli({"info", "--to", "USB: MR400012"});
    EXPECT_EQ(info.code, 0) << info.err;
    EXPECT_TRUE(Has(info.out, "Instrument: ZEM AUTOMATION\n")) << info.out << info.err;
}

TEST(ZemcliOverUsb, ABridgePulledOutInTheMiddleOfASendIsAFailure)
{
    EmulatedSite site;
    const std::size_t bridge = site.Add(EmulatedBridge::Programmed("ZEM Automation", "MR400012"));
    site.bus.Chip(bridge).SetFaults({.unplugAfterBytes = 3000});
    const ZemcliResult r = site.Zemcli({"--yes", "send", kTemplate, "--to", "USB: MR400012", "--works", "clear"});
    EXPECT_FALSE(site.bus.Plugged(bridge));
    EXPECT_NE(r.code, 0);
    EXPECT_FALSE(Has(r.out, "successfully")) << r.out;
    EXPECT_TRUE(Has(r.err, "Programming memory fail.")) << r.err;
}

TEST(ZemcliOverUsb, ProgramsABlankBridgeThatShowsItsNewIdentityOncePluggedInAgain)
{
    EmulatedSite site;
    const std::size_t bridge = site.Add(usbemu::Ft232rEeprom::Blank());
    // More than the chip holds: refused before anything is programmed.
    const ZemcliResult refused = site.Zemcli({"--yes", "usb-init", "--to", "USB: ", "--name", std::string(27, 'N'), "--serial", "12"});
    EXPECT_NE(refused.code, 0);
    EXPECT_TRUE(Has(refused.out, "Name too long for the USB EEprom: at most 26 characters")) << refused.out;
    EXPECT_EQ(site.bus.Chip(bridge).Eeprom().Bytes(), usbemu::Ft232rEeprom::Blank().Bytes());

    const ZemcliResult r = site.Zemcli({"--yes", "usb-init", "--to", "USB: ", "--name", "LINE 3", "--serial", "12"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(Has(r.err, "Unplug then plug the instrument for identification.")) << r.err;
    site.bus.Replug(bridge);
    const auto id = site.bus.Chip(bridge).Presented();
    EXPECT_EQ(std::tie(id.vendorId, id.productId, id.manufacturer, id.description, id.serial),
              std::make_tuple(0x0403, 0x6001, std::string("ZEM AUTOMATION"), std::string("LINE 3"), std::string("MR400012")));
    const ZemcliResult listed = site.Zemcli({"list", "--usb-only"});
    EXPECT_EQ(listed.out, "USB: MR400012\tZEM SIMULATOR (PRESS FIT & HEIGHT)\tProtocol: 14-11\n") << listed.err;
}

} // namespace
} // namespace zem::test
