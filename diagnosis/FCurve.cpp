#include "diagnosis/FCurve.h"

#include "diagnosis/CurveCsv.h"
#include "diagnosis/UnitaCurva.h"
#include "ui/Host.h"

#include <algorithm>
#include <cctype>

namespace zem {

namespace {

constexpr std::uint32_t kVerde = 0x2E7D32, kRosso = 0xC62828, kGrigio = 0x757575;
constexpr std::uint32_t kFascia = 0x1565C0, kCheckPoint = 0xEF6C00, kPicco = 0x000000;

std::uint32_t Colore(const CompletedPiece& p)
{
    return !p.results ? kGrigio : p.Good() ? kVerde : kRosso;
}

std::vector<ui::Plot::Point> Punti(const std::vector<PuntoFascia>& bordo)
{
    std::vector<ui::Plot::Point> out;
    for (const PuntoFascia& p : bordo) out.push_back({p.Quota, p.Forza});
    return out;
}

bool FinisceCon(std::string text, const std::string& tail)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

} // namespace

FCurve::FCurve(ui::Host& host, const LinkPlatform& platform)
    : Form(host, "FCurve", "Curves"),
      lblMisura(*this, "lblMisura"),
      cboMisura(*this, "cboMisura"),
      lblLavoro(*this, "lblLavoro"),
      picCurva(*this, "picCurva"),
      lblRisultati(*this, "lblRisultati"),
      cmdPausa(*this, "cmdPausa"),
      cmdPulisci(*this, "cmdPulisci"),
      cmdEsporta(*this, "cmdEsporta"),
      lblRegistrazione(*this, "lblRegistrazione"),
      cmdRegistra(*this, "cmdRegistra"),
      cmdChiudi(*this, "cmdChiudi"),
      TimerLink(*this, "TimerLink"),
      monitor_(platform)
{
    SetSize(10800, 8160);
    SetSizable(true);
    lblMisura.SetCaption("&Measure:");
    lblMisura.Move(120, 180, 900, 255);
    cboMisura.Move(1080, 120, 3000, 315);
    lblLavoro.Move(4320, 180, 6360, 255);
    picCurva.Move(120, 600, 7800, 7380);
    lblRisultati.Move(8040, 600, 2640, 4200);
    cmdPausa.SetCaption("&Pause");
    cmdPausa.Move(8040, 5760, 2640, 375);
    cmdPulisci.SetCaption("C&lear");
    cmdPulisci.Move(8040, 6240, 2640, 375);
    cmdEsporta.SetCaption("&Export...");
    cmdEsporta.Move(8040, 6720, 2640, 375);
    lblRegistrazione.Move(8040, 4860, 2640, 375);
    cmdRegistra.SetCaption("&Record...");
    cmdRegistra.Move(8040, 5280, 2640, 375);
    cmdChiudi.SetCaption("&Close");
    cmdChiudi.SetCancel(true);
    cmdChiudi.Move(8040, 7605, 2640, 375);
    TimerLink.SetInterval(CurveMonitor::kTickMs);
    TimerLink.SetEnabled(false);

    cboMisura.Click.Connect([this] { cboMisura_Click(); });
    cmdPausa.Click.Connect([this] { cmdPausa_Click(); });
    cmdPulisci.Click.Connect([this] { cmdPulisci_Click(); });
    cmdEsporta.Click.Connect([this] { cmdEsporta_Click(); });
    cmdRegistra.Click.Connect([this] { cmdRegistra_Click(); });
    cmdChiudi.Click.Connect([this] { cmdChiudi_Click(); });
    TimerLink.Elapsed.Connect([this] { TimerLink_Timer(); });
    monitor_.PieceDone = [this](const CompletedPiece& p) { PezzoCompletato(p); };
    monitor_.LinkLost = [this] {
        Pausa(true);
        GetHost().MsgBox("Communication error", ui::MsgButtons::OK, ui::MsgIcon::Critical);
    };
}

bool FCurve::LoadForm(const std::string& key, std::string cartella)
{
    cartella_ = std::move(cartella);
    chiave_ = key;
    // The selection window is gone from the screen, and the wait cursor shows, while the link opens.
    GetHost().SetBusy(true);
    GetHost().Refresh();
    const auto errore = monitor_.Open(key);
    GetHost().SetBusy(false);
    if (errore) {
        GetHost().MsgBox(*errore, ui::MsgButtons::OK, ui::MsgIcon::Critical);
        return false;
    }
    SetCaption("Curves - " + monitor_.Link().Nome());
    ShowModal();
    return true;
}

void FCurve::Form_Load()
{
    CentreOnScreen();
    picCurva.SetAxes({0, 1, "Position"}, {0, 1, "Force"});
    cboMisura.Clear();
    for (const int m : monitor_.Measures()) {
        cboMisura.AddItem(std::to_string(m) + " - " + monitor_.Link().NomeMisura(m));
        cboMisura.SetItemData(cboMisura.ListCount() - 1, m);
    }
    cmdRegistra.SetVisible(recording_ != nullptr);
    TimerLink.SetEnabled(true);
    cboMisura.SetListIndex(0);
}

void FCurve::Form_Unload()
{
    TimerLink.SetEnabled(false);
    monitor_.Close();
    FineRegistrazione("");
}

void FCurve::cboMisura_Click()
{
    pezzi_.clear();
    // The axes come from the new measure's envelope and pieces and units, not from the last measure's.
    const auto unita = UnitaCurva::Di(monitor_.Link().Misura(cboMisura.ItemData(cboMisura.ListIndex())));
    picCurva.SetAxes({0, 1, ConUnita("Position", unita.quota)}, {0, 1, ConUnita("Force", unita.forza)});
    // A recording goes on in the same file with the pieces of the new measure.
    if (!registrazione_.empty()) {
        if (const auto errore = recording_->Begin(registrazione_, chiave_, monitor_.Link(), cboMisura.ItemData(cboMisura.ListIndex()))) {
            FineRegistrazione("");
            GetHost().MsgBox(*errore, ui::MsgButtons::OK, ui::MsgIcon::Exclamation);
        }
    }
    Avvia();
}

void FCurve::Avvia()
{
    pausa_ = false;
    cmdPausa.SetCaption("&Pause");
    const int m = cboMisura.ItemData(cboMisura.ListIndex());
    if (!monitor_.Start(m)) {
        Pausa(true);
        GetHost().MsgBox("Communication error", ui::MsgButtons::OK, ui::MsgIcon::Critical);
    }
    const auto& w = monitor_.CurrentWork();
    // A work saved without a name still says which one runs.
    const std::string lavoro = w.name.empty() ? std::to_string(w.number) + " (no name)" : w.name;
    lblLavoro.SetCaption(w.read ? "Work: " + lavoro : "No work runs on the instrument: no envelope.");
    Disegna();
    MostraRisultati();
}

void FCurve::Pausa(bool pausa)
{
    pausa_ = pausa;
    cmdPausa.SetCaption(pausa ? "&Resume" : "&Pause");
    if (pausa) monitor_.Stop();
}

void FCurve::cmdPausa_Click()
{
    if (pausa_) Avvia();
    else Pausa(true);
}

void FCurve::cmdPulisci_Click()
{
    pezzi_.clear();
    Disegna();
    MostraRisultati();
}

void FCurve::cmdChiudi_Click() { Unload(); }

void FCurve::TimerLink_Timer()
{
    // A message box raised from inside a tick must not let the next tick into the link.
    if (inTick_) return;
    inTick_ = true;
    monitor_.Tick();
    inTick_ = false;
}

void FCurve::PezzoCompletato(const CompletedPiece& piece)
{
    Registra(piece);
    // The download that was running when the technician paused still ends, but is not shown.
    if (pausa_) return;
    pezzi_.push_back(piece);
    while (pezzi_.size() > kCurveMostrate) pezzi_.pop_front();
    Disegna();
    MostraRisultati();
}

void FCurve::Disegna()
{
    std::vector<ui::Plot::Series> serie;
    auto curva = [](const CompletedPiece& p, double opacita, int spessore, std::string legenda) {
        ui::Plot::Series s;
        s.legend = std::move(legenda);
        for (const auto& q : *p.curve) s.points.push_back({q.position, q.force});
        s.colour = Colore(p);
        s.opacity = opacita;
        s.width = spessore;
        return s;
    };
    for (std::size_t i = 0; i + 1 < pezzi_.size(); ++i)
        if (pezzi_[i].curve) serie.push_back(curva(pezzi_[i], 0.3, 1, "Earlier pieces"));
    const auto& w = monitor_.CurrentWork();
    for (const auto* bordo : {&w.lower, &w.upper})
        if (!bordo->empty()) serie.push_back({Punti(*bordo), ui::Plot::Style::Line, kFascia, 2, 1.0, "Envelope"});
    for (const CheckPoint& c : w.checkPoints)
        serie.push_back({{{c.Quota, c.ForzaMinima}, {c.Quota, c.ForzaMassima}}, ui::Plot::Style::Line, kCheckPoint, 4, 1.0, "Check points"});

    ui::Plot::Note banner, messaggio{"Waiting for the next piece...", kGrigio};
    if (!pezzi_.empty()) {
        const CompletedPiece& p = pezzi_.back();
        if (p.curve) serie.push_back(curva(p, 1.0, 2, "Piece " + std::to_string(p.number)));
        if (p.results) serie.push_back({{{p.results->QuotaPicco, p.results->ForzaPicco}}, ui::Plot::Style::Markers, kPicco, 9, 1.0, ""});
        std::string verdetto = p.Verdict();
        std::transform(verdetto.begin(), verdetto.end(), verdetto.begin(), [](unsigned char c) { return std::toupper(c); });
        banner = {verdetto, Colore(p)};
        messaggio = {p.curve ? "" : "no curve", kGrigio};
    }
    picCurva.SetSeries(std::move(serie));
    picCurva.ScaleToData();
    picCurva.SetBanner(banner);
    picCurva.SetMessage(messaggio);
}

void FCurve::MostraRisultati()
{
    if (pezzi_.empty()) {
        lblRisultati.SetCaption("");
        return;
    }
    const CompletedPiece& p = pezzi_.back();
    auto q = [&p](double v) { return CurveCsv::Number(v, p.positionDecimals); };
    auto f = [&p](double v) { return CurveCsv::Number(v, p.forceDecimals); };
    std::string t = "Piece " + std::to_string(p.number) + ": " + p.Verdict();
    if (!p.curve) t += "\r\nno curve";
    if (const auto& r = p.results) {
        t += "\r\nPeak: " + f(r->ForzaPicco) + " at " + q(r->QuotaPicco);
        t += "\r\nReject causes: " + std::to_string(r->CauseScarto);
        t += "\r\nCheck-point rejects: " + std::to_string(r->CauseScartoCheckPoint);
        const auto& punti = monitor_.CurrentWork().checkPoints;
        for (std::size_t k = 0; k < punti.size(); ++k) {
            const float forza = r->ForzeCheckPoint[std::min<std::size_t>(k + 1, RisultatiMisura::kCheckPoint)];
            const bool fuori = (r->CauseScartoCheckPoint & (1 << k)) != 0;
            t += "\r\nCheck point " + std::to_string(k + 1) + " at " + q(punti[k].Quota) + ": " + f(forza) + " ("
                + f(punti[k].ForzaMinima) + " - " + f(punti[k].ForzaMassima) + ")" + (fuori ? " rejected" : "");
        }
    }
    lblRisultati.SetCaption(t);
}

void FCurve::cmdEsporta_Click()
{
    if (pezzi_.empty()) {
        GetHost().MsgBox("There is no curve to export.", ui::MsgButtons::OK, ui::MsgIcon::Information);
        return;
    }
    const CompletedPiece& p = pezzi_.back();
    ui::FileDialogRequest r;
    r.kind = ui::FileDialogKind::Save;
    r.title = "Export curve";
    r.filter = "CSV file|*.csv|PNG picture|*.png";
    r.defaultExtension = "csv";
    r.fileName = "curve-" + std::to_string(p.number) + ".csv";
    r.initialFolder = cartella_;
    r.overwritePrompt = true;
    const auto scelta = GetHost().ChooseFile(r);
    if (!scelta) return;
    std::optional<std::string> errore;
    if (FinisceCon(*scelta, ".png")) {
        if (!GetHost().SavePlotPicture(picCurva, *scelta)) errore = "";
    } else {
        errore = CurveCsv::Write(*scelta, p);
    }
    if (errore)
        GetHost().MsgBox("Export failed.\r\n" + *scelta + (errore->empty() ? "" : "\r\n" + *errore), ui::MsgButtons::OK,
                         ui::MsgIcon::Exclamation);
}

void FCurve::cmdRegistra_Click()
{
    if (!registrazione_.empty()) {
        FineRegistrazione("Recorded " + recording_->Count());
        return;
    }
    ui::FileDialogRequest r;
    r.kind = ui::FileDialogKind::Save;
    r.title = "Record pieces";
    r.filter = "Recorded pieces|*.db";
    r.defaultExtension = "db";
    r.fileName = "pieces.db";
    r.initialFolder = cartella_;
    // A file that holds pieces already goes on with them: their counters continue.
    r.overwritePrompt = false;
    const auto scelta = GetHost().ChooseFile(r);
    if (!scelta) return;
    if (const auto errore = recording_->Begin(*scelta, chiave_, monitor_.Link(), monitor_.Measure())) {
        GetHost().MsgBox(*errore, ui::MsgButtons::OK, ui::MsgIcon::Exclamation);
        return;
    }
    registrazione_ = *scelta;
    cmdRegistra.SetCaption("Stop &recording");
    lblRegistrazione.SetCaption("Recording: " + recording_->Count());
}

void FCurve::Registra(const CompletedPiece& piece)
{
    if (registrazione_.empty()) return;
    if (const auto errore = recording_->Keep(piece, monitor_.CurrentWork())) {
        FineRegistrazione("Recording stopped");
        GetHost().MsgBox(*errore, ui::MsgButtons::OK, ui::MsgIcon::Critical);
        return;
    }
    lblRegistrazione.SetCaption("Recording: " + recording_->Count());
}

void FCurve::FineRegistrazione(const std::string& stato)
{
    if (registrazione_.empty()) return;
    recording_->End();
    registrazione_.clear();
    cmdRegistra.SetCaption("&Record...");
    lblRegistrazione.SetCaption(stato);
}

} // namespace zem
