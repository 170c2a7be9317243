#include "record/Recorder.h"

#include "link/Clock.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace zem {

namespace {

constexpr double kGiorno = 86400.0;

std::string Secondi(double s) { return std::to_string(static_cast<long>(std::lround(s))) + " s"; }

} // namespace

struct Recorder::Measure {
    int measure = 0;
    PieceKeeper keeper;
    std::optional<CompletedPiece> held;    // came cut short as the line fell; decided once back
};

struct Recorder::Instrument {
    explicit Instrument(const LinkPlatform& platform) : monitor(platform) {}

    std::string key;
    CurveMonitor monitor;
    std::vector<Measure> measures;
    bool connected = false;
    bool lostNow = false;
    double lostAt = 0;
    double pause = kFirstPause;
    std::vector<CompletedPiece> arrived;   // in the tick under way
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
    const UCZEM2& link = w->monitor.Link();
    for (const int m : w->monitor.Measures())
        w->measures.push_back({m, PieceKeeper(store_, key, link.Nome(), m, link.TipoMisura(m)), std::nullopt});
    Instrument& i = *w;
    i.monitor.PieceDone = [&i](const CompletedPiece& p) { i.arrived.push_back(p); };
    i.monitor.LinkLost = [&i] { i.lostNow = true; };
    if (!Begin(i, false)) {
        i.monitor.Close();
        return "Communication error";
    }
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
// the last one can be recovered. All of this holds for each measure on its own.
bool Recorder::Begin(Instrument& w, bool afterFault)
{
    std::vector<int> measures;
    for (const auto& m : w.measures) measures.push_back(m.measure);
    if (!w.monitor.Start(measures)) return false;
    w.connected = true;
    w.heldCheck = afterFault ? HeldCheck::AfterFault : HeldCheck::AtStart;
    return true;
}

// Asked once the first status poll is done: a piece completed before it gives no completion of
// its own, one completed after it does.
void Recorder::CheckHeld(Instrument& w)
{
    const bool afterFault = w.heldCheck == HeldCheck::AfterFault;
    w.heldCheck = HeldCheck::Done;
    // One reading for every measure; unknown counts as waiting after a fault only.
    const auto waiting = w.monitor.Link().MascheraCurveDaTrattare();
    for (auto& m : w.measures) {
        if (waiting ? (*waiting & (1u << (m.measure - 1))) != 0 : afterFault) {
            m.held.reset();
            w.monitor.CollectHeld(m.measure);
        } else if (m.held) {
            const CompletedPiece held = *m.held;
            m.held.reset();
            Keep(w, held);
        }
    }
}

Recorder::Measure* Recorder::Find(Instrument& w, int measure)
{
    for (auto& m : w.measures)
        if (m.measure == measure) return &m;
    return nullptr;
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
            const bool lastOfMeasure = std::none_of(w->arrived.begin() + static_cast<std::ptrdiff_t>(n + 1), w->arrived.end(),
                                                    [&](const CompletedPiece& q) { return q.measure == p.measure; });
            Measure* m = Find(*w, p.measure);
            if (!m) continue;
            if (w->lostNow && lastOfMeasure && !whole) m->held = p;
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
    w.pause = kFirstPause;
    if (Notice) Notice(w.key, "Connected again.");
}

void Recorder::Keep(Instrument& w, const CompletedPiece& piece)
{
    Measure* m = Find(w, piece.measure);
    if (storeError_ || !m) return;
    bool added = false;
    if (!m->keeper.Keep(piece, w.monitor.WorkOf(piece.measure), wallClock_(), added)) {
        storeError_ = store_.Error();
        return;
    }
    if (w.connected) w.monitor.Link().ResetCurveDaTrattare(piece.measure);
    if (!added) return;
    ++recorded_;
    for (const auto& sink : sinks_) sink(*m->keeper.Last());
    if (PieceRecorded) PieceRecorded(*m->keeper.Last());
}

std::vector<Recorder::Count> Recorder::Counts() const
{
    std::vector<Count> out;
    for (const auto& w : instruments_)
        for (const auto& m : w->measures) {
            out.push_back(m.keeper.Count());
            out.back().connected = w->connected;
        }
    return out;
}

void Recorder::Close()
{
    for (auto& w : instruments_) {
        w->monitor.Close();
        w->connected = false;
    }
}

} // namespace zem
