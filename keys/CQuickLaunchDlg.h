// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "ui/CModalDlg.h"
#include "ui/ChoiceRecord.h"

namespace lumbra {

class CStaticText;

// The quick-launch dialog: picks a program for a G key to start. OK with a
// program chosen ends the dialog, then hands onChosen the program's full path
// and the record (the program's file name, 7, 0, 0). Without a program, or on
// cancel, nothing is chosen. The dialog ends with kCancel either way.
class CQuickLaunchDlg : public CModalDlg {
public:
    static constexpr int kWidth = 305;
    static constexpr int kHeight = 245;
    static constexpr int kBackground = 176;
    // Asks the user for a program; nullopt when the user cancels.
    using ProgramChooser = std::function<std::optional<std::string>(HostWindow* dialog)>;

    // Without a chooser the system's file-open dialog is used, opened in the
    // process's current folder.
    explicit CQuickLaunchDlg(HostWindow* parent, ProgramChooser chooser = {});
    ~CQuickLaunchDlg() override;

    bool OnInitDialog() override;
    void DrawBackground(Surface& surface, const Rect& client) override;
    void BuildControls(int left, int top, int right, int bottom) override;

    const std::string& FullPath() const { return m_fullPath; }
    const ChoiceRecord& Record() const { return m_record; }

    // The program OK chose, called once the dialog has ended.
    std::function<void(const std::string& fullPath, const ChoiceRecord& record)> onChosen;

protected:
    void OnOk() override;

private:
    void OnBrowse();

    ProgramChooser m_chooser;
    ChoiceRecord m_record;
    std::string m_fullPath;
    CStaticText* m_pathText = nullptr;
};

}  // namespace lumbra
