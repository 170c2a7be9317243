#pragma once

#include "diagnosis/dlgCalAnalogZEM.h"
#include "diagnosis/dlgCalEncoderZEM.h"
#include "diagnosis/dlgInOutTest.h"
#include "diagnosis/dlgSerialDebugZEM.h"
#include "sim/SimulatedLink.h"
#include "ui/Form.h"
#include "ui/Frame.h"
#include "ui/ScriptedHost.h"

#include <gtest/gtest.h>

#include <cmath>

namespace zem::test {

// One panel of each kind on a small window, their events answered from the link to the simulated
// instrument in diagnostic mode, as the diagnosis window answers them; timers run on the fake clock.
class Panels : public ::testing::Test, public sim::SimulatedLink {
protected:
    struct Finestra : ui::Form {
        explicit Finestra(ui::Host& host) : Form(host, "FPannelli", "Panels") {}
        ui::Frame frmAnalog{*this, "frmAnalog"}, frmEncoder{*this, "frmEncoder"}, frmIO{*this, "frmIO"}, frmSerial{*this, "frmSerial"};
        dlgCalAnalogZEM analog{*this, "dlgCalAnalogZEM1", frmAnalog};
        dlgCalEncoderZEM encoder{*this, "dlgCalEncoderZEM1", frmEncoder};
        dlgInOutTest io{*this, "dlgInOutTest1", frmIO};
        dlgSerialDebugZEM serial{*this, "dlgSerialDebugZEM1", frmSerial};
    };

    void SetUp() override
    {
        f.analog.GetValue.Connect([this](std::int16_t& v, bool& ok) {
            if (const auto t = link.LeggiTrasduttori(); (ok = t.has_value())) v = potenziometro ? t->A3 : t->A1;
        });
        f.encoder.GetValue.Connect([this](std::int32_t& v, bool& ok) {
            if (const auto t = link.LeggiTrasduttori(); (ok = t.has_value())) v = t->L1;
        });
        f.io.ReadStatus.Connect([this](bool& ok) {
            if (const auto letti = link.LeggiIngressiUscite(); (ok = letti.has_value())) stato = *letti;
        });
        f.io.GetInput.Connect([this](int n, bool& on) {
            on = (stato.ingressi >> n & 1) != 0;
            if (n == 0 && cliccaDuranteAggiornamento) f.io.chkUscita[5].UserClick();
        });
        f.io.GetOutput.Connect([this](int n, bool& on) { on = (stato.uscite >> n & 1) != 0; });
        f.io.ToggleOutput.Connect([this](int n) { commutazioni += link.ForzaUscita(n, (stato.uscite >> n & 1) == 0); });
        f.serial.GetValue.Connect([this](dlgSerialDebugZEM::StatoSeriale& b, bool& ok) {
            ++richiesteSeriale;
            const auto letto = serialeRisponde ? link.LeggiStatoSeriale() : std::nullopt;
            if ((ok = letto.has_value())) b = *letto;
        });
        host.Track(f);
        host.OnClockAdvance([this](double s) { clock.Advance(s); });
        f.LoadWindow();
        Apri();
    }

    void Apri() { ASSERT_TRUE(link.ApriComunicazioneUSB(kSerial) && link.SetDiagnosticMode(true)); }

    // The next tick reads the press at this time of its stroke (seconds from the top).
    void LeggiA(double fase)
    {
        clock.Advance(std::fmod(fase - 0.4 - std::fmod(clock.Timer(), 2.0) + 4.0, 2.0));
        host.AdvanceTimers(400);
    }

    ui::ScriptedHost host;
    Finestra f{host};
    bool potenziometro = false, cliccaDuranteAggiornamento = false, serialeRisponde = true;
    IngressiUscite stato;
    int commutazioni = 0, richiesteSeriale = 0;
};

} // namespace zem::test
