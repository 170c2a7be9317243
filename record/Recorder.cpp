#include "record/Recorder.h"

#include "link/Clock.h"
#include "record/PieceOfCurve.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace zem {

namespace {

constexpr double kGiorno = 86400.0;

std::string Secondi(double s) { return std::to_string(static_cast<long>(std::lround(s))) + " s"; }

} // namespace

struct Recorder::Instrument {
    explicit Instrument(const LinkPlatform& platform) : monitor(platform) {}

    std::string key;
    std::size_t count = 0;  // its entry in counts_
    CurveMonitor monitor;
    int measure = 0;
    int type = 0;
    std::string name;
    std::int64_t counter = 0;
    bool connected = false;
    bool lostNow = false;
    double lostAt = 0;
    double pause = kFirstPause;
    std::vector<CompletedPiece> arrived;   // in the tick under way
    std::optional<CompletedPiece> held;    // came cut short as the line fell; decided once back
    std::optional<PieceRecord> last;
    HeldCheck heldCheck = HeldCheck::Done;
};

std::int64_t Recorder::SystemTimeMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

Recorder::Recorder(const LinkPlatform& platform, PieceStore& store, WallClock wallClock)
    : platform_(platform), store_(store), wallClock_(std::move(wallClock))
{
}

Recorder::~Recorder() { Close(); }

std::optional<std::string> Recorder::Watch(const std::string& key)
{
    auto w = std::make_unique<Instrument>(platform_);
    w->key = key;
    if (auto errore = w->monitor.Open(key)) return errore;
    w->measure = w->monitor.Measures().front();
    w->type = w->monitor.Link().TipoMisura(w->measure);
    w->name = w->monitor.Link().Nome();
    w->counter = store_.LastCounter(key, w->measure).value_or(0);
    Instrument& i = *w;
    i.monitor.PieceDone = [&i](const CompletedPiece& p) { i.arrived.push_back(p); };
    i.monitor.LinkLost = [&i] { i.lostNow = true; };
    if (!Begin(i, false)) {
        i.monitor.Close();
        return "Communication error";
    }
    i.count = counts_.size();
    counts_.push_back({key, i.measure, 0, 0, 0, {}, true});
    instruments_.push_back(std::move(w));
    return std::nullopt;
}

// The instrument keeps its last piece and flags its curve as waiting until we have kept it (the
// flag is reset after each piece is stored). So at the start a flagged piece is one the last run
// did not keep, and it is fetched now. After a line fault a flagged (or unknown) piece is fetched
// again; a piece cut short by the fault is kept as it came only when the instrument says nothing
// waits. A piece fetched twice (held and completed, or stored before the reset was lost) is
// recognised by its identity: a piece with the same verdict, results and curve as the last one
// kept is that piece again, since no two strokes give the same curve to the last bit. Pieces
// completed while the line was down and followed by another are gone from the instrument: only
// the last one can be recovered.
bool Recorder::Begin(Instrument& w, bool afterFault)
{
    if (!w.monitor.Start(w.measure)) return false;
    w.connected = true;
    w.heldCheck = afterFault ? HeldCheck::AfterFault : HeldCheck::AtStart;
    return true;
}

// Asked once the first status poll is done: a piece completed before it gives no completion of
// its own, one completed after it does.
void Recorder::CheckHeld(Instrument& w)
{
    const auto waiting = w.monitor.Link().LeggiCurveDaTrattare(w.measure);
    const bool afterFault = w.heldCheck == HeldCheck::AfterFault;
    w.heldCheck = HeldCheck::Done;
    if (waiting.value_or(afterFault)) {
        w.held.reset();
        w.monitor.CollectHeld();
    } else if (w.held) {
        Keep(w, *w.held);
        w.held.reset();
    }
}

double Recorder::Since(double then) const
{
    const double now = platform_.clock.Timer();
    return now >= then ? now - then : now + kGiorno - then;
}

void Recorder::Tick()
{
    for (auto& w : instruments_) {
        if (storeError_) return;
        if (!w->connected) {
            if (Since(w->lostAt) >= w->pause) Reconnect(*w);
            continue;
        }
        w->lostNow = false;
        w->arrived.clear();
        w->monitor.Tick();
        for (std::size_t n = 0; n < w->arrived.size(); ++n) {
            const CompletedPiece& p = w->arrived[n];
            const bool whole = p.curve && p.results;
            if (w->lostNow && n + 1 == w->arrived.size() && !whole) w->held = p;
            else Keep(*w, p);
        }
        if (w->lostNow) Lost(*w);
        else if (w->heldCheck != HeldCheck::Done && w->monitor.StatusPolls() > 0 && !w->monitor.Link().InRicezione())
            CheckHeld(*w);
    }
}

void Recorder::Lost(Instrument& w)
{
    w.monitor.Close();
    w.connected = false;
    counts_[w.count].connected = false;
    w.lostAt = platform_.clock.Timer();
    w.pause = kFirstPause;
    if (Notice) Notice(w.key, "The instrument does not answer; trying again in " + Secondi(w.pause) + ".");
}

void Recorder::Reconnect(Instrument& w)
{
    if (w.monitor.Open(w.key) || !Begin(w, true)) {
        w.monitor.Close();
        w.connected = false;
        w.lostAt = platform_.clock.Timer();
        w.pause = std::min(w.pause * 2, kMostPause);
        if (Notice) Notice(w.key, "The instrument still does not answer; trying again in " + Secondi(w.pause) + ".");
        return;
    }
    counts_[w.count].connected = true;
    w.pause = kFirstPause;
    if (Notice) Notice(w.key, "Connected again.");
}

void Recorder::Keep(Instrument& w, const CompletedPiece& piece)
{
    if (storeError_) return;
    PieceRecord r = PieceOfCurve(piece, w.monitor.CurrentWork(), {w.key, w.name, w.type, w.counter + 1, wallClock_()});
    bool added = false;
    if (!(w.last && SamePiece(r, *w.last))) {
        if (!store_.Add(r, added)) {
            storeError_ = store_.Error();
            return;
        }
    }
    if (w.connected) w.monitor.Link().ResetCurveDaTrattare(w.measure);
    if (!added) return;
    ++w.counter;
    ++recorded_;
    Count& c = counts_[w.count];
    ++(r.verdict == "good" ? c.good : r.verdict == "rejected" ? c.rejected : c.noResults);
    c.lastVerdict = r.verdict;
    for (const auto& sink : sinks_) sink(r);
    if (PieceRecorded) PieceRecorded(r);
    w.last = std::move(r);
}

void Recorder::Close()
{
    for (auto& w : instruments_) {
        w->monitor.Close();
        w->connected = false;
        counts_[w->count].connected = false;
    }
}

} // namespace zem
