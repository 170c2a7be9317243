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
    // The step under way ("Reading memory", "Restarting the instrument..."), in place of the
    // caption until HideProgress: above a bar that runs on, or alone while the workflow waits.
    virtual void ShowStatus(const std::string& text) = 0;
    // The window is closing: a transfer writes nothing more.
    virtual bool Closing() const = 0;
};

// For callers that show nothing while a workflow runs, and never stop it.
inline TransferProgress& SenzaProgresso()
{
    struct Silenzioso final : TransferProgress {
        void SetBusy(bool) override {}
        void ShowProgress(const std::string&, int) override {}
        void Advance() override {}
        void HideProgress() override {}
        void ShowStatus(const std::string&) override {}
        bool Closing() const override { return false; }
    };
    static Silenzioso nessuno;
    return nessuno;
}

} // namespace zem
