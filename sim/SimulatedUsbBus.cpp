#include "sim/SimulatedUsbBus.h"

#include "sim/ConfigurationImages.h"

namespace zem::sim {

namespace {

ProgramDataNewer Eeprom(const BridgeSpec& spec)
{
    ProgramDataNewer eeprom;
    eeprom.VendorId = 0x0403;
    eeprom.ProductId = 0x6001;
    eeprom.Manufacturer = "ZEM AUTOMATION";
    eeprom.ManufacturerId = "ZA";
    eeprom.Description = spec.description;
    eeprom.SerialNumber = spec.serial;
    eeprom.SerNumEnable = 1;
    return eeprom;
}

} // namespace

void LoadProfile(DefaultInstrument& instrument, const std::string& name, const std::vector<std::string>& measures,
                 int presses)
{
    ImageSpec image;
    image.name = name;
    for (const auto& measureName : measures) {
        MeasureSpec measure;
        measure.type = static_cast<int>(image.measures.size()) < presses ? 1 : 3;
        measure.name = measureName;
        if (measure.type == 3) {
            measure.transducerY = 2;
            measure.valueName = measureName;
        }
        image.measures.push_back(measure);
    }
    image.calibration[0].unit = 1;  // the press's encoder, calibrated in mm as on a real press
    instrument.Memory().CaricaConfigurazione(BuildConfigurationImage(image));
}

std::size_t SimulatedUsbBus::Add(const BridgeSpec& spec)
{
    SimulatedDevice device;
    device.serial = spec.serial;
    if (spec.state != BridgeState::BlankEeprom) device.eeprom = Eeprom(spec);
    const std::size_t index = bridge_.AddDevice(device);

    DefaultInstrument& model = instruments_.emplace_back(clock_);
    if (!spec.instrumentName.empty()) LoadProfile(model, spec.instrumentName, spec.measures, spec.presses);
    switch (spec.state) {
    case BridgeState::UpdateMode: model.Memory().SetUpdateMode(true); break;
    case BridgeState::MemoryError: model.Memory().Guasti().erroreMemoria = true; break;
    case BridgeState::Silent: model.Instrument().Faults().deaf = true; break;
    case BridgeState::Normal:
    case BridgeState::BlankEeprom: break;
    }
    bridge_.AttachInstrument(index, model.Instrument());
    return index;
}

} // namespace zem::sim
