#pragma once

#include "diagnosis/CompletedPiece.h"
#include "diagnosis/CurveMonitor.h"

#include <optional>
#include <string>

namespace zem {

// Keeping the pieces the curve window shows in a file of recorded pieces. The program gives the
// window the recorder's implementation; the window itself knows no store.
class CurveRecording {
public:
    virtual ~CurveRecording() = default;

    // Opens the file for the instrument's measure; the message for the technician when it cannot be.
    virtual std::optional<std::string> Begin(const std::string& file, const std::string& key, const UCZEM2& link,
                                             int measure) = 0;
    // Keeps one piece; the message when the file failed (the recording has then ended).
    virtual std::optional<std::string> Keep(const CompletedPiece& piece, const CurveMonitor::Work& work) = 0;
    // "12 pieces: 10 good, 2 rejected"
    virtual std::string Count() const = 0;
    virtual void End() = 0;
};

} // namespace zem
