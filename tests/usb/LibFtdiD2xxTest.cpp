#ifdef ZEM_HAVE_LIBFTDI

#include "link/Clock.h"
#include "link/usb/GestioneUSB.h"
#include "link/usb/LibFtdiD2xx.h"

#include <gtest/gtest.h>

#include <array>

namespace zem {
namespace {

// No bridge is attached where this runs: what matters is that every call then fails with a
// status (or finds nothing), never crashes or hangs.
TEST(LibFtdi, WithoutABridgeNothingIsListedOrOpenedAndUnknownHandlesAreRefused)
{
    LibFtdiD2xx driver;
    std::uint32_t n = 0;
    if (driver.FT_ListDevices(n, {}, FT_LIST_NUMBER_ONLY) == FT_OK && n > 0) GTEST_SKIP() << "a real bridge is attached";
    SystemClock clock;
    GestioneUSB usb(driver, clock);
    EXPECT_EQ(usb.ElencaDispositiviUSB(""), 0);
    EXPECT_EQ(usb.ApriDispositivoUSB("MR400012"), 0u);
    EXPECT_EQ(usb.ApriDispositivoUSB(""), 0u);
    FT_HANDLE handle = 99;
    EXPECT_NE(driver.FT_OpenEx("MR400012", FT_OPEN_BY_SERIAL_NUMBER, handle), FT_OK);
    EXPECT_EQ(handle, 0u);

    const FT_HANDLE h = 1;
    std::array<std::uint8_t, 4> bytes{};
    ProgramImage image = ProgramDataNewer{};
    EXPECT_EQ(driver.FT_SetBaudRate(h, 1250000), FT_INVALID_HANDLE);
    EXPECT_EQ(driver.FT_Write(h, bytes, n), FT_INVALID_HANDLE);
    EXPECT_EQ(driver.FT_Read(h, bytes, n), FT_INVALID_HANDLE);
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(driver.FT_EE_Program(h, image), FT_INVALID_HANDLE);
    EXPECT_EQ(driver.FT_Close(h), FT_INVALID_HANDLE);
}

} // namespace
} // namespace zem

#endif
