#pragma once

#include "diagnosis/CompletedPiece.h"
#include "diagnosis/CurveMonitor.h"
#include "diagnosis/CurveRecording.h"
#include "link/LinkPlatform.h"
#include "ui/ComboBox.h"
#include "ui/CommandButton.h"
#include "ui/Form.h"
#include "ui/Label.h"
#include "ui/Plot.h"
#include "ui/Timer.h"

#include <deque>
#include <string>

namespace zem {

// The curve window: force against position of each piece a press force-position or
// test-cylinder measure completes, against the envelope and check points of the work the
// instrument runs, with the piece's results; the last pieces stay drawn, fainter. The window's
// own link polls the instrument only while the window is open and not paused.
class FCurve final : public ui::Form {
public:
    static constexpr std::size_t kCurveMostrate = 10;

    FCurve(ui::Host& host, const LinkPlatform& platform);

    // Opens and checks the instrument the key names, then shows the window; a message and false
    // when its curves cannot be watched.
    // `cartella`: where the export starts, the folder of the technician's profiles.
    bool LoadForm(const std::string& key, std::string cartella = {});
    // Where "Record..." keeps the pieces; without one the button is not there.
    void SetRecording(CurveRecording* recording) { recording_ = recording; }

    ui::Label lblMisura;
    ui::ComboBox cboMisura;
    ui::Label lblLavoro;
    ui::Plot picCurva;
    ui::Label lblRisultati;
    ui::CommandButton cmdPausa;
    ui::CommandButton cmdPulisci;
    ui::CommandButton cmdEsporta;
    ui::Label lblRegistrazione;
    ui::CommandButton cmdRegistra;
    ui::CommandButton cmdChiudi;
    ui::Timer TimerLink;

    // The pieces drawn, oldest first; the last is the one shown.
    const std::deque<CompletedPiece>& Pezzi() const { return pezzi_; }
    bool InPausa() const { return pausa_; }

protected:
    void Form_Load() override;
    void Form_Unload() override;

private:
    void cboMisura_Click();
    void cmdPausa_Click();
    void cmdPulisci_Click();
    void cmdEsporta_Click();
    void cmdRegistra_Click();
    void Registra(const CompletedPiece& piece);
    void FineRegistrazione(const std::string& stato);
    void cmdChiudi_Click();
    void TimerLink_Timer();

    void Avvia();
    void Pausa(bool pausa);
    void PezzoCompletato(const CompletedPiece& piece);
    void Disegna();
    void MostraRisultati();

    CurveMonitor monitor_;
    std::deque<CompletedPiece> pezzi_;
    bool pausa_ = false;
    std::string cartella_;
    std::string chiave_;
    CurveRecording* recording_ = nullptr;
    std::string registrazione_;  // the file being recorded into, empty when none is
    bool inTick_ = false;
};

} // namespace zem
