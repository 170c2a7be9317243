#pragma once

#include "diagnosis/CurveMonitor.h"
#include "link/LinkPlatform.h"
#include "record/PieceKeeper.h"
#include "record/PieceRecord.h"
#include "record/PieceStore.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zem {

// Records the completed pieces of one or several instruments: every press force-position and
// test-cylinder measure of each instrument is watched through the curve download (one link per
// instrument), and every piece becomes a PieceRecord that goes to the store and then to the sinks. The host calls Tick every
// kTickMs; an instrument that stops answering is opened again with a growing pause, at most
// kMostPause seconds, and the host is told.
class Recorder {
public:
    static constexpr int kTickMs = CurveMonitor::kTickMs;
    static constexpr double kFirstPause = 1.0;
    static constexpr double kMostPause = 10.0;

    // Milliseconds since 1970-01-01 UTC; the system clock unless a test gives its own.
    using WallClock = std::function<std::int64_t()>;
    static std::int64_t SystemTimeMs();

    using Count = PieceCount;

    Recorder(const LinkPlatform& platform, PieceStore& store, WallClock wallClock = SystemTimeMs);
    ~Recorder();
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    // Opens the instrument and starts watching it; the technician's message when it cannot be.
    std::optional<std::string> Watch(const std::string& key);
    void AddSink(PieceSink sink) { sinks_.push_back(std::move(sink)); }

    void Tick();
    // Stops every watch and closes the links; the instruments are left out of polling.
    void Close();

    // One per watched measure, instrument by instrument.
    std::vector<Count> Counts() const;
    int Recorded() const { return recorded_; }
    // Set once the store failed; nothing is recorded after that.
    const std::optional<std::string>& StoreError() const { return storeError_; }

    // A line lost or found again, for the host to show: the instrument key and the text.
    std::function<void(const std::string& key, const std::string& text)> Notice;
    // Each piece once stored.
    std::function<void(const PieceRecord&)> PieceRecorded;

private:
    struct Instrument;
    struct Measure;
    enum class HeldCheck { Done, AtStart, AfterFault };
    bool Begin(Instrument& w, bool afterFault);
    void CheckHeld(Instrument& w);
    void Lost(Instrument& w);
    void Reconnect(Instrument& w);
    void Keep(Instrument& w, const CompletedPiece& piece);
    static Measure* Find(Instrument& w, int measure);
    double Since(double then) const;

    LinkPlatform platform_;
    PieceStore& store_;
    WallClock wallClock_;
    std::vector<PieceSink> sinks_;
    std::vector<std::unique_ptr<Instrument>> instruments_;
    int recorded_ = 0;
    std::optional<std::string> storeError_;
};

} // namespace zem
