// SPDX-License-Identifier: GPL-3.0-or-later
#include "keys/CQuickLaunchDlg.h"

#include <filesystem>

#include "model/KeyAction.h"
#include "platform/FileDialogs.h"
#include "ui/CImageButton.h"
#include "ui/CRegionButton.h"
#include "ui/CStaticText.h"

namespace lumbra {

namespace {

constexpr uint32_t kIdClose = 2004;
constexpr uint32_t kIdOk = 2010;
constexpr uint32_t kIdCancel = 2011;
constexpr uint32_t kIdBrowse = 2012;
constexpr uint32_t kIdPath = 2013;

constexpr Color kWhite = Rgb(255, 255, 255);
constexpr int kBrowsePng = 177;
constexpr int kCloseBitmap = 388;
constexpr int kOkBitmap = 389;
constexpr int kCancelBitmap = 390;

std::optional<std::string> ChooseProgram(HostWindow* dialog) {
    std::error_code ec;
    const std::filesystem::path folder = std::filesystem::current_path(ec);
    return ChooseProgramToOpen(dialog, "Quick Launch", ec ? std::string() : folder.string());
}

}  // namespace

CQuickLaunchDlg::CQuickLaunchDlg(HostWindow* parent, ProgramChooser chooser)
    : CModalDlg(0, parent, ModalButtons{kIdOk, kIdCancel, kIdClose}),
      m_chooser(chooser ? std::move(chooser) : ChooseProgram) {
    SetWindowSize(kWidth, kHeight);
}

CQuickLaunchDlg::~CQuickLaunchDlg() = default;

bool CQuickLaunchDlg::OnInitDialog() {
    CModalDlg::OnInitDialog();
    SetDialogTitle("Quick Launch");
    SetWindowRegionFromBitmap(kBackground);
    SetBackgroundBitmap(kBackground);
    return true;
}

void CQuickLaunchDlg::DrawBackground(Surface& surface, const Rect& client) {
    StandardDrawBackground(surface, client);
}

void CQuickLaunchDlg::BuildControls(int, int, int, int) {
    HostWindow* w = Window();
    auto region = [&](uint32_t id, const Rect& r, int bitmap) {
        auto button = std::make_unique<CRegionButton>(w, id, r, "", true, false);
        button->SetBitmap(bitmap, r.Width(), r.Height(), 0, r.Height() - 1);
        AddControl(0, std::move(button));
    };
    region(kIdClose, Rect{276, 4, 299, 25}, kCloseBitmap);
    m_pathText = AddControl(
        0, std::make_unique<CStaticText>(w, kIdPath, Rect{26, 87, 256, 105}, "", true, false,
                                         kWhite, TextFlags::kLeft | TextFlags::kVCenter));
    auto browse =
        std::make_unique<CImageButton>(w, kIdBrowse, Rect{258, 87, 280, 105}, "", true, false);
    browse->LoadImageStrip(kBrowsePng);
    browse->onClick = [this] { OnBrowse(); };
    AddControl(0, std::move(browse));
    region(kIdOk, Rect{75, 202, 127, 223}, kOkBitmap);
    region(kIdCancel, Rect{139, 202, 230, 223}, kCancelBitmap);
}

void CQuickLaunchDlg::OnBrowse() {
    const std::optional<std::string> chosen = m_chooser(Window());
    if (!chosen || chosen->empty()) return;
    m_fullPath = *chosen;
    m_record.text = std::filesystem::path(m_fullPath).filename().string();
    if (m_pathText) {
        m_pathText->SetString(m_fullPath);
        m_pathText->Invalidate();
    }
}

void CQuickLaunchDlg::OnOk() {
    EndDialog(DialogResult::kCancel);
    if (m_fullPath.empty()) return;
    m_record.b0 = KeyActionType::kQuickLaunch;
    m_record.b1 = 0;
    m_record.b2 = 0;
    if (const auto handler = onChosen) handler(m_fullPath, m_record);
}

}  // namespace lumbra
