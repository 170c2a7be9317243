#pragma once

#include "link/LavoroMisura.h"
#include "link/ScalaMisura.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace zem {

// What decides the layout of a work record.
struct FormatoRecord {
    int tipo = 0;                // measure type 1..4
    int livello = 1;             // record-layout level: 0 for the older header format, else 1 or 2
    int estensioni = 0;          // the instrument's release: check points and the auxiliary byte
    int puntiFascia = 15;        // envelope points per border the record holds
    std::size_t dimensione = 0;  // bytes of one record
    int NumeroCheckPoint() const { return estensioni > 9 ? 5 : 8; }
};

// One write into a record: bytes from an offset of the record.
struct CampoRecord {
    std::uint32_t offset = 0;
    std::vector<std::uint8_t> bytes;
    friend bool operator==(const CampoRecord&, const CampoRecord&) = default;
};

// The byte layout of a work record, both ways, as pure functions: the link only moves the bytes.
// Record bytes 0-2 tell whether a curve of the record is stored, byte 3 is the offset O of the
// phase data (0: the record holds none), byte 4 the offset of the envelope (types 1 and 4), bytes
// 6-21 the name as a length byte and up to 15 characters, then the graph scales and from O the
// phase data of the measure type.
class RecordLavoro {
public:
    static constexpr std::uint32_t kOffsetFasi = 3;
    static constexpr std::uint32_t kOffsetFascia = 4;
    static constexpr std::uint32_t kOffsetNome = 6;
    static constexpr std::size_t kLunghezzaNome = 15;

    // The phase-data offset a record built whole gets.
    static std::uint8_t OffsetRicostruzione(int tipo, int livello);
    static std::int16_t PrescalerPredefinito(int tipo);
    // Whether phase data at O, and for types 1 and 4 the envelope after them, fit the record and
    // leave its name and graph scales alone.
    static bool OffsetValido(const FormatoRecord& formato, std::uint32_t o);

    // The record of a whole rebuild before its phase is written: all 0 but the bytes the layout
    // level keeps beside the phase data. Sets the phase's prescaler (and for type 3 its marker) to
    // the type's defaults. Nothing when the record is too small for the layout.
    static std::optional<std::vector<std::uint8_t>> Ricostruito(const FormatoRecord& formato, FaseLavoro& fase);

    // The writes of one phase into a record whose phase data start at O, in the order they go out:
    // name, graph scales, phase data, check points and envelope, then the envelope offset, and the
    // phase-data offset last, so a record cut short by a failure is never taken as complete.
    // The envelope rules may change the phase's points. Nothing when the layout does not fit.
    static std::optional<std::vector<CampoRecord>> Campi(const FormatoRecord& formato, std::uint8_t o,
                                                         const std::string& nome, FaseLavoro& fase,
                                                         const ScalaMisura& scala);

    // Reads a whole record into the phase and the name. A record with O = 0 holds no phase: the
    // phase is left as it was and only the name is taken. False, with nothing changed, when the
    // record does not fit the format (size, offsets, envelope counts).
    static bool Decodifica(const FormatoRecord& formato, std::span<const std::uint8_t> record,
                           const ScalaMisura& scala, FaseLavoro& fase, std::string& nome);

    // The record after the writes, for checking an encoding without an instrument.
    static void Applica(std::span<std::uint8_t> record, const std::vector<CampoRecord>& campi);
};

} // namespace zem
