// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/DesktopFocus.h"
#include "platform/GnomeExtension.h"
#include "storage/ProfileFile.h"
#include "ui/CModalDlg.h"

namespace lumbra {

class EditBox;
class CStaticText;

// A profile's name and up to three programs, each chosen with its browse button and removed with
// the clear button beside it. OK gives DialogResult::kOk with Name() and Programs() holding what
// the user entered, the name without control characters; close and Cancel give
// DialogResult::kCancel. A program that no longer exists is shown greyed; one line says what
// following programs sees on the desktop in use.
class CEditProfileDlg : public CModalDlg {
public:
    static constexpr int kWidth = 525;
    static constexpr int kHeight = 356;
    static constexpr int kBackground = 203;

    // Asks for a program's path; nothing when the user cancels.
    using Browser = std::function<std::optional<std::string>(HostWindow* owner)>;

    CEditProfileDlg(std::string name, ProfilePrograms programs, HostWindow* owner);
    ~CEditProfileDlg() override;

    bool OnInitDialog() override;
    void DrawBackground(Surface& surface, const Rect& client) override;
    void BuildControls(int left, int top, int right, int bottom) override;

    // What following programs sees here, said in one line under the programs.
    void SetFollowCoverage(FollowCoverage coverage) { m_coverage = coverage; }
    static std::string_view FollowNote(FollowCoverage coverage);
    static constexpr std::string_view kExtensionEnabledNote =
        "The Lumbra extension is enabled: it works after you log in again.";
    // Enables the GNOME Shell extension for this user (tests replace it).
    void SetExtensionEnabler(std::function<bool(std::string* error)> enable) {
        m_enableExtension = std::move(enable);
    }

    // Replaces the platform's open-file dialog (tests).
    void SetBrowser(Browser browser) { m_browser = std::move(browser); }
    EditBox* NameEdit() const { return m_nameEdit.get(); }

    const std::string& Name() const { return m_name; }
    const ProfilePrograms& Programs() const { return m_programs; }

protected:
    void OnOk() override;

private:
    void Browse(int program);
    // An empty path clears the program.
    void SetProgram(int program, const std::string& path);
    void ShowPath(int program);

    std::string m_name;
    ProfilePrograms m_programs;
    std::unique_ptr<EditBox> m_nameEdit;
    CStaticText* m_paths[ProfilePrograms::kCount] = {};
    Browser m_browser;
    FollowCoverage m_coverage = FollowCoverage::kNothing;
    std::function<bool(std::string*)> m_enableExtension = EnableGnomeExtension;
};

}  // namespace lumbra
