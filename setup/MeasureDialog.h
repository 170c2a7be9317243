#pragma once

#include "ui/Form.h"

#include <functional>
#include <string>

namespace zem {

class ProfiloZem;

namespace ui {
class CheckBox;
class CommandButton;
class Label;
class ListControl;
class TextBox;
}

// What the dialogs of one measure share: the profile they edit in place, the measure (1..6), the
// caption made of the measure's name, the changed flag every click and text change sets, and OK
// storing only when something changed.
class MeasureDialog : public ui::Form {
public:
    // Shows the dialog for measure `misura` of `profilo`; true after a successful OK. A measure
    // outside 1..6 throws std::out_of_range before anything is shown.
    bool ShowForm(int misura, ProfiloZem& profilo);

protected:
    // `suffisso` follows the measure's name in the caption: " - Press mode setup".
    MeasureDialog(ui::Host& host, std::string name, std::string caption, std::string suffisso);

    ProfiloZem& Profilo() const { return *profilo_; }
    int Misura() const { return misura_; }
    // The control's edits set the changed flag; a text box also selects its text on focus.
    void Osserva(ui::CheckBox& casella);
    void Osserva(ui::ListControl& lista);
    void Osserva(ui::TextBox& testo);

    // Lays out a labelled row at `top` and moves `top` to the next row.
    static void Riga(ui::Label& etichetta, const char* testo, ui::Control& controllo, int larghezza, int& top);
    // Lays out and wires the buttons of a measure dialog along the row at `top`, and sizes the
    // dialog to hold them; `inOut` opens the measure's input and output dialog.
    void Pulsanti(int top, ui::CommandButton& cmdSetupInOut, std::function<void()> inOut,
                  ui::CommandButton& cmdSetupOperazioni, ui::CommandButton& cmdOK, ui::CommandButton& cmdCancel);

    // Fills the controls from the profile; the changed flag is cleared afterwards, so what the
    // loading itself set does not count as an edit.
    virtual void Carica() = 0;
    // Stores the controls into the profile; false, with nothing stored and the technician told,
    // when a typed value does not fit its field.
    virtual bool Salva() = 0;

    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdSetupOperazioni_Click();

private:
    void Form_Load() final;

    std::string suffisso_;
    ProfiloZem* profilo_ = nullptr;
    int misura_ = 1;
    bool cambiato_ = false;
};

} // namespace zem
