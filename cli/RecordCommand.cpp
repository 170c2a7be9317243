// zemcli record --to KEY [--to KEY...] --db FILE [--pieces N | --for DURATION] [--json]: keeps every
// piece of the instruments in the store until N pieces were kept, the time is up, or SIGINT or
// SIGTERM. On a terminal one line rewritten shows the count; --json streams each piece as a line.

#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "cli/JsonOutput.h"
#include "cli/RecordMqtt.h"
#include "cli/RecordOutput.h"
#include "cli/StopSignals.h"
#include "record/Recorder.h"
#include "record/SqlitePieceStore.h"

#include <CLI/CLI.hpp>

#include <iostream>
#include <poll.h>
#include <unistd.h>

namespace zem::cli {

namespace {

struct RecordOptions {
    std::vector<std::string> keys;
    std::string db;
    int pieces = 0;       // 0: no limit
    std::string duration; // "" : no limit
    bool json = false;
    RecordMqtt mqtt;
};

// The store the pieces go to.

int Record(CliSession& session, const RecordOptions& o)
{
    if (o.json) session.Host().NoticesToStderr();
    std::optional<double> seconds;
    if (!o.duration.empty() && !(seconds = DurationSeconds(o.duration))) {
        std::cerr << "zemcli: --for " << o.duration << ": not a duration (90, 90s, 15m, 8h)\n";
        return kExitUsage;
    }
    std::string error;
    const auto store = SqlitePieceStore::Open(o.db, error);
    if (!store) {
        std::cerr << "zemcli: " << o.db << ": " << error << std::endl;
        return kExitFailed;
    }
    const StopSignals signals;
    StopSignals::SetState("The pieces kept so far are whole in the store; the instruments are still polled until "
                          "the link times out.");
    const LinkPlatform platform = session.Platform();
    Recorder recorder(platform, *store);
    std::vector<PieceSink> sinks;
    if (o.json) sinks.push_back([](const PieceRecord& p) { PrintJson(PieceLine(p)); });
    const auto publisher = o.mqtt.Start(*store, platform.clock, o.keys);
    if (publisher) {
        publisher->Notice = [](const std::string& text) { std::cerr << "zemcli: " << text << std::endl; };
        sinks.push_back([&p = *publisher](const PieceRecord& piece) { p.Stored(piece); });
    }
    for (auto& sink : sinks) recorder.AddSink(std::move(sink));
    recorder.Notice = [](const std::string& key, const std::string& text) {
        std::cerr << "zemcli: " << key << ": " << text << std::endl;
    };
    for (const auto& key : o.keys) {
        if (const auto why = recorder.Watch(key)) {
            session.Host().MsgBox(key + ": " + *why, ui::MsgButtons::OK, ui::MsgIcon::Critical);
            return kExitFailed;
        }
    }

    LiveCount live(std::cout, !o.json && !session.Host().Quiet() && ::isatty(STDOUT_FILENO));
    const double start = platform.clock.Timer();
    const auto elapsed = [&] {
        const double now = platform.clock.Timer();
        return now >= start ? now - start : now + 86400.0 - start;
    };
    while (!StopSignals::Raised() && !recorder.StoreError() && std::cout
           && (o.pieces == 0 || recorder.Recorded() < o.pieces) && (!seconds || elapsed() < *seconds)) {
        recorder.Tick();
        if (publisher) publisher->Tick();
        live.Show(recorder.Counts());
        ::poll(nullptr, 0, Recorder::kTickMs);
    }
    recorder.Close();
    if (publisher) publisher->Close();
    live.End();
    if (const auto& e = recorder.StoreError()) {
        std::cerr << "zemcli: " << o.db << ": " << *e << std::endl;
        return kExitFailed;
    }
    if (!session.Host().Quiet()) std::cerr << "zemcli: " << recorder.Recorded() << " pieces kept" << std::endl;
    return kExitDone;
}

} // namespace

void AddRecordCommand(CLI::App& app, CommandRun& run)
{
    auto o = std::make_shared<RecordOptions>();
    auto* command = app.add_subcommand("record", "keep every piece of the instruments (results and curve) in a store until stopped");
    command->add_option("--to", o->keys, "an instrument: \"USB: SERIAL\" or \"IP:HOST:PORT\" (repeat for several)")
        ->type_name("KEY")
        ->required();
    command->add_option("--db", o->db, "the store file the pieces are kept in")->type_name("FILE")->required();
    auto* pieces = command->add_option("--pieces", o->pieces, "stop once N pieces were kept, of all instruments together (N from 1)")
                       ->type_name("N")
                       ->check(CLI::PositiveNumber.description(""));
    command->add_option("--for", o->duration, "stop after DURATION (90, 90s, 15m, 8h)")->type_name("DURATION")->excludes(pieces);
    command->add_flag("--json", o->json, "each piece as one JSON line");
    o->mqtt.AddTo(*command);
    command->callback([&run, o] { run = [o](CliSession& session) { return Record(session, *o); }; });
}

} // namespace zem::cli
