#pragma once

#include <string>

namespace zem {

class UCZEM2;

// The text of a transducer code (1..7) as the diagnosis shows it; an analog input is named after
// the kind the instrument reports for it (0-20 mA, 0-10 V or its own). Empty for another code.
std::string DescrizioneTrasduttore(const UCZEM2& link, int codice);

} // namespace zem
