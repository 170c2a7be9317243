#include "diagnosis/FStatistics.h"

#include "diagnosis/CurveCsv.h"
#include "diagnosis/StatisticsPlots.h"
#include "profile/ScritturaAtomica.h"
#include "ui/Host.h"

namespace zem {

namespace {

std::string Numero(const std::optional<double>& v, int decimals)
{
    return v ? CurveCsv::Number(*v, decimals) : std::string("-");
}

std::string NomeMisura(const MeasureStatistics& m) { return m.instrument + ", measure " + std::to_string(m.measure); }

// A list filled again keeps the entry that was chosen, when it is still there; else the first.
void Scegli(ui::ComboBox& lista, const std::string& prima)
{
    int scelta = 0;
    for (int i = 0; i < lista.ListCount(); ++i)
        if (lista.List(i) == prima) scelta = i;
    lista.SetListIndex(scelta);
}

} // namespace

FStatistics::FStatistics(ui::Host& host, StatisticsSource& source)
    : Form(host, "FStatistics", "Statistics"),
      lblFile(*this, "lblFile"),
      lblMisura(*this, "lblMisura"),
      cboMisura(*this, "cboMisura"),
      lblDa(*this, "lblDa"),
      txtDa(*this, "txtDa"),
      lblFormatoDa(*this, "lblFormatoDa"),
      lblConteggi(*this, "lblConteggi"),
      lvwValori(*this, "lvwValori"),
      lblValore(*this, "lblValore"),
      cboValore(*this, "cboValore"),
      picIstogramma(*this, "picIstogramma"),
      picAndamento(*this, "picAndamento"),
      cmdAggiorna(*this, "cmdAggiorna"),
      cmdEsporta(*this, "cmdEsporta"),
      cmdChiudi(*this, "cmdChiudi"),
      source_(source)
{
    SetSize(12000, 9240);
    SetSizable(true);
    lblFile.Move(120, 120, 11640, 255);
    lblMisura.SetCaption("&Measure:");
    lblMisura.Move(120, 540, 900, 255);
    cboMisura.Move(1080, 480, 4800, 315);
    lblDa.SetCaption("&Since:");
    lblDa.Move(6120, 540, 720, 255);
    txtDa.Move(6900, 480, 1800, 315);
    txtDa.SetToolTipText("Only the pieces from then on: a UTC date or time (2026-12-01, 2026-12-01T08:00:00Z) or a span "
                         "back (90m, 24h, 7d); empty for every piece");
    lblFormatoDa.SetCaption("UTC date or time, or 24h, 7d");
    lblFormatoDa.Move(8820, 540, 2940, 255);
    lblConteggi.Move(120, 960, 11640, 255);
    lvwValori.Move(120, 1320, 11640, 1560);
    lvwValori.SetFullRowSelect(true);
    lblValore.SetCaption("&Value:");
    lblValore.Move(120, 3060, 900, 255);
    cboValore.Move(1080, 3000, 4800, 315);
    picIstogramma.Move(120, 3420, 5760, 5160);
    picAndamento.Move(6000, 3420, 5760, 5160);
    cmdAggiorna.SetCaption("&Refresh");
    cmdAggiorna.SetDefault(true);
    cmdAggiorna.Move(6480, 8700, 1680, 375);
    cmdEsporta.SetCaption("&Export CSV...");
    cmdEsporta.Move(8280, 8700, 1680, 375);
    cmdChiudi.SetCaption("&Close");
    cmdChiudi.SetCancel(true);
    cmdChiudi.Move(10080, 8700, 1680, 375);

    cboMisura.Click.Connect([this] { cboMisura_Click(); });
    cboValore.Click.Connect([this] { cboValore_Click(); });
    lvwValori.ItemClick.Connect([this](int item) { lvwValori_ItemClick(item); });
    cmdAggiorna.Click.Connect([this] { cmdAggiorna_Click(); });
    cmdEsporta.Click.Connect([this] { cmdEsporta_Click(); });
    cmdChiudi.Click.Connect([this] { cmdChiudi_Click(); });
}

bool FStatistics::LoadForm(std::string cartella)
{
    cartella_ = std::move(cartella);
    ui::FileDialogRequest r;
    r.kind = ui::FileDialogKind::Open;
    r.title = "Statistics of recorded pieces";
    r.filter = "Recorded pieces|*.db";
    r.defaultExtension = "db";
    r.initialFolder = cartella_;
    r.fileMustExist = true;
    const auto scelta = GetHost().ChooseFile(r);
    if (!scelta) return false;
    file_ = *scelta;
    if (const auto errore = Leggi()) {
        GetHost().MsgBox(*errore, ui::MsgButtons::OK, ui::MsgIcon::Exclamation);
        return false;
    }
    SetCaption("Statistics - " + file_);
    ShowModal();
    return true;
}

std::optional<std::string> FStatistics::Leggi()
{
    GetHost().SetBusy(true);
    auto errore = source_.Read(file_, txtDa.Text(), misure_);
    GetHost().SetBusy(false);
    return errore;
}

void FStatistics::Form_Load()
{
    CentreOnScreen();
    lblFile.SetCaption("File: " + file_);
    lvwValori.ClearColumns();
    lvwValori.AddColumn("Value", "VALUE", 2340);
    lvwValori.AddColumn("Unit", "UNIT", 660);
    lvwValori.AddColumn("Count", "COUNT", 900);
    for (const auto& [testo, chiave] : {std::pair{"Mean", "MEAN"}, {"SD", "SD"}, {"Min", "MIN"}, {"Max", "MAX"},
                                        {"Lower", "LOWER"}, {"Upper", "UPPER"}})
        lvwValori.AddColumn(testo, chiave, 1020);
    lvwValori.AddColumn("Cp", "CP", 780);
    lvwValori.AddColumn("Cpk", "CPK", 780);
    MostraMisure("");
}

const MeasureStatistics* FStatistics::Misura() const
{
    const int i = cboMisura.ItemData(cboMisura.ListIndex());
    if (cboMisura.ListIndex() < 0 || i < 0 || i >= static_cast<int>(misure_.size())) return nullptr;
    return &misure_[static_cast<std::size_t>(i)];
}

void FStatistics::MostraMisure(const std::string& errore)
{
    const std::string prima = cboMisura.Text();
    cboMisura.Clear();
    for (std::size_t i = 0; i < misure_.size(); ++i) {
        cboMisura.AddItem(NomeMisura(misure_[i]));
        cboMisura.SetItemData(cboMisura.ListCount() - 1, static_cast<int>(i));
    }
    cmdEsporta.SetEnabled(!misure_.empty());
    if (misure_.empty()) {
        Vuoti(!errore.empty() ? errore
              : txtDa.Text().empty() ? "No pieces are recorded in this file."
                                     : "No pieces are recorded since " + txtDa.Text() + ".");
        return;
    }
    Scegli(cboMisura, prima);
}

void FStatistics::Vuoti(const std::string& messaggio)
{
    lblConteggi.SetCaption(messaggio);
    lvwValori.ClearItems();
    cboValore.Clear();
    GraficiVuoti(messaggio);
}

void FStatistics::GraficiVuoti(const std::string& messaggio)
{
    StatisticsPlots::Empty(picIstogramma, messaggio);
    StatisticsPlots::Empty(picAndamento, messaggio);
}

void FStatistics::cboMisura_Click()
{
    const MeasureStatistics* m = Misura();
    if (!m) return;
    lblConteggi.SetCaption("Pieces: " + std::to_string(m->pieces) + "    Good: " + std::to_string(m->good) + "    Rejected: "
                           + std::to_string(m->rejected) + "    Reject rate: " + CurveCsv::Number(100 * m->rejectRate, 2) + " %");
    MostraValori();
}

void FStatistics::MostraValori()
{
    const MeasureStatistics& m = *Misura();
    const std::string prima = cboValore.Text();
    lvwValori.ClearItems();
    cboValore.Clear();
    for (const ValueStatistics& v : m.values) {
        const int i = lvwValori.AddItem(v.name);
        // Mean and spread carry one more decimal than the values they sum up.
        const std::string celle[] = {v.unit, std::to_string(v.count), CurveCsv::Number(v.mean, v.decimals + 1),
                                     CurveCsv::Number(v.sd, v.decimals + 1), CurveCsv::Number(v.min, v.decimals),
                                     CurveCsv::Number(v.max, v.decimals), Numero(v.lower, v.decimals),
                                     Numero(v.upper, v.decimals), Numero(v.cp, 2), Numero(v.cpk, 2)};
        for (int c = 0; c < static_cast<int>(std::size(celle)); ++c) lvwValori.SetItemText(i, c + 1, celle[c]);
        cboValore.AddItem(v.name);
    }
    if (m.values.empty()) return GraficiVuoti("The pieces of this measure have no result values.");
    Scegli(cboValore, prima);
}

void FStatistics::cboValore_Click()
{
    const MeasureStatistics* m = Misura();
    const int i = cboValore.ListIndex();
    if (!m || i < 0 || i >= static_cast<int>(m->values.size())) return;
    lvwValori.SetSelectedIndex(i);
    StatisticsPlots::Histogram(picIstogramma, m->values[static_cast<std::size_t>(i)]);
    StatisticsPlots::Trend(picAndamento, m->values[static_cast<std::size_t>(i)]);
}

void FStatistics::lvwValori_ItemClick(int item) { cboValore.SetListIndex(item); }

void FStatistics::cmdAggiorna_Click()
{
    const auto errore = Leggi();
    MostraMisure(errore.value_or(""));
    if (errore) GetHost().MsgBox(*errore, ui::MsgButtons::OK, ui::MsgIcon::Exclamation);
}

void FStatistics::cmdEsporta_Click()
{
    ui::FileDialogRequest r;
    r.kind = ui::FileDialogKind::Save;
    r.title = "Export statistics";
    r.filter = "CSV file|*.csv";
    r.defaultExtension = "csv";
    r.fileName = "statistics.csv";
    r.initialFolder = cartella_;
    r.overwritePrompt = true;
    const auto scelta = GetHost().ChooseFile(r);
    if (!scelta) return;
    if (const auto errore = ScritturaAtomica::Scrivi(*scelta, source_.Csv(misure_)))
        GetHost().MsgBox("Export failed.\r\n" + *scelta + "\r\n" + *errore, ui::MsgButtons::OK, ui::MsgIcon::Exclamation);
}

void FStatistics::cmdChiudi_Click() { Unload(); }

} // namespace zem
