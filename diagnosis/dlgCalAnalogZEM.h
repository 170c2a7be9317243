#pragma once

#include "ui/CheckBox.h"
#include "ui/ComboBox.h"
#include "ui/CommandButton.h"
#include "ui/Label.h"
#include "ui/TextBox.h"
#include "ui/Timer.h"
#include "ui/UserControl.h"

#include <cstdint>
#include <string>

namespace zem {

class UCZEM2;
struct Trasduttori;

// Calibration of one analog input: the load cell input or the potentiometer (0-10 V) input of
// channel 1 or 2. It shows the live raw reading and the value the gain and offset being edited
// would give; the window reads the edited values back and writes them into the instrument.
class dlgCalAnalogZEM final : public ui::UserControl {
public:
    // Unit codes as the link stores them.
    static constexpr std::int32_t kDaN = 0, kMm = 1, kKN = 3;
    // How the window's measures use the input: not by a press or test-cylinder measure, as its
    // position, as its force.
    static constexpr int kNonUsato = 0, kPosizione = 1, kForza = 2;

    dlgCalAnalogZEM(ui::Form& owner, std::string name, ui::Frame& container);

    // Fills the panel from the link's calibration table, clears the modified flag and starts the
    // 400 ms live display.
    void SetValue(UCZEM2& link, int canale, bool potenziometro, int uso);

    float Gain() const;
    // The typed offset to the nearest integer, halves to even; a value beyond 16 bits stays as it
    // is so that the link refuses it rather than storing something else.
    std::int32_t Offset() const;
    std::int32_t UM() const;
    // The position chosen in the list; with none (the instrument holds a value the list does not
    // offer) the stored value, so that writing keeps it.
    std::int16_t Decimali() const;
    bool Reverse() const { return opReverse.Checked(); }
    bool Modificato() const { return modificato_; }

    // The current raw reading (0..4095) of the panel's input; ok false when none could be read.
    ui::Event<std::int16_t&, bool&> GetValue;

    ui::Label lblGain;
    ui::TextBox txtGain;
    ui::Label lblOffset;
    ui::TextBox txtOffset;
    ui::CommandButton cmdCalcOffset;
    ui::Label lblUM;
    ui::ComboBox lstUM;
    ui::Label lblDecimali;
    ui::ComboBox lstDecimali;
    ui::CheckBox opReverse;
    ui::Label lblTitoloADC;
    ui::Label lblADC;
    ui::Label lblTitoloValore;
    ui::Label lblValore;
    ui::Timer Timer1;

private:
    void Timer1_Timer();
    void cmdCalcOffset_Click();
    void Modifica() { modificato_ = true; }
    // Whether readings are shown the other way from what the instrument applies now.
    bool Invertito() const;
    // The panel's input in a transducer reading.
    std::int16_t Lettura(const Trasduttori& t) const;

    UCZEM2* link_ = nullptr;
    int canale_ = 1;
    bool potenziometro_ = false;
    int uso_ = kNonUsato;
    std::int16_t decimaliMemorizzati_ = 0;
    bool modificato_ = false;
};

} // namespace zem
