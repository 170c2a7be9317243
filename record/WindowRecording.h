#pragma once

#include "diagnosis/CurveRecording.h"
#include "record/PieceKeeper.h"
#include "record/PieceStore.h"
#include "record/Recorder.h"

#include <functional>
#include <memory>

namespace zem {

// The curve window's recording: the pieces its own watch completes go through the recorder's
// keeper into the store the chosen file holds.
class WindowRecording final : public CurveRecording {
public:
    // Opens the store of a file; nullptr with the reason in `error` when it cannot be.
    using StoreOpener = std::function<std::unique_ptr<PieceStore>(const std::string& file, std::string& error)>;

    explicit WindowRecording(StoreOpener open, Recorder::WallClock wallClock = Recorder::SystemTimeMs);

    std::optional<std::string> Begin(const std::string& file, const std::string& key, const UCZEM2& link, int measure) override;
    std::optional<std::string> Keep(const CompletedPiece& piece, const CurveMonitor::Work& work) override;
    std::string Count() const override;
    void End() override;

private:
    StoreOpener open_;
    Recorder::WallClock wallClock_;
    std::unique_ptr<PieceStore> store_;
    std::optional<PieceKeeper> keeper_;
};

} // namespace zem
