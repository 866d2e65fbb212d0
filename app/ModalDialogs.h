// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include "app/MainWindowServices.h"

namespace lumbra {

class CDlgBase;

// The real modal dialogs and menus of the main window.
class ModalDialogs : public MainWindowDialogs {
public:
    int Message(HostWindow* owner, const std::string& title, const std::string& text) override;
    int ConfirmReset(HostWindow* owner, int pictureId) override;
    int EditProfile(HostWindow* owner, std::string& name, ProfilePrograms& programs,
                    FollowCoverage coverage = FollowCoverage::kNothing) override;
    std::optional<std::string> ChooseProfileToSave(HostWindow* owner,
                                                   const std::string& suggested) override;
    std::optional<std::string> ChooseProfileToLoad(HostWindow* owner) override;
    ExitAnswer AskSendBeforeExit(HostWindow* owner) override;
    int TrackMenu(HostWindow* owner, Point screenPos, const std::vector<MenuItem>& items) override;

    // Called with every dialog once it is shown, before its modal loop runs
    // (tests answer the dialog from here).
    void SetOpenedObserver(std::function<void(CDlgBase&)> observer) {
        m_opened = std::move(observer);
    }

private:
    int Run(CDlgBase& dialog);
    // The code the dialog ended with, as it is.
    int RunForCode(CDlgBase& dialog);

    std::function<void(CDlgBase&)> m_opened;
};

}  // namespace lumbra
