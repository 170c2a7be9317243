#pragma once

#include "ui/ComboBox.h"
#include "ui/Label.h"
#include "ui/TextBox.h"
#include "ui/Timer.h"
#include "ui/UserControl.h"

#include <cstdint>
#include <string>

namespace zem {

class UCZEM2;

// Calibration of the encoder counter input of channel 1 or 2: the live count and the position
// the gain and offset being edited would give, in millimetres with two decimals.
class dlgCalEncoderZEM final : public ui::UserControl {
public:
    dlgCalEncoderZEM(ui::Form& owner, std::string name, ui::Frame& container);

    // Fills the panel from the link's calibration table, clears the modified flag and starts the
    // 400 ms live display.
    void SetValue(UCZEM2& link, int canale);

    float Gain() const;
    // As the analog panel's: beyond 16 bits the value stays for the link to refuse.
    std::int32_t Offset() const;
    std::int32_t UM() const { return 1; }
    std::int16_t Decimali() const;
    bool Modificato() const { return modificato_; }

    // The current count of the panel's encoder; ok false when none could be read.
    ui::Event<std::int32_t&, bool&> GetValue;

    ui::Label lblGain;
    ui::TextBox txtGain;
    ui::Label lblOffset;
    ui::TextBox txtOffset;
    ui::Label lblUM;
    ui::ComboBox lstUM;
    ui::Label lblDecimali;
    ui::ComboBox lstDecimali;
    ui::Label lblADC;
    ui::TextBox txtADC;
    ui::Label lblValore;
    ui::TextBox txtValore;
    ui::Timer Timer1;

private:
    void Timer1_Timer();
    void Modifica() { modificato_ = true; }

    bool modificato_ = false;
};

} // namespace zem
