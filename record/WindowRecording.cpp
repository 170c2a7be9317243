#include "record/WindowRecording.h"

namespace zem {

WindowRecording::WindowRecording(StoreOpener open, Recorder::WallClock wallClock)
    : open_(std::move(open)), wallClock_(std::move(wallClock))
{
}

std::optional<std::string> WindowRecording::Begin(const std::string& file, const std::string& key, const UCZEM2& link,
                                                  int measure)
{
    End();
    std::string error;
    store_ = open_(file, error);
    if (!store_) return file + ": " + error;
    keeper_.emplace(*store_, key, link.Nome(), measure, link.TipoMisura(measure));
    return std::nullopt;
}

std::optional<std::string> WindowRecording::Keep(const CompletedPiece& piece, const CurveMonitor::Work& work)
{
    if (!keeper_) return std::nullopt;
    bool added = false;
    if (keeper_->Keep(piece, work, wallClock_(), added)) return std::nullopt;
    const std::string error = store_->Error();
    End();
    return error;
}

std::string WindowRecording::Count() const
{
    if (!keeper_) return {};
    const PieceCount& c = keeper_->Count();
    std::string t = std::to_string(c.good + c.rejected + c.noResults) + " pieces: " + std::to_string(c.good) + " good, "
                  + std::to_string(c.rejected) + " rejected";
    return c.noResults > 0 ? t + ", " + std::to_string(c.noResults) + " without results" : t;
}

void WindowRecording::End()
{
    keeper_.reset();
    store_.reset();
}

} // namespace zem
