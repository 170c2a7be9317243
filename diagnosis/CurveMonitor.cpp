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
        if (m != measure_) return;
        link_.LeggiValori(m);
        completed_ = true;
    };
    link_.FineCurva = [this](int m, bool ok) {
        if (m != measure_ || !pending_) return;
        pending_->curveEnded = true;
        pending_->curveOk = ok;
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

bool CurveMonitor::Start(int measure)
{
    Stop();
    if (!Curva(link_.TipoMisura(measure)) || !link_.Collegato() || !link_.SelezionaMisura(measure)) return false;
    if (measure != measure_) pending_.reset();
    measure_ = measure;
    completed_ = lost_ = false;
    polls_ = 0;
    ReadWork();
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
    pending_.reset();
    completed_ = false;
    // Closing also ends a download cut short: its piece never comes.
    if (link_.Collegato() || link_.InRicezione()) link_.ChiudiComunicazione();
}

// Results and curve stay those of the last piece until the next one is completed, even while it
// is in work and its results are not reported ready: both are read at once.
void CurveMonitor::CollectHeld()
{
    if (!polling_ || link_.InRicezione()) return;
    link_.LeggiRisultati(measure_);
    StartDownload();
}

// The operation the instrument runs is a work of a plain measure, a phase of a phase-managed one.
void CurveMonitor::ReadWork()
{
    work_ = Work{};
    operation_ = link_.OperazioneCorrente(measure_);
    if (operation_ < 1) return;
    const bool fasi = link_.GestioneFasi(measure_);
    const int fase = fasi ? operation_ : 1;
    if (!link_.LeggiLavoro(measure_, fasi ? 1 : operation_)) return;
    work_.read = true;
    work_.number = operation_;
    work_.name = fasi ? link_.NomeFase(measure_, fase) : link_.NomeLavoro(measure_);
    for (int p = 1; p <= link_.PuntiBordoInferiore(measure_, fase); ++p)
        work_.lower.push_back({link_.ForzaBordoInferiore(measure_, fase, p), link_.QuotaBordoInferiore(measure_, fase, p)});
    for (int p = 1; p <= link_.PuntiBordoSuperiore(measure_, fase); ++p)
        work_.upper.push_back({link_.ForzaBordoSuperiore(measure_, fase, p), link_.QuotaBordoSuperiore(measure_, fase, p)});
    for (int k = 1; k <= link_.NumeroMassimoCheckPoint(); ++k) {
        const CheckPoint c{link_.CheckPointQuota(measure_, fase, k), link_.CheckPointForzaMinima(measure_, fase, k),
                           link_.CheckPointForzaMassima(measure_, fase, k)};
        if (c != CheckPoint{}) work_.checkPoints.push_back(c);
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
        if (completed_) StartDownload();
    }
    if (pending_ && pending_->curveEnded
        && (!link_.RisultatiRichiesti(measure_) || Since(pending_->since) >= kAttesaRisultati))
        Finish();
    if (lost_) {
        lost_ = false;
        Stop();
        if (LinkLost) LinkLost();
    }
}

void CurveMonitor::StartDownload()
{
    completed_ = false;
    // A piece still waiting for its results goes out with what it has: the instrument keeps only
    // the last piece.
    if (pending_) Finish();
    pending_ = Pending{++pieces_, false, false, platform_.clock.Timer()};
    if (!link_.RichiediCurva(measure_)) pending_->curveEnded = true;
}

void CurveMonitor::Finish()
{
    CompletedPiece piece;
    piece.number = pending_->number;
    piece.measure = measure_;
    piece.positionDecimals = link_.Misura(measure_).decimaliQuota;
    piece.forceDecimals = link_.Misura(measure_).decimaliForza;
    piece.units = UnitaCurva::Di(link_.Misura(measure_));
    const int punti = static_cast<int>(link_.PuntiCurva(measure_).size());
    // An empty curve is as good as none: it is never shown as a curve.
    if (pending_->curveOk && punti > 0) {
        piece.curve.emplace();
        piece.curve->reserve(static_cast<std::size_t>(punti));
        for (int p = 0; p < punti; ++p) piece.curve->push_back({link_.CurvaQuota(measure_, p), link_.CurvaForza(measure_, p)});
    }
    if (!link_.RisultatiRichiesti(measure_)) piece.results = link_.Risultati(measure_);
    pending_.reset();
    // The technician may have changed the work on the instrument: its envelope is read again.
    if (const auto operazione = link_.LeggiOperazioneCorrente(measure_); operazione && *operazione != operation_) ReadWork();
    if (PieceDone) PieceDone(piece);
}

} // namespace zem
