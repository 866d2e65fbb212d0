// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainWindowControls.h"

#include "app/MainWindowLayout.h"
#include "app/MainWindowMessages.h"
#include "keys/KeyMessages.h"
#include "macro/MacroPageIds.h"
#include "platform/Resources.h"
#include "skin/SkinResources.h"
#include "ui/CCheckButton.h"
#include "ui/CComboButton.h"
#include "ui/CDlgBase.h"
#include "ui/CEditShowList.h"
#include "ui/CImageButton.h"
#include "ui/CImageShowList.h"
#include "ui/CKeyboardButton.h"
#include "ui/CLightBrightnessPopup.h"
#include "ui/CLightColorPopup.h"
#include "ui/CProgressStrip.h"
#include "ui/CTabControl.h"
#include "ui/CVScrollBar.h"
#include "ui/ControlMessages.h"
#include "ui/GlyphLine.h"
#include "ui/ImageRoutines.h"

namespace lumbra {

namespace {

constexpr int kIconSize = 32;
// Left of OK, clear of the hint printed on the background.
constexpr LayoutRect kStateLineRect{366, 102, 208, 18};
// The header, left of the minimise button.
constexpr LayoutRect kProfileLineRect{300, 38, 366, 18};
constexpr int kMarkSide = 6;
// The lines' inks, which the skin has strips of their characters in.
constexpr Color kPendingColor = InkColor(kPendingLineInk);
constexpr Color kSentColor = InkColor(kSentLineInk);
constexpr Color kProfileColor = InkColor(kProfileLineInk);

constexpr uint32_t kLineFlags = TextFlags::kRight | TextFlags::kVCenter | TextFlags::kSingleLine;

Rect ToRect(const LayoutRect& r) { return Rect::FromSize(r.x, r.y, r.width, r.height); }

// The names assistive tools give the controls whose caption is a picture.
struct ControlName {
    uint32_t id;
    std::string_view name;
};
constexpr ControlName kControlNames[] = {
    {MainId::kClose, "Close"},
    {MainId::kMinimize, "Minimize"},
    {MainId::kPage0Tab, "Keys"},
    {MainId::kPage1Tab, "Macros"},
    {MainId::kPage2Tab, "G Keys"},
    {MainId::kPage3Tab, "Lighting"},
    {MainId::kResetProfile, "Reset Profile"},
    {MainId::kResetAll, "Reset All"},
    {MainId::kOk, "OK"},
    {MainId::kApply, "Apply"},
    {MainId::kCancel, "Cancel"},
    {MainId::kProfile1, "Profile 1"},
    {MainId::kProfile1 + 1, "Profile 2"},
    {MainId::kProfile1 + 2, "Profile 3"},
    {MacroPageId::kNewMacro, "New Macro"},
    {MacroPageId::kDeleteMacro, "Delete Macro"},
    {MacroPageId::kImport, "Import"},
    {MacroPageId::kExport, "Export"},
    {MacroPageId::kLoopSwitch, "Loop"},
    {MacroPageId::kDelaySwitch, "Record delays"},
    {MacroPageId::kRecord, "Record"},
    {MacroPageId::kMacroList, "Macros"},
    {MacroPageId::kActionList, "Macro steps"},
    {MainId::kLightColor, "Lighting colour"},
    {MainId::kLightBrightness, "Lighting brightness"},
};

void NameControls(CDlgBase& dlg, const MainWindowControlSet& set) {
    // The first control of an id is the one on list 0 (the page tab, not the
    // G-key pictures that share its id).
    for (const ControlName& n : kControlNames)
        if (CControlBase* c = dlg.FindControl(n.id)) c->SetAccessibleName(std::string(n.name));
    // A G-key picture is named as its drop-down is.
    for (size_t g = 0; g < set.gKeyTabs.size(); ++g)
        if (CTabControl* tab = set.gKeyTabs[g]; tab && set.gKeyButtons[g])
            tab->accessibleName = [button = set.gKeyButtons[g]] {
                return button->AccessibleName();
            };
}

}  // namespace

MainWindowControlSet BuildMainWindowControls(CDlgBase& dlg, int left, int top,
                                             MacroLibrary* library) {
    HostWindow* w = dlg.Window();
    MainWindowControlSet set;
    int gKeyTab = 0;
    for (const ControlLayout& c : MainWindowControls()) {
        const Rect r = Rect::FromSize(left + c.rect.x, top + c.rect.y, c.rect.width, c.rect.height);
        const auto id = static_cast<uint32_t>(c.id);
        switch (c.kind) {
            case ControlKind::kImageButton: {
                auto b = std::make_unique<CImageButton>(w, id, r, "", true, false);
                b->LoadImageStrip(c.png);
                dlg.AddControl(c.list, std::move(b));
                break;
            }
            case ControlKind::kTabControl: {
                auto t = std::make_unique<CTabControl>(w, id, r, "", true, false);
                t->LoadImageStrip(c.png);
                CTabControl* tab = dlg.AddControl(c.list, std::move(t));
                if (c.list == 1 && id == MainId::kPage2Tab && gKeyTab < 5)
                    set.gKeyTabs[static_cast<size_t>(gKeyTab++)] = tab;
                break;
            }
            case ControlKind::kKeyboardButton: {
                auto k = std::make_unique<CKeyboardButton>(w, id, r, "", true, false);
                k->LoadImageStrip(c.png);
                k->SetKeyInfo(std::string(c.keyName), c.keyCode, c.keyCode);
                set.keyButtons.push_back(dlg.AddControl(c.list, std::move(k)));
                break;
            }
            case ControlKind::kCheckButton: {
                auto k = std::make_unique<CCheckButton>(w, id, r, "", true, false);
                k->LoadImageStrip(c.png);
                dlg.AddControl(c.list, std::move(k));
                break;
            }
            case ControlKind::kComboButton: {
                auto k = std::make_unique<CComboButton>(w, id, r, "", true, false);
                k->LoadImageStrip(c.png);
                k->SetDisplayText("Disable");
                k->SetDisplayText(std::string(c.displayText));
                CComboButton* combo = dlg.AddControl(c.list, std::move(k));
                if (id >= kFirstGKeyButtonId && id <= kLastGKeyButtonId)
                    set.gKeyButtons[id - kFirstGKeyButtonId] = combo;
                if (id == MainId::kLightColor) set.colorButton = combo;
                if (id == MainId::kLightBrightness) set.brightnessButton = combo;
                break;
            }
            case ControlKind::kImageShowList:
                dlg.AddControl(c.list, std::make_unique<CImageShowList>(w, id, r, "", true, false));
                break;
            case ControlKind::kEditShowList:
                dlg.AddControl(c.list,
                               std::make_unique<CEditShowList>(w, id, r, "", true, false, library));
                break;
            case ControlKind::kVScrollBar:
                dlg.AddControl(c.list, std::make_unique<CVScrollBar>(w, id, r, "", true, false));
                break;
        }
    }
    auto strip = std::make_unique<CProgressStrip>(
        w, kProgressStripId,
        Rect::FromSize(left + kProgressStripRect.x, top + kProgressStripRect.y,
                       kProgressStripRect.width, kProgressStripRect.height),
        "", false, true);
    strip->LoadImageStrip(kProgressStripPicture);
    set.progressStrip = dlg.AddControl(0, std::move(strip));
    dlg.SetListVisible(1, true);
    for (int list = 2; list <= 4; ++list) dlg.SetListVisible(list, false);
    NameControls(dlg, set);
    return set;
}

std::string ProfileLine(int profile, const std::string& name) {
    std::string line = "Editing profile " + std::to_string(profile + 1);
    if (!name.empty()) line += ": " + name;
    return line;
}

void DrawWindowState(Surface& surface, const WindowStateShown& state, const Rect& apply) {
    const FontDesc font = ControlFont();
    DrawLineText(surface, ProfileLine(state.profile, state.profileName), ToRect(kProfileLineRect),
                 kProfileColor, font, kLineFlags);
    if (state.pending) {
        DrawLineText(surface, kPendingLine, ToRect(kStateLineRect), kPendingColor, font,
                     kLineFlags);
        // A square on Apply's top right corner, inside its frame.
        surface.FillSolidRect(
            Rect::FromSize(apply.right - kMarkSide - 3, apply.top + 3, kMarkSide, kMarkSide),
            kPendingColor);
    } else if (state.sent) {
        DrawLineText(surface, kSentLine, ToRect(kStateLineRect), kSentColor, font, kLineFlags);
    }
}

void DrawPagePanelAndCallout(Surface& surface, int page, int calloutBitmap) {
    if (page > 0 && page < kMainWindowPageCount) {
        Image panel;
        if (LoadBitmapResource(kPagePanelBitmaps[page], panel))
            surface.Copy(panel, {0, 0, kPagePanelRect.width, kPagePanelRect.height},
                         kPagePanelRect.x, kPagePanelRect.y);
    }
    if (calloutBitmap != 0) {
        Image callout;
        if (LoadBitmapResource(calloutBitmap, callout)) {
            const int x = calloutBitmap > kCalloutRightThreshold ? kCalloutRightX : kCalloutLeftX;
            surface.Copy(callout, {0, 0, kCalloutWidth, kCalloutHeight}, x, kCalloutY);
        }
    }
}

void DrawMinimizedIcon(Surface& surface, const Rect& client, Color background, const Image& icon) {
    surface.FillSolidRect(client, background);
    if (icon.IsNull()) return;
    surface.DrawImage(
        icon,
        RectF{static_cast<float>((client.Width() - kIconSize + 1) / 2),
              static_cast<float>((client.Height() - kIconSize + 1) / 2),
              static_cast<float>(kIconSize), static_cast<float>(kIconSize)},
        RectF{0, 0, static_cast<float>(icon.Width()), static_cast<float>(icon.Height())});
}

void OpenLightingList(CDlgBase& dlg, uint32_t buttonId,
                      std::function<void(const ChoiceRecord&)> onChoice,
                      std::function<void()> onDeactivated) {
    auto* button = dynamic_cast<CComboButton*>(dlg.FindControl(buttonId));
    if (!button) return;
    button->SetPopupOpen(true);
    button->Invalidate();
    const Rect r = button->GetRect();
    const Rect below{r.left, r.bottom, r.right, r.bottom + r.Height()};
    const bool color = buttonId == MainId::kLightColor;
    CWndPopup* list = color ? static_cast<CWndPopup*>(new CLightColorPopup)
                            : static_cast<CWndPopup*>(new CLightBrightnessPopup);
    list->onChoice = std::move(onChoice);
    list->onDeactivated = std::move(onDeactivated);
    dlg.ShowPopup(color ? PopupSlot::kLightColor : PopupSlot::kLightBrightness, below, list,
                  buttonId);
}

void ShowWorkerProgress(CProgressStrip& strip, const DeviceProgress& progress) {
    const bool busy = progress.busy;
    if (busy) {
        strip.SetCaption(std::string(progress.kind == DeviceJobKind::kWrite
                                         ? kWorkerWritingCaption
                                         : kWorkerReadingCaption));
        strip.SetProgress(progress.done, progress.total);
    }
    if (busy != strip.IsVisible()) {
        strip.SetVisible(busy);
        strip.Invalidate();
    }
}

void CloseLightingList(CDlgBase& dlg, uint32_t buttonId) {
    if (auto* button = dynamic_cast<CComboButton*>(dlg.FindControl(buttonId))) {
        button->SetPopupOpen(false);
        button->SetState(CControlBase::kNormal);
        button->Invalidate();
    }
    dlg.ClosePopup(buttonId == MainId::kLightColor ? PopupSlot::kLightColor
                                                   : PopupSlot::kLightBrightness);
}

}  // namespace lumbra
