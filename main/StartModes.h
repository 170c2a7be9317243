#pragma once

#include <string_view>

namespace zem {

// The extra menus the command line asks for.
struct StartModes {
    bool advanced = false;       // backup, memory test and the USB EEPROM menus
    bool configuration = false;  // the firmware update menu; implied by advanced

    // "/ADV" counts only where the command line begins, "/CFG" anywhere in it, in any letter
    // case; "--adv" and "--cfg" are the Linux spellings of the same switches.
    static StartModes FromCommandLine(std::string_view commandLine);
};

} // namespace zem
