#pragma once

#include "link/Clock.h"
#include "record/MqttPublisher.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace zem::cli {

// The --mqtt HOST[:PORT] and --topic PREFIX options of `zemcli record`, and the publisher they ask for.
struct RecordMqtt {
    std::optional<std::string> target;
    std::string topic = MqttOptions{}.topicPrefix;

    // Declares them on `command`, bound to this; a target or prefix that cannot work is refused there.
    void AddTo(CLI::App& command);
    // Nothing when --mqtt was not given. It connects on its first Tick: the recorder's pump ticks it, its sink calls Stored.
    std::unique_ptr<MqttPublisher> Start(PieceStore& store, Clock& clock, const std::vector<std::string>& keys) const;
};

} // namespace zem::cli
