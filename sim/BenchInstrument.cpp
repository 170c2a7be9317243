#include "sim/BenchInstrument.h"

namespace zem::sim {

namespace {
SimulatedMemory::Options Memorie(bool mailbox)
{
    SimulatedMemory::Options o;
    o.configurazioneInPRAM = !mailbox;
    return o;
}
} // namespace

BenchInstrument::BenchInstrument(SimulatedPlatform& platform, bool mailbox)
    : memory(instrument, Memorie(mailbox)), endpoint(platform.network, instrument, kHost, kPort)
{
    SimulatedDevice bridge;
    bridge.serial = kSerial;
    ProgramDataNewer eeprom;
    eeprom.VendorId = 0x0403;
    eeprom.ProductId = 0x6001;
    eeprom.Description = "ZEM MR4 USB";
    eeprom.SerialNumber = kSerial;
    eeprom.SerNumEnable = 1;
    bridge.eeprom = eeprom;
    platform.bridge.AttachInstrument(platform.bridge.AddDevice(bridge), instrument);
    // A USB round trip and a local network answer take their time, so that waits end.
    platform.bridge.SetCallDuration(50e-6);
    endpoint.latencySeconds = 200e-6;
}

std::string BenchInstrument::UsbKey() { return std::string("USB: ") + kSerial; }

std::string BenchInstrument::UdpKey() { return std::string("IP:") + kHost + ":" + std::to_string(kPort); }

} // namespace zem::sim
