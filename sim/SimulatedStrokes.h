#pragma once

#include "link/LavoroMisura.h"
#include "sim/SimulatedAcquisition.h"
#include "sim/SimulatedCurves.h"
#include "sim/SimulatedMemory.h"
#include "sim/SimulatedPress.h"
#include "sim/SimulatedWorks.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace zem::sim {

// The pieces the press makes, as each press force-position measure of the configuration sees them
// (an instrument watching two stations of one press: both complete a piece at each stroke). A stroke
// is a piece in work from the start of the way down until the ram starts back up; then the
// instrument keeps the curve of the last part of the way down (force against position from 180.00
// to the bottom at 300.00), writes the results block, flags the curve as waiting to be processed
// and reports the results ready until the next stroke begins. Each piece is checked against the
// work the configuration memory holds as work 1 of the measure: an envelope and one check point.
// Every `scartoOgni`-th piece is pressed too hard and falls outside both; measure m presses
// (m - 1) x kPassoMisura harder than measure 1, so that their pieces differ.
//
// Nothing happens until Avvia: the other features' tests keep the status they set themselves.
class SimulatedStrokes {
public:
    static constexpr int kPunti = 600;                    // points of one curve
    // Position counts from top to bottom as the measure gets them: the results block carries the
    // peak position in a signed word.
    static constexpr std::int32_t kCorsa = 30000;
    static constexpr std::int16_t kPiccoBuono = 3000;     // force raw at the bottom of a good piece
    static constexpr std::int16_t kPiccoScarto = 3800;    // and of a piece pressed too hard
    static constexpr std::uint32_t kIndirizzoLavori = 0x1000;
    static constexpr std::uint32_t kDimensioneLavoro = 300;   // measure m's work at kIndirizzoLavori + (m - 1) x this
    static constexpr int kPassoMisura = 30;
    // Reject-cause bits of the results block.
    static constexpr std::uint16_t kSopraFascia = 0x01, kSottoFascia = 0x02;

    SimulatedStrokes(SimulatedPress& press, SimulatedCurves& curves, SimulatedAcquisition& acquisition,
                     SimulatedMemory& memory, SimulatedWorks& works);
    SimulatedStrokes(const SimulatedStrokes&) = delete;
    SimulatedStrokes& operator=(const SimulatedStrokes&) = delete;

    // Stores the work of each press measure in the configuration memory, selects it and lets the
    // strokes run; the next stroke that begins is the first piece. False when the configuration has
    // no press measure 1.
    bool Avvia();
    int scartoOgni = 3;

    // Pieces completed since Avvia.
    int Pezzi() const { return pezzi_; }
    // The work the pieces are checked against, in engineering units (force and position raw / 100).
    static FaseLavoro Lavoro();

private:
    bool PreparaLavoro(int misura);
    void Aggiorna();
    void Completa(int misura, long ciclo, int pezzo);

    SimulatedPress& press_;
    SimulatedCurves& curves_;
    SimulatedAcquisition& acquisition_;
    SimulatedMemory& memory_;
    SimulatedWorks& works_;
    std::optional<long> primo_;   // the stroke that makes the first piece
    long ultimo_ = -1;            // the last stroke whose piece was completed
    int pezzi_ = 0;
    std::vector<int> misure_;     // the press measures making pieces
};

} // namespace zem::sim
