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

// Watching the pieces of one press force-position or test-cylinder measure, as the curve window
// and `zemcli curve` do it: open and check the instrument, read the work it runs (envelope and
// check points), poll its status, and for each completed piece download its curve and read its
// results. The container calls Tick every kTickMs; polling and downloads happen only inside Tick,
// and Close (or the destructor) stops them and closes the link, whatever state they are in.
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
    // Selects the measure, reads its work and starts the status polling; false when the
    // instrument does not answer.
    bool Start(int measure);
    // Stops the polling; a download in progress still ends (and its piece still comes).
    void Stop();
    void Close();
    // Downloads the piece the instrument holds now as if it had just been completed: the
    // instrument keeps its last piece, and a watch that lost the link picks it up this way.
    void CollectHeld();
    bool Polling() const { return polling_; }
    // Status polls since Start: from the first on, a piece completed is told by PieceDone.
    int StatusPolls() const { return polls_; }
    int Measure() const { return measure_; }
    const Work& CurrentWork() const { return work_; }
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
    void ReadWork();
    void StartDownload();
    void Finish();
    double Since(double then) const;

    LinkPlatform platform_;
    std::unique_ptr<SocketControl> socket_;
    UCZEM2 link_;
    int measure_ = 0;
    int operation_ = -1;  // the operation whose work was read
    Work work_;
    bool polling_ = false;
    bool completed_ = false;
    int polls_ = 0;
    bool lost_ = false;
    std::optional<Pending> pending_;
    double lastStatus_ = 0;
    int pieces_ = 0;
};

} // namespace zem
