#include "record/PieceOfCurve.h"

#include <algorithm>

namespace zem {

PieceRecord PieceOfCurve(const CompletedPiece& piece, const CurveMonitor::Work& work, const PieceOrigin& origin)
{
    PieceRecord r;
    r.instrument = origin.instrument;
    r.instrumentName = origin.instrumentName;
    r.measure = piece.measure;
    r.measureType = origin.measureType;
    r.counter = origin.counter;
    r.timeUtcMs = origin.timeUtcMs;
    if (work.read) {
        r.work = work.name;
        r.workNumber = work.number;
    }
    r.verdict = piece.Verdict();
    if (const auto& v = piece.results) {
        r.rejectCauses = v->CauseScarto;
        r.checkPointRejectCauses = v->CauseScartoCheckPoint;
        r.results.push_back({"Peak force", v->ForzaPicco, {}, {}, piece.units.forza, piece.forceDecimals});
        r.results.push_back({"Peak position", v->QuotaPicco, {}, {}, piece.units.quota, piece.positionDecimals});
        // The work's check points are those it sets, in order; the instrument reports their forces
        // from element 1 on.
        const std::size_t punti = std::min<std::size_t>(work.checkPoints.size(), RisultatiMisura::kCheckPoint);
        for (std::size_t k = 1; k <= punti; ++k) {
            const CheckPoint& c = work.checkPoints[k - 1];
            r.results.push_back({"Check point " + std::to_string(k) + " force", v->ForzeCheckPoint[k], c.ForzaMinima,
                                 c.ForzaMassima, piece.units.forza, piece.forceDecimals});
        }
    }
    if (piece.curve) {
        r.curve.reserve(piece.curve->size());
        for (const auto& p : *piece.curve) r.curve.push_back({p.position, p.force});
    }
    return r;
}

bool SamePiece(const PieceRecord& a, const PieceRecord& b)
{
    const auto sameValue = [](const ResultValue& x, const ResultValue& y) { return x.name == y.name && x.value == y.value; };
    const auto samePoint = [](const PieceRecord::Point& x, const PieceRecord::Point& y) {
        return x.position == y.position && x.force == y.force;
    };
    return a.instrument == b.instrument && a.measure == b.measure && a.verdict == b.verdict
        && a.rejectCauses == b.rejectCauses && a.checkPointRejectCauses == b.checkPointRejectCauses
        && std::equal(a.results.begin(), a.results.end(), b.results.begin(), b.results.end(), sameValue)
        && std::equal(a.curve.begin(), a.curve.end(), b.curve.begin(), b.curve.end(), samePoint);
}

} // namespace zem
