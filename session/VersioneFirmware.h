#pragma once

#include <string>

namespace zem {

// A firmware version as the technician reads it everywhere: two decimals and a "." whatever the
// desktop's locale ("3.10", never "3.1" or "3,10").
std::string TestoVersione(double versione);

} // namespace zem
