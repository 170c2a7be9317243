#pragma once

#include "ui/CommandButton.h"
#include "ui/Form.h"
#include "ui/Label.h"
#include "ui/RichTextBox.h"
#include "ui/TextBox.h"

#include <cstdint>
#include <string>

namespace zem {

class SettingsStore;

// The serial-number register window: shows the register for editing and, for a program code
// other than 0, proposes the next serial number and the instrument name to program. The
// programming's line is committed by Registra before the EEPROM is programmed, the counter by
// Conferma once the EEPROM took the number.
class FListaSN final : public ui::Form {
public:
    // The name proposed for every program code.
    static constexpr const char* kUtenteFabbrica = "Magazzino Verolux";

    // `vecchiaCartella`: where earlier versions kept the register, beside the program.
    FListaSN(ui::Host& host, SettingsStore& settings, std::string vecchiaCartella);

    // Shows the window modally for `codice` (0: the register only). True when a programming was
    // requested; `descrizione` and `seriale` then hold the instrument name and serial number.
    bool Load(std::uint16_t codice, std::string& descrizione, std::string& seriale);
    // Before the EEPROM is programmed: appends the register line and saves the register, so no
    // serial number leaves unrecorded. False, with a critical message and the line taken out
    // again, when the register cannot be saved.
    bool Registra();
    // The EEPROM did not take the number: the line comes out of the register again.
    void Ritira();
    // The EEPROM took the number: it becomes the code's last one.
    void Conferma();
    // Keeps the technician's edits when nothing was programmed; false, with a message, on failure.
    bool SalvaRegistro();

    // "MR", the code and the number as five digits at least; the number is decimal digits only.
    static std::string Seriale(std::uint16_t codice, const std::string& numero);

    ui::Label lblRegistro;
    ui::RichTextBox RichTextBox1;
    ui::Label lblSN;
    ui::TextBox txtSN;
    ui::Label lblName;
    ui::TextBox txtName;
    ui::Label lblUser;
    ui::TextBox txtUser;
    ui::CommandButton cmdProg;
    ui::CommandButton cmdOK;

protected:
    void Form_Load() override;

private:
    void cmdProg_Click();
    void cmdOK_Click();
    void Avviso(const std::string& testo);
    void Errore(const std::string& testo);
    std::string Chiave() const { return "LastSerialNumber" + std::to_string(codice_); }

    SettingsStore& settings_;
    std::string vecchiaCartella_;
    std::string percorso_;
    std::string primaDellaRiga_;  // the register's text before Registra added its line
    bool leggibile_ = true;  // an unreadable register is never written over
    std::uint16_t codice_ = 0;
    std::string numero_;
    std::string nome_;
    std::string seriale_;
};

} // namespace zem
