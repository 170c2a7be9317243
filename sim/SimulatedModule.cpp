#include "sim/SimulatedModule.h"

namespace zem::sim {

namespace {

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

bool StartsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

} // namespace

SimulatedModule::SimulatedModule(ModuleIdentity identity, Clock& clock)
    : identity_(std::move(identity)), instrument_(clock)
{
}

void SimulatedModule::Reject(ModuleCommand command, char code) { knobs_[command] = {Behaviour::Reject, code}; }

void SimulatedModule::Silence(ModuleCommand command) { knobs_[command] = {Behaviour::Silent, 'E'}; }

void SimulatedModule::Restore(ModuleCommand command) { knobs_.erase(command); }

std::optional<std::vector<std::uint8_t>> SimulatedModule::Reply(ModuleCommand command, std::string accepted)
{
    const auto knob = knobs_.find(command);
    if (knob == knobs_.end()) return Bytes(accepted);
    if (knob->second.behaviour == Behaviour::Silent) return std::nullopt;
    return std::vector<std::uint8_t>{static_cast<std::uint8_t>(knob->second.code)};
}

std::optional<std::vector<std::uint8_t>> SimulatedModule::Receive(std::span<const std::uint8_t> datagram)
{
    const std::string text(datagram.begin(), datagram.end());
    if (text == "X") {
        std::string reply = "A" + identity_.mac + "/" + std::to_string(identity_.dataPort) + "/";
        for (const std::string& field : identity_.fields) reply += field + "/";
        reply += identity_.name;
        reply += '\0';
        return Reply(ModuleCommand::Discover, reply);
    }
    if (StartsWith(text, "W")) {
        // "W" + another MAC selects another module, "W" alone ends the selection: either way
        // this one stops answering, and neither is answered.
        const bool ours = text.size() > 1 && text.substr(1) == identity_.mac;
        if (!ours) {
            selected_ = false;
            loggedIn_ = false;
            return std::nullopt;
        }
        auto reply = Reply(ModuleCommand::Select, "A");
        if (reply && reply->front() == 'A') selected_ = true;
        return reply;
    }
    const std::string assign = "A" + identity_.mac + "//";
    if (StartsWith(text, assign)) {
        auto reply = Reply(ModuleCommand::AssignIP, "A");
        if (reply && reply->front() == 'A') identity_.ip = text.substr(assign.size());
        return reply;
    }
    if (!selected_) return std::nullopt;
    return SelectedCommand(text);
}

std::optional<std::vector<std::uint8_t>> SimulatedModule::SelectedCommand(const std::string& text)
{
    std::optional<std::vector<std::uint8_t>> reply;
    if (text == "L") {
        reply = Reply(ModuleCommand::Login, "A");
        if (reply && reply->front() == 'A') loggedIn_ = true;
    } else if (text == "O") {
        reply = Reply(ModuleCommand::Logout, "A");
        if (reply && reply->front() == 'A') loggedIn_ = false;
    } else if (text == "GIP") {
        reply = Reply(ModuleCommand::GetIP, loggedIn_ ? "A" + identity_.ip + "/255.0.0.0/" : "N");
    } else if (StartsWith(text, "S") && text.size() > 3) {
        reply = Reply(ModuleCommand::Setting, loggedIn_ ? "A" : "N");
        if (reply && reply->front() == 'A') settings_.push_back(text);
    } else {
        reply = Bytes("?");
    }
    return reply;
}

} // namespace zem::sim
