#pragma once

#include "ui/ComboBox.h"
#include "ui/Label.h"
#include "ui/TextBox.h"

#include <functional>

namespace zem {

// The fields every calibration panel edits, in the same places: gain, offset, unit and decimals.
struct CampiTaratura {
    ui::Label& lblGain;
    ui::TextBox& txtGain;
    ui::Label& lblOffset;
    ui::TextBox& txtOffset;
    ui::Label& lblUM;
    ui::ComboBox& lstUM;
    ui::Label& lblDecimali;
    ui::ComboBox& lstDecimali;

    // Captions and places; every edit of a field calls `modifica`.
    void Disponi(const std::function<void()>& modifica) const;
};

} // namespace zem
