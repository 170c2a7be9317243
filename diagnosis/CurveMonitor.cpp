#include "diagnosis/CurveMonitor.h"

#include "session/ChiaveStrumento.h"
#include "session/CollegamentoStrumento.h"
#include "link/Clock.h"


namespace zem {

namespace {

constexpr double kIntervalloStato = 0.3;
constexpr double kGiorno = 86400.0;

bool Curva(int tipo) { return tipo == 1 || tipo == 4; }

} // namespace

CurveMonitor::CurveMonitor(const LinkPlatform& platform)
    : platform_(platform),
      socket_(platform.createLinkSocket()),
      link_(platform.clock, platform.usb, platform.linkPump, *socket_)
{
    link_.PezzoCompletato = [this](int m) {
        Watched* w = Find(m);
        if (!w) return;
        link_.LeggiValori(m);
        w->next = Next::Completed;
    };
    link_.FineCurva = [this](int m, bool ok) {
        Watched* w = Find(m);
        if (!w || !w->pending) return;
        w->pending->curveEnded = true;
        w->pending->curveOk = ok;
    };
    // A poll that fails is not retried here: the container decides what to do.
    link_.ErroreComunicazione = [this](bool& retry) {
        retry = false;
        lost_ = true;
    };
}

CurveMonitor::~CurveMonitor() { Close(); }

std::optional<std::string> CurveMonitor::Open(const std::string& key)
{
    Close();
    const auto chiave = ChiaveStrumento::Leggi(key);
    if (!chiave || chiave->canale == ChiaveStrumento::Canale::MAC) return CollegamentoStrumento::ErroreChiave(key);
    std::optional<std::string> errore;
    if (!CollegamentoStrumento::ApriChiave(link_, *socket_, key)) {
        errore = CollegamentoStrumento::ErroreApertura(link_);
    } else if (const auto perche = CollegamentoStrumento::NonSupportato(link_)) {
        errore = perche;
    } else if (link_.UpdateMode() || link_.MemoryError()) {
        errore = "Curves are not possible in update mode.\r\nSetting and send profile first.";
    } else if (Measures().empty()) {
        errore = "The instrument has no force-position measure.";
    }
    if (errore) Close();
    return errore;
}

std::vector<int> CurveMonitor::Measures() const
{
    std::vector<int> out;
    for (int m = 1; m <= UCZEM2::kMisure; ++m)
        if (Curva(link_.TipoMisura(m))) out.push_back(m);
    return out;
}

CurveMonitor::Watched* CurveMonitor::Find(int measure)
{
    for (auto& w : watched_)
        if (w.measure == measure) return &w;
    return nullptr;
}

const CurveMonitor::Work& CurveMonitor::WorkOf(int measure) const
{
    static const Work kNone;
    for (const auto& w : watched_)
        if (w.measure == measure) return w.work;
    return kNone;
}

bool CurveMonitor::Start(const std::vector<int>& measures)
{
    Stop();
    if (measures.empty() || !link_.Collegato()) return false;
    std::vector<Watched> watched;
    for (const int m : measures) {
        if (!Curva(link_.TipoMisura(m)) || !link_.SelezionaMisura(m)) return false;
        Watched w;
        w.measure = m;
        // A piece of a measure still watched keeps coming.
        if (const Watched* before = Find(m)) w.pending = before->pending;
        watched.push_back(std::move(w));
    }
    watched_ = std::move(watched);
    lost_ = false;
    polls_ = 0;
    for (auto& w : watched_) ReadWork(w);
    link_.StartPolling();
    polling_ = true;
    lastStatus_ = platform_.clock.Timer();
    return true;
}

void CurveMonitor::Stop()
{
    polling_ = false;
    link_.StopPolling();
}

void CurveMonitor::Close()
{
    Stop();
    for (auto& w : watched_) {
        w.pending.reset();
        w.next = Next::Nothing;
    }
    // Closing also ends a download cut short: its piece never comes.
    if (link_.Collegato() || link_.InRicezione()) link_.ChiudiComunicazione();
}

// Results and curve stay those of the last piece until the next one is completed, even while it
// is in work and its results are not reported ready: both are read at once.
void CurveMonitor::CollectHeld(int measure)
{
    Watched* w = Find(measure);
    if (!polling_ || !w) return;
    w->next = Next::Held;
    StartNext();
}

// The operation the instrument runs is a work of a plain measure, a phase of a phase-managed one.
void CurveMonitor::ReadWork(Watched& w)
{
    const int m = w.measure;
    w.work = Work{};
    w.operation = link_.OperazioneCorrente(m);
    if (w.operation < 1) return;
    const bool fasi = link_.GestioneFasi(m);
    const int fase = fasi ? w.operation : 1;
    if (!link_.LeggiLavoro(m, fasi ? 1 : w.operation)) return;
    Work& work = w.work;
    work.read = true;
    work.number = w.operation;
    work.name = fasi ? link_.NomeFase(m, fase) : link_.NomeLavoro(m);
    for (int p = 1; p <= link_.PuntiBordoInferiore(m, fase); ++p)
        work.lower.push_back({link_.ForzaBordoInferiore(m, fase, p), link_.QuotaBordoInferiore(m, fase, p)});
    for (int p = 1; p <= link_.PuntiBordoSuperiore(m, fase); ++p)
        work.upper.push_back({link_.ForzaBordoSuperiore(m, fase, p), link_.QuotaBordoSuperiore(m, fase, p)});
    for (int k = 1; k <= link_.NumeroMassimoCheckPoint(); ++k) {
        const CheckPoint c{link_.CheckPointQuota(m, fase, k), link_.CheckPointForzaMinima(m, fase, k),
                           link_.CheckPointForzaMassima(m, fase, k)};
        if (c != CheckPoint{}) work.checkPoints.push_back(c);
    }
}

double CurveMonitor::Since(double then) const
{
    const double now = platform_.clock.Timer();
    return now >= then ? now - then : now + kGiorno - then;
}

void CurveMonitor::Tick()
{
    if (!link_.Collegato()) return;
    if (link_.TimerAquireUSB.Enabled) link_.TimerAquireUSB_Timer();
    if (link_.TimerAquireEth.Enabled) link_.TimerAquireEth_Timer();
    if (polling_ && !link_.InRicezione() && link_.TimerStatus.Enabled && Since(lastStatus_) >= kIntervalloStato) {
        lastStatus_ = platform_.clock.Timer();
        link_.TimerStatus_Timer();
        ++polls_;
    }
    StartNext();
    // By index: the container may start or close the watch from PieceDone.
    for (std::size_t i = 0; i < watched_.size(); ++i) {
        const Watched& w = watched_[i];
        if (w.pending && w.pending->curveEnded
            && (!link_.RisultatiRichiesti(w.measure) || Since(w.pending->since) >= kAttesaRisultati))
            Finish(watched_[i]);
    }
    if (lost_) {
        lost_ = false;
        Stop();
        if (LinkLost) LinkLost();
    }
}

// One curve at a time: the first measure with a piece to fetch, once the link is free.
void CurveMonitor::StartNext()
{
    if (!polling_ || lost_ || link_.InRicezione()) return;
    for (auto& w : watched_)
        if (w.next != Next::Nothing) return StartDownload(w.measure);
}

void CurveMonitor::StartDownload(int measure)
{
    Watched* w = Find(measure);
    const bool held = w->next == Next::Held;
    w->next = Next::Nothing;
    // A piece still waiting for its results goes out with what it has: the instrument keeps only
    // the last piece. The container hears of it and may have stopped the watch since.
    if (w->pending) {
        Finish(*w);
        w = Find(measure);
        if (!w || !polling_) return;
    }
    if (held) link_.LeggiRisultati(measure);
    w->pending = Pending{++pieces_, false, false, platform_.clock.Timer()};
    if (!link_.RichiediCurva(measure)) w->pending->curveEnded = true;
}

void CurveMonitor::Finish(Watched& w)
{
    const int m = w.measure;
    CompletedPiece piece;
    piece.number = w.pending->number;
    piece.measure = m;
    piece.positionDecimals = link_.Misura(m).decimaliQuota;
    piece.forceDecimals = link_.Misura(m).decimaliForza;
    piece.units = UnitaCurva::Di(link_.Misura(m));
    const int punti = static_cast<int>(link_.PuntiCurva(m).size());
    // An empty curve is as good as none: it is never shown as a curve.
    if (w.pending->curveOk && punti > 0) {
        piece.curve.emplace();
        piece.curve->reserve(static_cast<std::size_t>(punti));
        for (int p = 0; p < punti; ++p) piece.curve->push_back({link_.CurvaQuota(m, p), link_.CurvaForza(m, p)});
    }
    if (!link_.RisultatiRichiesti(m)) piece.results = link_.Risultati(m);
    w.pending.reset();
    // The technician may have changed the work on the instrument: its envelope is read again.
    if (const auto operazione = link_.LeggiOperazioneCorrente(m); operazione && *operazione != w.operation) ReadWork(w);
    if (PieceDone) PieceDone(piece);
}

} // namespace zem
