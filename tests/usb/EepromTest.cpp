#include "UsbFixture.h"

#include <tuple>

namespace zem {
namespace {

using sim::BridgeCall;

class Eeprom : public UsbFixture {
public:
    // Opens bridge `index` straight through the driver, as the EEPROM tools get their handle.
    FT_HANDLE Open(std::size_t index)
    {
        FT_HANDLE handle = 0;
        EXPECT_EQ(bridge.FT_OpenEx(bridge.Device(index).serial, FT_OPEN_BY_SERIAL_NUMBER, handle), FT_OK);
        return handle;
    }

    // An image whose every field differs from what programming forces, so that what is kept shows.
    template <typename Image>
    static Image Used()
    {
        Image image = Programmed<Image>("USB <-> Serial", "FT5XYZ01");
        image.ProductId = 0x6015;
        image.Manufacturer = "FTDI";
        image.ManufacturerId = "FT";
        image.MaxPower = 90;
        image.PnP = image.SelfPowered = 0;
        image.RemoteWakeup = image.IsoIn = image.PullDownEnable = 1;
        image.USBVersion = 0x0200;
        return image;
    }
};

struct LayoutCase {
    const char* name;
    std::uint32_t chipType;
    ProgramImage stored;
    DatiEEPROM expected;
};

class EepromLayouts : public Eeprom, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(EepromLayouts, ReadGivesTheTextsCutAtNulAndTheIdentifiersOfTheLayout)
{
    const std::size_t i = bridge.AddDevice({"MR400012", GetParam().chipType, GetParam().stored});
    DatiEEPROM dati;
    ASSERT_EQ(usb.LeggiEEPROM(Open(i), dati), FT_OK);
    auto fields = [](const DatiEEPROM& d) {
        return std::tie(d.VendorId, d.ProductId, d.FlagEEPROM, d.Manufacturer, d.ManufacturerId, d.Description, d.SerialNumber);
    };
    EXPECT_EQ(fields(dati), fields(GetParam().expected));
    EXPECT_EQ(usb.UltimoTipoChip(), static_cast<int>(GetParam().chipType));
}

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

INSTANTIATE_TEST_SUITE_P(
    Layout, EepromLayouts,
    ::testing::Values(
        // Newer chips: identifiers as they are, the flag from the serial-number-enable byte.
        LayoutCase{"newer", FT_DEVICE_232R, Stored<ProgramDataNewer>(0x6015, 1),
                   {0x0403, 0x6015, "ZEM", "MR", "ZEM Automation", true, "MR400012"}},
        // Older chips: the hex digits of the identifiers read as a decimal number.
        LayoutCase{"older_bm", FT_DEVICE_BM, Stored<ProgramDataOlder>(0x6001, 0),
                   {403, 6001, "ZEM", "MR", "ZEM Automation", false, "MR400012"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Eeprom, ProgrammingForcesPowerAndHeaderAndKeepsTheRestInTheChipsLayout)
{
    ProgramDataNewer newer = Used<ProgramDataNewer>();
    newer.Version = 9;
    const std::size_t a = bridge.AddDevice({"A", FT_DEVICE_4232H, newer});
    const std::size_t b = bridge.AddDevice({"B", FT_DEVICE_BM, Used<ProgramDataOlder>()});
    for (const std::size_t i : {a, b}) {
        ASSERT_EQ(usb.ProgrammaEEPROM(Open(i), {0, 0, "ZEM AUTOMATION", "MR", "ZEM Automation", false, "MR400012"}), FT_OK);
        std::visit([](const ProgramData& p) {
            EXPECT_EQ(p.Manufacturer, "ZEM AUTOMATION");
            EXPECT_EQ(p.ManufacturerId, "MR");
            EXPECT_EQ(p.Description, "ZEM Automation");
            EXPECT_EQ(p.SerialNumber, "MR400012");
            EXPECT_EQ(std::tie(p.MaxPower, p.PnP, p.SelfPowered, p.RemoteWakeup), std::make_tuple(0, 1, 1, 0));
            // Kept as read.
            EXPECT_EQ(std::tie(p.VendorId, p.ProductId, p.IsoIn, p.PullDownEnable, p.SerNumEnable, p.USBVersion),
                      std::make_tuple(0x0403, 0x6015, 1, 1, 1, 0x0200));
        }, *bridge.Device(i).eeprom);
    }
    const auto* header = std::get_if<ProgramDataNewer>(&*bridge.Device(a).eeprom);
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(std::tie(header->Signature1, header->Signature2, header->Version), std::make_tuple(0u, 0xFFFFFFFFu, 2u));
    EXPECT_TRUE(std::holds_alternative<ProgramDataOlder>(*bridge.Device(b).eeprom));
}

struct ProgramFault {
    const char* name;
    sim::BridgeCall call;
    FT_STATUS status;
    bool programmed;  // whether FT_EE_Program was still called
};

class EepromProgramFaults : public Eeprom, public ::testing::WithParamInterface<ProgramFault> {};

TEST_P(EepromProgramFaults, StopWithTheDriverStatus)
{
    const std::size_t i = AddProgrammed("Old", "MR400001");
    const FT_HANDLE handle = Open(i);
    bridge.Fail(GetParam().call, GetParam().status);
    usb.ImpostaDatiEEPROM("ZEM Automation", "MR400012");
    EXPECT_EQ(usb.ProgrammaEEPROM(handle, usb.DatiDaProgrammare()), GetParam().status);
    EXPECT_EQ(bridge.Calls(BridgeCall::EeProgram), GetParam().programmed ? 1u : 0u);
    EXPECT_EQ(std::get<ProgramDataNewer>(*bridge.Device(i).eeprom).SerialNumber, "MR400001");

    bridge.Fail(GetParam().call, GetParam().status);
    EXPECT_FALSE(usb.ScriviEEPROM(handle));
}

INSTANTIATE_TEST_SUITE_P(
    Guasti, EepromProgramFaults,
    ::testing::Values(ProgramFault{"chip_type", BridgeCall::GetDeviceInfo, FT_INVALID_HANDLE, false},
                      ProgramFault{"read", BridgeCall::EeRead, FT_EEPROM_READ_FAILED, false},
                      ProgramFault{"program", BridgeCall::EeProgram, FT_EEPROM_WRITE_FAILED, true}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace zem
