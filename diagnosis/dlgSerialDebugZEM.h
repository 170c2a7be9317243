#pragma once

#include "ui/ControlArray.h"
#include "ui/Label.h"
#include "ui/Timer.h"
#include "ui/UserControl.h"

#include <array>
#include <cstdint>
#include <string>

namespace zem {

class UCZEM2;

// The state of the instrument's own serial (RS485) receiver, decoded from the status block the
// instrument returns, on eight lines refreshed every 400 ms.
class dlgSerialDebugZEM final : public ui::UserControl {
public:
    using StatoSeriale = std::array<std::uint8_t, 15>;
    static constexpr int kRighe = 8;

    dlgSerialDebugZEM(ui::Form& owner, std::string name, ui::Frame& container);

    // Keeps the link and starts the 400 ms refresh.
    void SetValue(UCZEM2& link);
    // Starts or stops the refresh.
    void Abilita(bool abilita);

    // A fresh status block; ok false when the window has none to give.
    ui::Event<StatoSeriale&, bool&> GetValue;

    ui::ControlArray<ui::Label> Label1;
    ui::Timer Timer1;

private:
    void Timer1_Timer();

    UCZEM2* link_ = nullptr;
};

} // namespace zem
