#include "link/Clock.h"
#include "link/usb/GestioneUSB.h"
#include "link/usb/LibFtdiD2xx.h"
#include "usbemu/EmulatedBus.h"
#include "usbemu/Preload.h"

#include <gtest/gtest.h>

namespace zem {
namespace {
const bool preloaded = (usbemu::RestartUnderUmockdevPreload(), true);

TEST(Smoke, Lists)
{
    usbemu::EmulatedBus bus;
    bus.Add(*usbemu::Ft232rEeprom::Programmed({0x0403, 0x6001, "ZEM AUTOMATION", "ZEM Automation", "MR400012"}));
    system("find $UMOCKDEV_DIR/dev $UMOCKDEV_DIR/ioctl -ls 1>&2");
    LibFtdiD2xx driver;
    SystemClock clock;
    GestioneUSB usb(driver, clock);
    EXPECT_EQ(usb.ElencaDispositiviUSB(""), 1);
    EXPECT_EQ(usb.SerialeDispositivo(1), "MR400012");
    EXPECT_EQ(usb.DescrizioneDispositivo(1), "ZEM Automation");
    FT_HANDLE h = usb.ApriDispositivoUSB("MR400012");
    EXPECT_NE(h, 0u);
    EXPECT_TRUE(usb.ImpostaBaudRate(h, 1250000));
    EXPECT_TRUE(usb.ChiudiDispositivoUSB(h));
}
} // namespace
} // namespace zem
