#pragma once

#include "diagnosis/CompletedPiece.h"
#include "link/LavoroMisura.h"
#include "link/LinkPlatform.h"
#include "link/UCZEM2.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zem {

// Watching the pieces of press force-position or test-cylinder measures, as the curve window and
// `zemcli curve` do it for one and the recorder for all of an instrument's: open and check the
// instrument, read the work each measure runs (envelope and check points), poll its status, and
// for each completed piece download its curve and read its results. One status request covers
// every measure; the curves come one at a time, so pieces completed together are fetched in
// measure order. The container calls Tick every kTickMs; polling and downloads happen only inside
// Tick, and Close (or the destructor) stops them and closes the link, whatever state they are in.
class CurveMonitor {
public:
    static constexpr int kTickMs = 50;
    // How long results may come after the curve before the piece goes out without them.
    static constexpr double kAttesaRisultati = 1.5;

    // The work the pieces are checked against, in engineering units.
    struct Work {
        bool read = false;  // false: the instrument runs no work, or it could not be read
        std::string name;
        int number = 0;     // of the work, or of the phase
        std::vector<PuntoFascia> lower, upper;
        std::vector<CheckPoint> checkPoints;
    };

    explicit CurveMonitor(const LinkPlatform& platform);
    ~CurveMonitor();
    CurveMonitor(const CurveMonitor&) = delete;
    CurveMonitor& operator=(const CurveMonitor&) = delete;

    // Opens the link to the instrument the key names and checks that its curves can be watched;
    // the message for the technician when they cannot (the link is then closed).
    std::optional<std::string> Open(const std::string& key);
    // Measures of type 1 or 4, in order.
    std::vector<int> Measures() const;
    // Selects the measures, reads their works and starts the status polling; false when the
    // instrument does not answer or a measure gives no curves.
    bool Start(int measure) { return Start(std::vector<int>{measure}); }
    bool Start(const std::vector<int>& measures);
    // Stops the polling; a download in progress still ends (and its piece still comes).
    void Stop();
    void Close();
    // Downloads the piece the instrument holds now for the measure as if it had just been
    // completed (after any download under way): the instrument keeps its last piece, and a watch
    // that lost the link picks it up this way.
    void CollectHeld(int measure);
    bool Polling() const { return polling_; }
    // Status polls since Start: from the first on, a piece completed is told by PieceDone.
    int StatusPolls() const { return polls_; }
    // The first measure watched, and its work.
    int Measure() const { return watched_.empty() ? 0 : watched_.front().measure; }
    const Work& CurrentWork() const { return WorkOf(Measure()); }
    // The work of a watched measure; an unread work for any other.
    const Work& WorkOf(int measure) const;
    UCZEM2& Link() { return link_; }

    void Tick();

    std::function<void(const CompletedPiece&)> PieceDone;
    // The instrument stopped answering the status polling, which has stopped.
    std::function<void()> LinkLost;

private:
    struct Pending {
        int number = 0;
        bool curveEnded = false;
        bool curveOk = false;
        double since = 0;
    };
    // What is to be fetched of a measure next: nothing, the piece just completed, the piece held.
    enum class Next { Nothing, Completed, Held };
    struct Watched {
        int measure = 0;
        int operation = -1;  // whose work was read
        Work work;
        Next next = Next::Nothing;
        std::optional<Pending> pending;
    };
    Watched* Find(int measure);
    void ReadWork(Watched& w);
    void StartNext();
    void StartDownload(int measure);
    void Finish(Watched& w);
    double Since(double then) const;

    LinkPlatform platform_;
    std::unique_ptr<SocketControl> socket_;
    UCZEM2 link_;
    std::vector<Watched> watched_;
    bool polling_ = false;
    int polls_ = 0;
    bool lost_ = false;
    double lastStatus_ = 0;
    int pieces_ = 0;
};

} // namespace zem
