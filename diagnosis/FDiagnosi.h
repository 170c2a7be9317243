#pragma once

#include "diagnosis/DiagnosticSession.h"
#include "diagnosis/dlgCalAnalogZEM.h"
#include "diagnosis/dlgCalEncoderZEM.h"
#include "diagnosis/dlgInOutTest.h"
#include "diagnosis/dlgSerialDebugZEM.h"
#include "link/LinkPlatform.h"
#include "ui/CommandButton.h"
#include "ui/ControlArray.h"
#include "ui/Form.h"
#include "ui/Frame.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/TabStrip.h"
#include "ui/Timer.h"

#include <array>
#include <bitset>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace zem {

class PasswordGate;

// The diagnosis of one instrument: firmware versions and measures, live inputs and outputs,
// transducer readings and the serial line, forcing outputs and writing the transducer
// calibrations. A tick after the window appears opens the instrument, blocks it and switches it
// into diagnostic mode; outputs can be forced and calibrations written only once that start-up
// has completed. However the window closes, diagnostic mode is left and the link closed.
class FDiagnosi final : public ui::Form {
public:
    // Tabs of TabStrip1, 0-based.
    enum Scheda { kInfo, kInOut, kCella1, kEncoder1, kPot1, kCella2, kEncoder2, kPot2, kSeriale, kSchede };

    // `indicatore`: the main window's transfer indicator, shown while the calibrations are written.
    FDiagnosi(ui::Host& host, const LinkPlatform& platform, PasswordGate& gate,
              std::function<void(bool)> indicatore = {});

    // After the caution prompt, shows the window for the instrument of the key text; false (and
    // "Communication error") for a key that names no instrument.
    bool ShowForm(const std::string& chiave);

    // The start-up has completed: the instrument is blocked, in diagnostic mode, the panels filled.
    bool Avviata() const { return avviata_; }
    const UCZEM2& Link() const { return sessione_.Link(); }
    // How the measures use transducer codes 0..7: 0 not by a press or test-cylinder measure,
    // 1 as position, 2 as force.
    const std::array<int, 8>& Utilizzo() const { return utilizzo_; }

    ui::TabStrip TabStrip1;
    ui::Frame frmMeasureInfo;
    ui::Label lblMisure;
    ui::Frame frmMainInfo;
    ui::ControlArray<ui::Label> lblTitoloVersione;
    ui::Label lblVersioneCPU;
    ui::Label lblVersioneEnco;
    ui::Label lblVersioneADC;
    ui::Label lblProtocollo;
    ui::Frame frmInOut;
    ui::Frame frmCalibraLoad1;
    ui::Frame frmCalibraEncoder1;
    ui::Frame frmCalibraPot1;
    ui::Frame frmCalibraLoad2;
    ui::Frame frmCalibraEncoder2;
    ui::Frame frmCalibraPot2;
    ui::Frame frmSerialDebug;
    dlgInOutTest dlgInOutTest1;
    dlgCalAnalogZEM dlgCalAnalogZEM1C;
    dlgCalEncoderZEM dlgCalEncoderZEM1;
    dlgCalAnalogZEM dlgCalAnalogZEM1P;
    dlgCalAnalogZEM dlgCalAnalogZEM2C;
    dlgCalEncoderZEM dlgCalEncoderZEM2;
    dlgCalAnalogZEM dlgCalAnalogZEM2P;
    dlgSerialDebugZEM dlgSerialDebugZEM1;
    ui::Image Image1;
    ui::Label lblAbilitato;
    ui::CommandButton cmdWrite;
    ui::CommandButton cmdOK;
    ui::Timer Timer1;

protected:
    void Form_Load() override;
    bool Form_QueryUnload(ui::UnloadMode mode) override;
    void Form_Unload() override;

private:
    void Timer1_Timer();
    void TabStrip1_Click();
    void cmdWrite_Click();
    void cmdOK_Click();
    void dlgInOutTest1_ReadStatus(bool& ok);
    void dlgInOutTest1_GetInput(int n, bool& stato);
    void dlgInOutTest1_GetOutput(int n, bool& stato);
    void dlgInOutTest1_ToggleOutput(int n);
    void dlgSerialDebugZEM1_GetValue(dlgSerialDebugZEM::StatoSeriale& buffer, bool& ok);
    void dlgCalAnalogZEM1C_GetValue(std::int16_t& valore, bool& ok);
    void dlgCalAnalogZEM1P_GetValue(std::int16_t& valore, bool& ok);
    void dlgCalAnalogZEM2C_GetValue(std::int16_t& valore, bool& ok);
    void dlgCalAnalogZEM2P_GetValue(std::int16_t& valore, bool& ok);
    void dlgCalEncoderZEM1_GetValue(std::int32_t& valore, bool& ok);
    void dlgCalEncoderZEM2_GetValue(std::int32_t& valore, bool& ok);
    // One transducer of the readings the calibration panels ask for.
    template <class T>
    void Trasduttore(int pannello, T Trasduttori::*campo, T& valore, bool& ok);
    // One reading of the transducers serves every panel's tick: a panel asking twice means the
    // next tick has begun.
    std::optional<Trasduttori> lettura_;
    std::bitset<6> serviti_;

    void MostraVersioni();
    void DidascalieIngressi();
    void ElencoMisure();
    void InizializzaPannelli();
    // Copies the six panels into the link's calibration table; the reason, when a value typed
    // cannot be stored, and then nothing is copied.
    std::optional<std::string> CopiaTaratura();

    DiagnosticSession sessione_;
    PasswordGate& gate_;
    std::function<void(bool)> indicatore_;
    std::array<ui::Frame*, kSchede> frames_;
    std::string chiave_;
    std::array<int, 8> utilizzo_{};
    IngressiUscite ingressiUscite_{};
    bool avviata_ = false;
};

} // namespace zem
