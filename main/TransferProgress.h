#pragma once

#include <string>

namespace zem {

// What a long instrument workflow shows while it runs, and how it learns that its window is
// closing. The main window draws it with its progress bar, its transfer label and its busy
// indication; zemcli draws it on stderr.
class TransferProgress {
public:
    virtual ~TransferProgress() = default;

    // The busy indication, while the link opens or the instrument restarts.
    virtual void SetBusy(bool busy) = 0;
    // The bar at 0 of `maximum`, with `caption` beside it.
    virtual void ShowProgress(const std::string& caption, int maximum) = 0;
    // One byte further; the bar stays at its maximum once there.
    virtual void Advance() = 0;
    virtual void HideProgress() = 0;
    // A word of what the workflow waits for, in the bar's place until HideProgress.
    virtual void ShowStatus(const std::string& text) = 0;
    // The window is closing: a transfer writes nothing more.
    virtual bool Closing() const = 0;
};

} // namespace zem
