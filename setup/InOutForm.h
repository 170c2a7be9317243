#pragma once

#include "setup/MeasureDialog.h"
#include "ui/ComboBox.h"
#include "ui/CommandButton.h"
#include "ui/Frame.h"
#include "ui/Label.h"

#include <memory>
#include <span>
#include <vector>

namespace zem {

// The input and output assignment of one measure: a list per function the dialog shows, each
// offering "None" and the physical numbers "0" to "7" (the position is the stored value). A save
// clears every assignment of the measure first, so the functions a dialog does not show (left
// from another measure type) go; two functions on one input are left for the profile to report.
class InOutForm : public MeasureDialog {
public:
    // A row: the design caption of its label and the function it assigns.
    struct Riga {
        const char* etichetta;
        int funzione;
    };

protected:
    InOutForm(ui::Host& host, std::string name, std::span<const Riga> ingressi, std::span<const Riga> uscite);

private:
    // A label and its list, built in that order so the label's access key reaches the list.
    struct Voce {
        Voce(ui::Form& form, const char* tipo, ui::Frame& cornice, int indice, const Riga& riga);
        ui::Label etichetta;
        ui::ComboBox lista;
        int funzione;
    };
    using Voci = std::vector<std::unique_ptr<Voce>>;

    Voci Costruisci(const char* tipo, ui::Frame& cornice, std::span<const Riga> righe);
    void Carica() override;
    bool Salva() override;

    ui::Frame fraInput;
    Voci ingressi_;
    ui::Frame fraOutput;
    Voci uscite_;
    ui::CommandButton cmdOK;
    ui::CommandButton cmdCancel;
};

} // namespace zem
