#include "sim/SimulatedLink.h"

namespace zem::sim {

namespace {
SimulatedDevice InstrumentBridge()
{
    SimulatedDevice d;
    d.serial = SimulatedLink::kSerial;
    ProgramDataNewer eeprom;
    eeprom.VendorId = 0x0403;
    eeprom.ProductId = 0x6001;
    eeprom.Manufacturer = "ZEM AUTOMATION";
    eeprom.ManufacturerId = "ZA";
    eeprom.Description = SimulatedLink::kDescription;
    eeprom.SerialNumber = SimulatedLink::kSerial;
    eeprom.SerNumEnable = 1;
    d.eeprom = eeprom;
    return d;
}
} // namespace

SimulatedLink::SimulatedLink(double timeOfDay)
    : clock(timeOfDay),
      model(clock),
      instrument(model.Instrument()),
      curves(model.Curves()),
      network(clock),
      endpoint(network, instrument, kHost, kPort),
      socket(network.CreateSocket()),
      bridge(clock),
      device(bridge.AddDevice(InstrumentBridge())),
      usb(bridge, clock),
      link(clock, usb, network, *socket)
{
    bridge.AttachInstrument(device, instrument);
    bridge.SetCallDuration(kDriverCallSeconds);
    endpoint.latencySeconds = kNetworkSeconds;
}

} // namespace zem::sim
