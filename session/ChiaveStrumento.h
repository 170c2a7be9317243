#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zem {

// The text that names an instrument between the selection window and the workflow that opens
// it: "USB: " serial number, "IP:" address ":" port, or "MAC: " the Ethernet module's MAC text.
// Every workflow reads it back through Leggi, so a malformed key is refused in one place.
struct ChiaveStrumento {
    enum class Canale { USB, IP, MAC };

    Canale canale = Canale::USB;
    std::string seriale;     // USB
    std::string host;        // IP
    std::uint32_t porta = 0; // IP, 1..65535
    std::string mac;         // MAC

    // Nothing when the text is not a key: an unknown prefix, an empty serial number, host or MAC
    // text, no ":" before the port, or a port that is not a number in 1..65535. Blanks after the
    // prefix (and, for an address, at its end) are not part of the key.
    static std::optional<ChiaveStrumento> Leggi(std::string_view testo);

    static std::string USB(std::string_view seriale) { return "USB: " + std::string(seriale); }
    // The port is the text the module gave, kept as it came.
    static std::string IP(std::string_view host, std::string_view porta)
    {
        return "IP:" + std::string(host) + ":" + std::string(porta);
    }
    static std::string MAC(std::string_view mac) { return "MAC: " + std::string(mac); }
};

} // namespace zem
