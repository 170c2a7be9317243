#pragma once

#include "ui/CheckBox.h"
#include "ui/ControlArray.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/Timer.h"
#include "ui/UserControl.h"

#include <string>

namespace zem {

class UCZEM2;

// The instrument's eight digital inputs and eight outputs, one row each with its function and the
// measures using it; ticking an output's box asks the window to force that output.
class dlgInOutTest final : public ui::UserControl {
public:
    static constexpr int kRighe = 8;
    // The panel keeps this size, in twips, placed this far from the left of its frame and below
    // the frame's caption.
    static constexpr int kLarghezza = 13000, kAltezza = 2650;
    static constexpr int kSinistra = 120, kAlto = 240;

    dlgInOutTest(ui::Form& owner, std::string name, ui::Frame& container);

    // Captions the rows from the link's configuration and starts the 400 ms refresh.
    void SetValue(UCZEM2& link);

    // The window reads both state words once; then the panel asks for each input and output.
    ui::Event<bool&> ReadStatus;
    ui::Event<int, bool&> GetInput;
    ui::Event<int, bool&> GetOutput;
    ui::Event<int> ToggleOutput;

    ui::Label lblIngressi;
    ui::Label lblUscite;
    ui::ControlArray<ui::Image> boxIngresso;
    ui::ControlArray<ui::Label> lblIngresso;
    ui::ControlArray<ui::Label> lblMisuraIngresso;
    ui::ControlArray<ui::Image> boxUscita;
    ui::ControlArray<ui::CheckBox> chkUscita;
    ui::ControlArray<ui::Label> lblMisuraUscita;
    ui::Timer Timer1;

private:
    void chkUscita_Click(int n);
    void Aggiorna();

    bool aggiornamento_ = false;
};

} // namespace zem
