#pragma once

namespace zem::usbemu {

// Starts this program again under the umockdev preload unless it already runs under it, so that
// its USB stack (and that of the programs it starts) meets the emulated bridges. Under
// AddressSanitizer the preload stands before the sanitizer's runtime, which must then not insist
// on coming first. Returns only when the preload is in place.
void RestartUnderUmockdevPreload();
bool UnderUmockdevPreload();

} // namespace zem::usbemu
