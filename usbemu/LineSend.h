#pragma once

#include "access/PasswordGate.h"
#include "link/LinkPlatform.h"
#include "main/BackupMemoria.h"
#include "main/InvioProfilo.h"
#include "main/TransferProgress.h"
#include "profile/ProfiloZem.h"
#include "profile/SettingsStore.h"
#include "ui/CommandButton.h"
#include "ui/Form.h"
#include "ui/Host.h"
#include "ui/TextBox.h"

#include <string>

namespace zem::usbemu {

// The send workflow in this process, for the emulated bridge's tests and benchmark, answered as `zemcli --yes send ... --works clear` answers it:
// send, clear the works, the default password. Also the memory backup into a given file.
class LineSend final : public ui::Host, TransferProgress {
public:
    LineSend() : Host("ZEM Setup") {}

    SendOutcome Send(const LinkPlatform& platform, const std::string& profile, const std::string& key)
    {
        ProfiloZem p;
        if (!p.ApriFile(profile)) return SendOutcome::Failed;
        return InvioProfilo(*this, platform, gate_, *this).Invia(p, key);
    }
    bool Backup(const LinkPlatform& platform, const std::string& key, const std::string& file)
    {
        return BackupMemoria(*this, platform, *this).Esporta(key, file, "") == BackupMemoria::Esito::Completato;
    }
    std::string last;  // the last message shown

    ui::FileDialogResult ShowFileDialog(const ui::FileDialogRequest&) override { return {}; }
    void ShowModal(ui::Form& f) override
    {
        f.Get<ui::TextBox>("txtPassword").UserType("6150");
        f.Get<ui::CommandButton>("cmdOK").UserClick();
    }
    void DoEvents() override {}
    void SetBusy(bool) override {}
    void ShowProgress(const std::string&, int) override {}
    void Advance() override {}
    void HideProgress() override {}
    void ShowStatus(const std::string&) override {}
    bool Closing() const override { return false; }

protected:
    ui::MsgAnswer ShowMessage(const ui::MessageBoxRequest& r) override
    {
        last = r.text;
        if (r.buttons == ui::MsgButtons::OK) return ui::MsgAnswer::OK;
        return r.text == "Keep the works settings?" ? ui::MsgAnswer::No : ui::MsgAnswer::Yes;
    }
    std::optional<std::string> ShowInputBox(const ui::InputBoxRequest&) override { return {}; }

private:
    MemorySettingsStore settings_;
    PasswordGate gate_{*this, settings_};
};

} // namespace zem::usbemu
