#pragma once

// Compiled into the programs, which see ZEM_HAVE_LIBFTDI when they link the libftdi backend.

#include "link/usb/NoUsbDriver.h"

#ifdef ZEM_HAVE_LIBFTDI
#include "link/usb/LibFtdiD2xx.h"
#endif

#include <memory>

namespace zem {

// The driver of this machine's bridges: libftdi when the build has it, else none.
inline std::unique_ptr<D2xx> MachineUsbDriver()
{
#ifdef ZEM_HAVE_LIBFTDI
    return std::make_unique<LibFtdiD2xx>();
#else
    return std::make_unique<NoUsbDriver>();
#endif
}

} // namespace zem
