#pragma once

#include "diagnosis/MeasureStatistics.h"
#include "diagnosis/StatisticsSource.h"
#include "ui/ComboBox.h"
#include "ui/CommandButton.h"
#include "ui/Form.h"
#include "ui/Label.h"
#include "ui/ListView.h"
#include "ui/Plot.h"
#include "ui/TextBox.h"

#include <optional>
#include <string>
#include <vector>

namespace zem {

// The statistics of a file of recorded pieces: per instrument and measure the counts and reject
// rate, per result value mean, spread, range, limits and capability, and for the chosen value its
// histogram and its trend in time order. "Refresh" reads the file again, which a recording may
// still be filling.
class FStatistics final : public ui::Form {
public:
    FStatistics(ui::Host& host, StatisticsSource& source);

    // Asks for the file, reads it and shows the window; a message and false when there is nothing
    // to show (no file chosen, or one whose statistics cannot be read).
    // `cartella`: where the dialogs start, the folder of the technician's profiles.
    bool LoadForm(std::string cartella = {});

    ui::Label lblFile;
    ui::Label lblMisura;
    ui::ComboBox cboMisura;
    ui::Label lblDa;
    ui::TextBox txtDa;
    ui::Label lblFormatoDa;
    ui::Label lblConteggi;
    ui::ListView lvwValori;
    ui::Label lblValore;
    ui::ComboBox cboValore;
    ui::Plot picIstogramma;
    ui::Plot picAndamento;
    ui::CommandButton cmdAggiorna;
    ui::CommandButton cmdEsporta;
    ui::CommandButton cmdChiudi;

protected:
    void Form_Load() override;

private:
    void cboMisura_Click();
    void cboValore_Click();
    void lvwValori_ItemClick(int item);
    void cmdAggiorna_Click();
    void cmdEsporta_Click();
    void cmdChiudi_Click();

    // Reads the file again; the message for the technician when it cannot be.
    std::optional<std::string> Leggi();
    // Fills the measure choice, keeping the one shown when it is still there.
    void MostraMisure(const std::string& errore);
    void MostraValori();
    void Vuoti(const std::string& messaggio);
    void GraficiVuoti(const std::string& messaggio);
    const MeasureStatistics* Misura() const;

    StatisticsSource& source_;
    std::string cartella_;
    std::string file_;
    std::vector<MeasureStatistics> misure_;
};

} // namespace zem
