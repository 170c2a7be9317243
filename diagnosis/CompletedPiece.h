#pragma once

#include "diagnosis/UnitaCurva.h"
#include "link/RisultatiMisura.h"

#include <optional>
#include <string>
#include <vector>

namespace zem {

// One piece the instrument finished while the curves were watched: its curve (position and force
// in engineering units) and its results. A curve that could not be downloaded is missing, never
// empty; results that could not be read are missing too.
struct CompletedPiece {
    struct Point {
        float position = 0;
        float force = 0;
    };

    int number = 0;    // from 1, since the watch started
    int measure = 0;
    std::optional<std::vector<Point>> curve;
    std::optional<RisultatiMisura> results;
    int positionDecimals = 2;
    int forceDecimals = 2;
    UnitaCurva units;

    bool Good() const { return results && results->CauseScarto == 0 && results->CauseScartoCheckPoint == 0; }
    // "good", "rejected", or "no results".
    std::string Verdict() const { return !results ? "no results" : Good() ? "good" : "rejected"; }
};

} // namespace zem
