// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "ui/CDlgBase.h"
#include "ui/ChoiceRecord.h"

namespace lumbra {

class CStaticText;

// The quick-launch dialog: picks a program for a G key to start. On OK with
// a program chosen it sends its owner 0x40F (const std::string* full path,
// const ChoiceRecord* record): the record is (the program's file name, 7, 0,
// 0). Both are valid only during the send. Without a program, or on cancel,
// it sends nothing.
class CQuickLaunchDlg : public CDlgBase {
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
    intptr_t OnMessage(uint32_t msg, uintptr_t first, intptr_t second) override;
    bool OnCloseRequest() override;

    const std::string& FullPath() const { return m_fullPath; }
    const ChoiceRecord& Record() const { return m_record; }

private:
    void OnBrowse();
    void OnOk();

    ProgramChooser m_chooser;
    ChoiceRecord m_record;
    std::string m_fullPath;
    CStaticText* m_pathText = nullptr;
};

}  // namespace lumbra
