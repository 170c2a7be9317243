#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace zem::sim {

// Configuration memories as an instrument would hold them, to preload the simulator: the header,
// the calibration table, the measure records and their data blocks, in either header format.
struct MeasureSpec {
    int type = 1;                 // 1..4
    std::string name;
    std::uint8_t capability = 0;  // bit 1 needs a connection, bit 2 managed in phases
    std::uint16_t worksAddress = 0;
    std::uint16_t workSize = 0;
    std::uint8_t works = 1;
    bool remote = false;
    std::uint8_t options = 0;
    int transducerX = 1;          // types 1 and 4
    int transducerY = 3;
    std::string valueName = {};       // types 2 and 3
    std::uint8_t timeUnit = 0;
    std::uint8_t timeDecimals = 2;
};

struct CalibrationSpec {
    std::uint8_t unit = 0;
    std::uint8_t decimals = 2;
    std::uint16_t gain = 10000;   // gain x 10000
    std::int16_t offset = 0;
    bool reverse = false;         // records 1 and 4 only
};

struct ImageSpec {
    char format = '5';            // '5' current, '4' previous
    std::uint8_t variant = 2;     // format "5": where the names lie (1 or 2)
    std::string name = "ZEM SIM";
    std::vector<MeasureSpec> measures;
    std::array<std::uint8_t, 8> inputFunctions{}, outputFunctions{}, inputMasks{}, outputMasks{};
    std::uint8_t baseTempo = 20;
    std::uint8_t option61 = 0;
    std::uint8_t option77 = 0;
    bool updateMode = false;      // header byte 4 bit 7
    std::array<CalibrationSpec, 6> calibration{};
};

// The image from configuration address 0; `size` bytes, zero where nothing is stored.
std::vector<std::uint8_t> BuildConfigurationImage(const ImageSpec& spec, std::size_t size = 0x2000);

// Where the image puts measure m's record (1-based), for tests that look at it.
std::uint32_t RecordAddress(const ImageSpec& spec, int m);

} // namespace zem::sim
