// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ModalDialogs.h"

#include "app/CAttentionDlg.h"
#include "app/CEditProfileDlg.h"
#include "app/CFirmwareResetDlg.h"
#include "app/CSendBeforeExitDlg.h"
#include "app/MainWindowMessages.h"
#include "platform/FileDialogs.h"

namespace lumbra {

namespace {
constexpr const char* kProfileFilter = "psf file (*.psf)";
constexpr const char* kProfileExtension = ".psf";
}  // namespace

int ModalDialogs::RunForCode(CDlgBase& dialog) {
    if (!dialog.CreateModal() || !dialog.Window()) return DialogResult::kCancel;
    if (m_opened) m_opened(dialog);
    return dialog.Window()->RunModal();
}

int ModalDialogs::Run(CDlgBase& dialog) {
    const int code = RunForCode(dialog);
    return code == DialogResult::kOk ? DialogResult::kOk : DialogResult::kCancel;
}

ExitAnswer ModalDialogs::AskSendBeforeExit(HostWindow* owner) {
    CSendBeforeExitDlg dialog(owner);
    return CSendBeforeExitDlg::AnswerFor(RunForCode(dialog));
}

int ModalDialogs::Message(HostWindow* owner, const std::string& title, const std::string& text) {
    CAttentionDlg dialog(title, text, owner);
    return Run(dialog);
}

int ModalDialogs::ConfirmReset(HostWindow* owner, int pictureId) {
    CFirmwareResetDlg dialog(pictureId, owner);
    return Run(dialog);
}

int ModalDialogs::EditProfile(HostWindow* owner, std::string& name, ProfilePrograms& programs,
                              FollowCoverage coverage) {
    CEditProfileDlg dialog(name, programs, owner);
    dialog.SetFollowCoverage(coverage);
    const int code = Run(dialog);
    if (code == DialogResult::kOk) {
        name = dialog.Name();
        programs = dialog.Programs();
    }
    return code;
}

std::optional<std::string> ModalDialogs::ChooseProfileToSave(HostWindow* owner,
                                                             const std::string& suggested) {
    auto path = ChooseFileToSave(owner, "Save Profile as...", kProfileFilter, suggested);
    if (path && !path->empty() && path->find('.', path->rfind('/') + 1) == std::string::npos)
        *path += kProfileExtension;
    return path;
}

std::optional<std::string> ModalDialogs::ChooseProfileToLoad(HostWindow* owner) {
    return ChooseFileToOpen(owner, "Load Profile from...", kProfileFilter);
}

int ModalDialogs::TrackMenu(HostWindow* owner, Point screenPos,
                            const std::vector<MenuItem>& items) {
    return TrackPopupMenu(owner, screenPos, items);
}

}  // namespace lumbra
