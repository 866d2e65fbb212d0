// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CEditProfileDlg.h"

#include <filesystem>
#include <system_error>

#include "model/NameText.h"
#include "platform/ActiveWindowWatcher.h"
#include "platform/EditBox.h"
#include "platform/FileDialogs.h"
#include "ui/CImageButton.h"
#include "ui/CRegionButton.h"
#include "ui/CStaticText.h"

namespace lumbra {

namespace {

constexpr uint32_t kIdClose = 2004;
constexpr uint32_t kIdOkButton = 2010;
constexpr uint32_t kIdCancelButton = 2011;
constexpr uint32_t kIdPathTexts[ProfilePrograms::kCount] = {2013, 2016, 2017};
constexpr uint32_t kIdBrowseButtons[ProfilePrograms::kCount] = {2012, 2014, 2015};
constexpr uint32_t kIdClearButtons[ProfilePrograms::kCount] = {2018, 2019, 2020};
constexpr Rect kPathRects[ProfilePrograms::kCount] = {
    {34, 136, 302, 154}, {34, 156, 302, 174}, {34, 176, 302, 194}};
constexpr Rect kBrowseRects[ProfilePrograms::kCount] = {
    {305, 136, 327, 154}, {305, 156, 327, 174}, {305, 176, 327, 194}};
// Beside each browse button, short of the note on the right of the picture.
constexpr Rect kClearRects[ProfilePrograms::kCount] = {
    {330, 136, 348, 154}, {330, 156, 348, 174}, {330, 176, 348, 194}};
constexpr uint32_t kIdFollowNotice = 2021;
constexpr Rect kFollowNoticeRect{34, 204, 506, 222};

constexpr Rect kNameRect{119, 78, 302, 94};
constexpr int kBrowsePng = 177;
constexpr int kClearPng = 178;
constexpr int kCloseBitmap = 388;
constexpr int kOkBitmap = 389;
constexpr int kCancelBitmap = 390;
constexpr Color kWhite = Rgb(255, 255, 255);
constexpr Color kBlack = Rgb(0, 0, 0);
constexpr Color kGrey = Rgb(128, 128, 128);

std::optional<std::string> ChooseProgram(HostWindow* owner) {
    return ChooseProgramToOpen(owner, "Program");
}

// A program that is no longer there selects nothing: its path is shown greyed.
Color PathColor(const std::string& path) {
    std::error_code error;
    return path.empty() || std::filesystem::exists(path, error) ? kWhite : kGrey;
}

}  // namespace

CEditProfileDlg::CEditProfileDlg(std::string name, ProfilePrograms programs, HostWindow* owner)
    : CModalDlg(0, owner, ModalButtons{kIdOkButton, kIdCancelButton, kIdClose}),
      m_name(std::move(name)),
      m_programs(std::move(programs)),
      m_browser(ChooseProgram) {
    SetWindowSize(kWidth, kHeight);
}

CEditProfileDlg::~CEditProfileDlg() {
    // The edit box is a child of the window; it goes before the window does.
    m_nameEdit.reset();
}

bool CEditProfileDlg::OnInitDialog() {
    CModalDlg::OnInitDialog();
    SetDialogTitle("Edit Profile");
    SetBackgroundBitmap(kBackground);
    m_nameEdit = std::make_unique<EditBox>(*Window(), 0, kNameRect, true);
    m_nameEdit->SetColors(kWhite, kBlack);
    m_nameEdit->SetAccessibleName("Profile name");
    m_nameEdit->SetText(m_name);
    m_nameEdit->Focus();
    return true;
}

void CEditProfileDlg::DrawBackground(Surface& surface, const Rect& client) {
    StandardDrawBackground(surface, client);
}

void CEditProfileDlg::BuildControls(int, int, int, int) {
    HostWindow* w = Window();
    auto region = [&](uint32_t id, const Rect& r, int bitmap) {
        auto button = std::make_unique<CRegionButton>(w, id, r, "", true, false);
        button->SetBitmap(bitmap, r.Width(), r.Height(), 0, r.Height() - 1);
        AddControl(0, std::move(button));
    };
    region(kIdClose, Rect{496, 5, 519, 26}, kCloseBitmap);
    for (int k = 0; k < ProfilePrograms::kCount; ++k) {
        const auto i = static_cast<size_t>(k);
        auto text = std::make_unique<CStaticText>(
            w, kIdPathTexts[i], kPathRects[i], "", true, false, kWhite,
            TextFlags::kSingleLine | TextFlags::kVCenter | TextFlags::kEndEllipsis);
        m_paths[i] = AddControl(0, std::move(text));
        ShowPath(k);
        auto browse = std::make_unique<CImageButton>(w, kIdBrowseButtons[i], kBrowseRects[i], "",
                                                     true, false);
        browse->LoadImageStrip(kBrowsePng);
        browse->onClick = [this, k] { Browse(k); };
        AddControl(0, std::move(browse));
        auto clear =
            std::make_unique<CImageButton>(w, kIdClearButtons[i], kClearRects[i], "", true, false);
        clear->LoadImageStrip(kClearPng);
        clear->onClick = [this, k] { SetProgram(k, std::string()); };
        AddControl(0, std::move(clear));
    }
    auto notice =
        std::make_unique<CStaticText>(w, kIdFollowNotice, kFollowNoticeRect, "", true, false, kGrey,
                                      TextFlags::kSingleLine | TextFlags::kVCenter);
    notice->SetString(std::string(FollowNote(m_coverage)));
    // On GNOME the note enables the extension: it works from the next login.
    if (m_coverage == FollowCoverage::kX11OnlyNeedsExtension) {
        constexpr Color kLink = Rgb(90, 200, 220);
        notice->SetTextColor(kLink);
        notice->onClick = [this, text = notice.get()] {
            std::string error;
            const bool enabled = m_enableExtension && m_enableExtension(&error);
            text->SetString(enabled ? std::string(kExtensionEnabledNote)
                                    : "The Lumbra extension could not be enabled: " + error);
            text->SetTextColor(Rgb(128, 128, 128));
            text->onClick = nullptr;
            text->Invalidate();
        };
    }
    AddControl(0, std::move(notice));
    region(kIdOkButton, Rect{17, 313, 69, 334}, kOkBitmap);
    region(kIdCancelButton, Rect{81, 313, 172, 334}, kCancelBitmap);
}

std::string_view CEditProfileDlg::FollowNote(FollowCoverage coverage) {
    switch (coverage) {
        case FollowCoverage::kEverything:
            return "Programs are followed on this desktop.";
        case FollowCoverage::kX11Only:
            return "Only programs running under X11 are followed on this desktop.";
        case FollowCoverage::kX11OnlyNeedsExtension:
            return "Only X11 programs are followed. Click to enable the Lumbra extension.";
        case FollowCoverage::kNothing:
            break;
    }
    return "Programs are not followed on this desktop.";
}

void CEditProfileDlg::OnOk() {
    // A line break in the name would end its line of the profile file.
    if (m_nameEdit) m_name = WithoutControlCharacters(m_nameEdit->Text());
    CModalDlg::OnOk();
}

void CEditProfileDlg::Browse(int program) {
    if (!m_browser) return;
    const std::optional<std::string> path = m_browser(Window());
    if (path) SetProgram(program, *path);
}

void CEditProfileDlg::SetProgram(int program, const std::string& path) {
    const auto i = static_cast<size_t>(program);
    m_programs.paths[i] = path;
    ShowPath(program);
}

void CEditProfileDlg::ShowPath(int program) {
    const auto i = static_cast<size_t>(program);
    m_paths[i]->SetString(m_programs.paths[i]);
    m_paths[i]->SetTextColor(PathColor(m_programs.paths[i]));
    m_paths[i]->Invalidate();
}

}  // namespace lumbra
