#include "UsbFixture.h"

#include <tuple>

namespace zem {
namespace {

using sim::BridgeCall;

// Texts padded with NUL and what follows it, as a chip may hold them.
template <typename Image>
ProgramImage Stored(std::uint16_t productId, std::uint8_t serNumEnable)
{
    Image image = UsbFixture::Programmed<Image>(std::string("ZEM Automation\0\0", 16), "MR400012");
    image.ProductId = productId;
    image.Manufacturer = std::string("ZEM\0FTDI", 8);
    image.ManufacturerId = "MR";
    image.SerNumEnable = serNumEnable;
    return image;
}

TEST(Eeprom, ReadGivesTheTextsCutAtNulAndTheIdentifiersOfTheLayout)
{
    const std::tuple<std::uint32_t, ProgramImage, DatiEEPROM> cases[] = {
        // Newer chips: identifiers as they are, the flag from the serial-number-enable byte.
        {FT_DEVICE_232R, Stored<ProgramDataNewer>(0x6015, 1), {0x0403, 0x6015, "ZEM", "MR", "ZEM Automation", true, "MR400012"}},
        // Older chips: the hex digits of the identifiers read as a decimal number.
        {FT_DEVICE_BM, Stored<ProgramDataOlder>(0x6001, 0), {403, 6001, "ZEM", "MR", "ZEM Automation", false, "MR400012"}},
    };
    const auto fields = [](const DatiEEPROM& d) {
        return std::tie(d.VendorId, d.ProductId, d.FlagEEPROM, d.Manufacturer, d.ManufacturerId, d.Description, d.SerialNumber);
    };
    for (const auto& [chipType, stored, expected] : cases) {
        UsbFixture s;
        DatiEEPROM dati;
        ASSERT_EQ(s.usb.LeggiEEPROM(s.OpenDirectly(s.bridge.AddDevice({"MR400012", chipType, stored})), dati), FT_OK);
        EXPECT_EQ(fields(dati), fields(expected)) << chipType;
        EXPECT_EQ(s.usb.UltimoTipoChip(), static_cast<int>(chipType));
    }
}

// An image whose every field differs from what programming forces, so that what is kept shows.
template <typename Image>
Image Used()
{
    Image image = UsbFixture::Programmed<Image>("USB <-> Serial", "FT5XYZ01");
    image.ProductId = 0x6015;
    image.Manufacturer = "FTDI";
    image.ManufacturerId = "FT";
    image.MaxPower = 90;
    image.PnP = image.SelfPowered = 0;
    image.RemoteWakeup = image.IsoIn = image.PullDownEnable = 1;
    image.USBVersion = 0x0200;
    return image;
}

TEST(Eeprom, ProgrammingForcesPowerAndHeaderAndKeepsTheRestInTheChipsLayout)
{
    UsbFixture s;
    ProgramDataNewer newer = Used<ProgramDataNewer>();
    newer.Version = 9;
    const std::size_t a = s.bridge.AddDevice({"A", FT_DEVICE_4232H, newer});
    const std::size_t b = s.bridge.AddDevice({"B", FT_DEVICE_BM, Used<ProgramDataOlder>()});
    for (const std::size_t i : {a, b}) {
        ASSERT_EQ(s.usb.ProgrammaEEPROM(s.OpenDirectly(i), {0, 0, "ZEM AUTOMATION", "MR", "ZEM Automation", false, "MR400012"}), FT_OK);
        std::visit([](const ProgramData& p) {
            EXPECT_EQ(p.Manufacturer, "ZEM AUTOMATION");
            EXPECT_EQ(p.ManufacturerId, "MR");
            EXPECT_EQ(p.Description, "ZEM Automation");
            EXPECT_EQ(p.SerialNumber, "MR400012");
            EXPECT_EQ(std::tie(p.MaxPower, p.PnP, p.SelfPowered, p.RemoteWakeup), std::make_tuple(0, 1, 1, 0));
            // Kept as read.
            EXPECT_EQ(std::tie(p.VendorId, p.ProductId, p.IsoIn, p.PullDownEnable, p.SerNumEnable, p.USBVersion),
                      std::make_tuple(0x0403, 0x6015, 1, 1, 1, 0x0200));
        }, *s.bridge.Device(i).eeprom);
    }
    const auto* header = std::get_if<ProgramDataNewer>(&*s.bridge.Device(a).eeprom);
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(std::tie(header->Signature1, header->Signature2, header->Version), std::make_tuple(0u, 0xFFFFFFFFu, 2u));
    EXPECT_TRUE(std::holds_alternative<ProgramDataOlder>(*s.bridge.Device(b).eeprom));
}

TEST(Eeprom, TheToolsIdentityIsProgrammedWithinTheChipsFortyEightCharacters)
{
    UsbFixture s;
    const std::size_t i = s.AddProgrammed("Old", "MR400001");
    const FT_HANDLE handle = s.OpenDirectly(i);
    const std::string room(48 - 14 - 8, 'N');  // beside "ZEM AUTOMATION" and the serial number
    s.usb.ImpostaDatiEEPROM(room + "N", "MR400012");
    EXPECT_EQ(s.usb.ProgrammaEEPROM(handle, s.usb.DatiDaProgrammare()), FT_INVALID_PARAMETER);
    ProgramDataNewer tooLong;
    tooLong.Manufacturer = "ZEM AUTOMATION", tooLong.Description = room + "N", tooLong.SerialNumber = "MR400012";
    EXPECT_EQ(s.bridge.FT_EE_Program(handle, tooLong), FT_INVALID_PARAMETER);  // the simulated chip holds no more
    EXPECT_EQ(s.bridge.Calls(BridgeCall::EeProgram), 1u);
    s.usb.ImpostaDatiEEPROM(room, "MR400012");
    ASSERT_TRUE(s.usb.ScriviEEPROM(handle));
    const auto& p = std::get<ProgramDataNewer>(*s.bridge.Device(i).eeprom);
    EXPECT_EQ(std::tie(p.VendorId, p.ProductId, p.Manufacturer, p.ManufacturerId, p.Description),
              std::make_tuple(0x0403, 0x6001, std::string("ZEM AUTOMATION"), std::string("ZA"), room));
}

TEST(Eeprom, AFailingDriverCallStopsProgrammingWithItsStatus)
{
    // The call that fails, its status, whether FT_EE_Program was still called.
    const std::tuple<BridgeCall, FT_STATUS, bool> cases[] = {{BridgeCall::GetDeviceInfo, FT_INVALID_HANDLE, false},
                                                             {BridgeCall::EeRead, FT_EEPROM_READ_FAILED, false},
                                                             {BridgeCall::EeProgram, FT_EEPROM_WRITE_FAILED, true}};
    for (const auto& [call, status, programmed] : cases) {
        UsbFixture s;
        const std::size_t i = s.AddProgrammed("Old", "MR400001");
        const FT_HANDLE handle = s.OpenDirectly(i);
        s.bridge.Fail(call, status);
        s.usb.ImpostaDatiEEPROM("ZEM Automation", "MR400012");
        EXPECT_EQ(s.usb.ProgrammaEEPROM(handle, s.usb.DatiDaProgrammare()), status);
        EXPECT_EQ(s.bridge.Calls(BridgeCall::EeProgram), programmed ? 1u : 0u) << status;
        EXPECT_EQ(std::get<ProgramDataNewer>(*s.bridge.Device(i).eeprom).SerialNumber, "MR400001");

        s.bridge.Fail(call, status);
        EXPECT_FALSE(s.usb.ScriviEEPROM(handle)) << status;
    }
}

} // namespace
} // namespace zem
