#include "sim/ConfigurationImages.h"

#include <algorithm>

namespace zem::sim {

namespace {

constexpr std::uint32_t kFirstRecord = 0x200;
constexpr std::uint32_t kRecordStride = 0x50;
constexpr std::size_t kTable4 = 300;  // format "4": the option table

void Put(std::vector<std::uint8_t>& img, std::size_t at, std::uint8_t v)
{
    if (at < img.size()) img[at] = v;
}

void PutWord(std::vector<std::uint8_t>& img, std::size_t at, std::uint16_t v)
{
    Put(img, at, static_cast<std::uint8_t>(v));
    Put(img, at + 1, static_cast<std::uint8_t>(v >> 8));
}

void PutString(std::vector<std::uint8_t>& img, std::size_t at, const std::string& s, std::size_t max)
{
    const std::size_t n = std::min(s.size(), max);
    Put(img, at, static_cast<std::uint8_t>(n));
    for (std::size_t i = 0; i < n; ++i) Put(img, at + 1 + i, static_cast<std::uint8_t>(s[i]));
}

void Format5(const ImageSpec& spec, std::vector<std::uint8_t>& img)
{
    Put(img, 5, spec.variant);
    PutString(img, spec.variant == 1 ? 6 : 88, spec.name, spec.variant == 1 ? 15 : 20);
    for (std::size_t k = 0; k < 6; ++k) {
        const CalibrationSpec& c = spec.calibration[k];
        Put(img, 0x22 + 2 * k, c.unit);
        Put(img, 0x23 + 2 * k, c.decimals);
        PutWord(img, 0x2E + 2 * k, c.gain);
        PutWord(img, 0x40 + 2 * k, static_cast<std::uint16_t>(c.offset));
    }
    Put(img, 0x50, static_cast<std::uint8_t>((spec.calibration[1].reverse ? 1 : 0) | (spec.calibration[4].reverse ? 2 : 0)));
    Put(img, 60, spec.baseTempo);
    Put(img, 61, spec.option61);
    Put(img, 77, spec.option77);
    for (std::size_t n = 0; n < 8; ++n) {
        Put(img, 184 + n, spec.inputFunctions[n]);
        Put(img, 192 + n, spec.outputFunctions[n]);
        Put(img, 200 + n, spec.inputMasks[n]);
        Put(img, 208 + n, spec.outputMasks[n]);
    }
    for (std::size_t i = 0; i < spec.measures.size() && i < 6; ++i) {
        const MeasureSpec& m = spec.measures[i];
        const std::uint32_t r = RecordAddress(spec, static_cast<int>(i + 1));
        PutWord(img, 22 + 2 * i, static_cast<std::uint16_t>(r));
        PutString(img, spec.variant == 1 ? 88 + 16 * i : 216 + 24 * i, m.name, spec.variant == 1 ? 15 : 23);
        const bool press = m.type == 1 || m.type == 4;
        const std::uint8_t recordLength = press ? 0x2E : 0x1F;
        Put(img, r + 0, m.type == 0 ? 0 : recordLength);
        Put(img, r + 1, 0x23);
        Put(img, r + 2, static_cast<std::uint8_t>(m.type));
        Put(img, r + 4, m.capability);
        PutWord(img, r + 5, m.worksAddress);
        PutWord(img, r + 7, m.workSize);
        Put(img, r + 9, m.works);
        Put(img, r + 11, m.remote ? 0x30 : 0x00);
        if (press) {
            Put(img, r + 25, m.options);
            Put(img, r + 26, static_cast<std::uint8_t>(((m.transducerY & 15) << 4) | (m.transducerX & 15)));
        } else {
            Put(img, r + 23, m.options);
            Put(img, r + 24, static_cast<std::uint8_t>(m.transducerY));
            const std::uint32_t d = r + recordLength;
            Put(img, d + 17, m.timeUnit);
            Put(img, d + 18, m.timeDecimals);
            PutString(img, d + 19, m.valueName, 15);
        }
    }
}

void Format4(const ImageSpec& spec, std::vector<std::uint8_t>& img)
{
    PutWord(img, 54, kTable4);
    const std::size_t count = std::min<std::size_t>(spec.measures.size(), 2);
    Put(img, kTable4, static_cast<std::uint8_t>(count));
    for (std::size_t n = 0; n < 8; ++n) {
        Put(img, kTable4 + 1 + n, spec.inputFunctions[n]);
        Put(img, kTable4 + 9 + n, spec.outputFunctions[n]);
    }
    Put(img, kTable4 + 17, spec.baseTempo);
    Put(img, 61, spec.option61);
    PutWord(img, 56, static_cast<std::uint16_t>(RecordAddress(spec, 1)));
    Put(img, 58, static_cast<std::uint8_t>(kRecordStride));
    for (std::size_t g = 0; g < count; ++g) {
        const MeasureSpec& m = spec.measures[g];
        const std::uint32_t r = RecordAddress(spec, static_cast<int>(g + 1));
        PutString(img, 22 + 16 * g, m.name, 15);
        Put(img, r + 6, m.capability);
        // Calibration of the group in the measure's record: load cell, encoder, 0-10 V input.
        const CalibrationSpec& e = spec.calibration[3 * g];
        const CalibrationSpec& v = spec.calibration[3 * g + 1];
        const CalibrationSpec& c = spec.calibration[3 * g + 2];
        PutWord(img, r + 7, static_cast<std::uint16_t>(c.offset));
        PutWord(img, r + 9, static_cast<std::uint16_t>(e.offset));
        PutWord(img, r + 11, static_cast<std::uint16_t>(v.offset));
        Put(img, r + 33, c.unit);
        Put(img, r + 34, c.decimals);
        Put(img, r + 35, e.unit);
        Put(img, r + 36, e.decimals);
        Put(img, r + 37, v.unit);
        Put(img, r + 38, v.decimals);
        PutWord(img, r + 39, c.gain);
        PutWord(img, r + 41, e.gain);
        PutWord(img, r + 43, v.gain);
    }
}

} // namespace

std::uint32_t RecordAddress(const ImageSpec&, int m)
{
    return kFirstRecord + kRecordStride * static_cast<std::uint32_t>(m - 1);
}

std::vector<std::uint8_t> BuildConfigurationImage(const ImageSpec& spec, std::size_t size)
{
    std::vector<std::uint8_t> img(size, 0);
    Put(img, 0, 'Z');
    Put(img, 1, 'E');
    Put(img, 2, 'M');
    Put(img, 3, static_cast<std::uint8_t>(spec.format));
    Put(img, 4, static_cast<std::uint8_t>(3 | (spec.updateMode ? 0x80 : 0)));
    if (spec.format == '4')
        Format4(spec, img);
    else
        Format5(spec, img);
    return img;
}

} // namespace zem::sim
