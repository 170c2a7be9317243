#pragma once

#include "link/UCZEM2.h"

#include <array>
#include <cstdint>

namespace zem {

class ProfiloZem;

// What the link reports about the instrument that a profile's memory image depends on.
struct DatiStrumento {
    std::int32_t dimensioneMemoria = 0x80000;
    std::int32_t dimensioneConfigurazione = 360;
    bool configurazioneInPRAM = true;
    int protocollo = 14;
    int estensioni = 11;
    bool updateMode = false;
    std::array<RecordTaratura, 6> taratura{};  // the calibration table, carried over
    std::uint8_t opzioneTrasduttori = 0;       // header byte 61 as the instrument had it
    std::uint8_t configurazioneAnalogica = 0;  // analog input configuration of the version reply
    std::uint8_t codiceBaud = 0;               // serial divisor for the profile's baud rate
};

// Collects them from an open link, the baud-rate divisor for the profile's serial speed.
DatiStrumento LeggiDatiStrumento(const UCZEM2& link, const ProfiloZem& profilo);

} // namespace zem
