// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/gallery/GalleryDialog.h"

#include <algorithm>
#include <memory>

#include "ui/CCheckButton.h"
#include "ui/CComboButton.h"
#include "ui/CComboPopup.h"
#include "ui/CWindowManagePopup.h"
#include "ui/CEditShowList.h"
#include "ui/CImageButton.h"
#include "ui/CImageShowList.h"
#include "ui/CKeyboardButton.h"
#include "ui/CLightBrightnessPopup.h"
#include "ui/CLightColorPopup.h"
#include "ui/CMacroLibraryPopup.h"
#include "ui/CMacroSetListPopup.h"
#include "ui/CMacroSetPopup.h"
#include "ui/CMouseFunctionPopup.h"
#include "ui/CMultimediaKeyPopup.h"
#include "ui/CRadioButton.h"
#include "ui/CRegionButton.h"
#include "ui/CStaticText.h"
#include "ui/CTabControl.h"
#include "ui/CVScrollBar.h"
#include "ui/ControlMessages.h"
#include "ui/ImageRoutines.h"
#include "ui/Selections.h"

namespace lumbra {

namespace {

// Ids and messages of this window.
constexpr uint32_t kIdClose = 2001;
constexpr uint32_t kIdMinimize = 2002;
constexpr uint32_t kIdMacroList = 2109;
constexpr uint32_t kIdActionList = 2114;
constexpr uint32_t kIdMacroScroll = 2115;
constexpr uint32_t kIdActionScroll = 2116;
constexpr uint32_t kIdNewMacro = 2100;
constexpr uint32_t kIdMacroSets = 2120;
constexpr uint32_t kIdLightMode = 2090;
constexpr uint32_t kIdBrightness = 2091;
constexpr uint32_t kMsgGKeyCombo = 0x404;
constexpr uint32_t kMsgLightModeCombo = 0x424;
constexpr uint32_t kMsgBrightnessCombo = 0x427;
constexpr uint32_t kMsgMacroSetsCombo = 0x430;
constexpr uint32_t kMsgCheckFocus = 0x431;  // posted: close the menus if focus left them

// The tabs, radio buttons and view switch, as the toolkit's selection variables know them.
constexpr uint32_t kIdPageTabs[] = {2003, 2004, 2005, 2077};
constexpr TabSelection kPageTabs[] = {
    {kIdPageTabs[0], 0}, {kIdPageTabs[1], 1}, {kIdPageTabs[2], 2}, {kIdPageTabs[3], 3}};
constexpr TabSelection kSubTabs[] = {{2049, 0}, {2050, 1}, {2051, 2}};
constexpr uint32_t kModeGroup = 0x380;
constexpr RadioMember kRadios[] = {
    {2013, {1u << 7, kModeGroup}}, {2014, {1u << 8, kModeGroup}}, {2018, {1u << 9, kModeGroup}}};
constexpr uint32_t kIdRegion = 2040;
constexpr uint32_t kViewSwitches[] = {kIdRegion};

constexpr int kComboPng = 265;

struct KeySample {
    uint32_t id;
    const char* name;
    uint8_t code;
    Rect rect;
    int png;
};
constexpr KeySample kKeys[] = {
    {2200, "Esc", 0x29, Rect::FromSize(177, 236, 19, 20), 271},
    {2201, "F1", 0xC0, Rect::FromSize(222, 236, 19, 20), 277},
    {2202, "F2", 0xC1, Rect::FromSize(244, 236, 19, 20), 278},
    {2216, "~", 0x35, Rect::FromSize(177, 265, 19, 20), 296},
    {2217, "1", 0x1E, Rect::FromSize(199, 265, 19, 20), 297},
    {2294, "Space", 0x2C, Rect::FromSize(262, 357, 134, 26), 370},
};

const char* const kPopupNames[] = {"combo",      "profile",      "dpi",
                                   "multimedia", "macrolibrary", "macrosetlist",
                                   "macroset",   "lightcolor",   "lightbrightness"};

}  // namespace

void GalleryDialog::RegisterSelections() {
    SetSelectionTables({kPageTabs, kSubTabs, kRadios, kViewSwitches});
}

GalleryDialog::GalleryDialog() : CDlgBase(0, nullptr) {
    m_library.ResetToDefault();
    MacroSet* set = m_library.SetAt(0);
    const char* names[] = {"Copy", "Paste", "Greeting", "Combo", "Sprint", "Reload"};
    for (const char* n : names) set->AddKey(n);
    MacroKey* greeting = set->KeyAt(2);
    const uint8_t keys[] = {0x10, 0x48, 0x49};
    for (uint8_t k : keys) {
        greeting->InsertAction(greeting->MacroActionNum, MacroAction::KeyEvent(k, false));
        greeting->InsertAction(greeting->MacroActionNum, MacroAction::Pause(35));
        greeting->InsertAction(greeting->MacroActionNum, MacroAction::KeyEvent(k, true));
    }
    m_library.AddSet("Games")->AddKey("Jump");
}

GalleryDialog::~GalleryDialog() = default;

const char* const* GalleryDialog::ShowcasePopups(int* count) {
    *count = static_cast<int>(std::size(kPopupNames));
    return kPopupNames;
}

bool GalleryDialog::OnInitDialog() {
    CDlgBase::OnInitDialog();
    SetWindowRegionFromBitmap(129);
    SetBackgroundBitmap(129);
    ShowPage(0);
    return true;
}

void GalleryDialog::DrawBackground(Surface& surface, const Rect& client) {
    DrawBackgroundBitmap(surface, client);
    static constexpr int kPagePanels[] = {0, 261, 259, 260};
    const int page = PageSelection();
    if (page > 0 && page < 4) {
        Image panel;
        if (LoadBitmapResource(kPagePanels[page], panel))
            surface.Copy(panel, {0, 0, 663, 344}, 75, 137);
    }
    DrawControls(surface, client);
}

void GalleryDialog::BuildControls(int, int, int, int) {
    HostWindow* w = Window();
    auto image = [&](int list, uint32_t id, Rect r, int png) {
        auto c = std::make_unique<CImageButton>(w, id, r, "", true, false);
        c->LoadImageStrip(png);
        return AddControl(list, std::move(c));
    };
    auto tab = [&](int list, uint32_t id, Rect r, int png) {
        auto c = std::make_unique<CTabControl>(w, id, r, "", true, false);
        c->LoadImageStrip(png);
        return AddControl(list, std::move(c));
    };
    auto combo = [&](int list, uint32_t id, Rect r, uint32_t msg, const char* text) {
        auto c = std::make_unique<CComboButton>(w, id, r, "", true, false);
        c->LoadImageStrip(kComboPng);
        c->SetReleaseMessage(msg);
        c->SetDisplayText(text);
        return AddControl(list, std::move(c));
    };

    // Always present: window buttons and page tabs.
    image(0, kIdClose, Rect::FromSize(707, 36, 22, 22), 135);
    image(0, kIdMinimize, Rect::FromSize(678, 36, 23, 22), 136);
    tab(0, kIdPageTabs[0], Rect::FromSize(169, 516, 88, 22), 137);
    tab(0, kIdPageTabs[1], Rect::FromSize(267, 516, 88, 22), 262);
    tab(0, kIdPageTabs[2], Rect::FromSize(458, 516, 88, 22), 263);
    tab(0, kIdPageTabs[3], Rect::FromSize(553, 516, 88, 22), 264);

    // Page 0: sub-selection tabs, keys (one remapped), check, radio and region buttons, a label.
    tab(1, kSubTabs[0].id, Rect::FromSize(180, 208, 23, 20), 171);
    tab(1, kSubTabs[1].id, Rect::FromSize(209, 208, 20, 20), 170);
    tab(1, kSubTabs[2].id, Rect::FromSize(236, 208, 19, 20), 169);
    for (const KeySample& k : kKeys) {
        auto key = std::make_unique<CKeyboardButton>(w, k.id, k.rect, "", true, false);
        key->LoadImageStrip(k.png);
        key->SetKeyInfo(k.name, k.id == 2217 ? 0x04 : k.code, k.code);
        AddControl(1, std::move(key));
    }
    auto check =
        std::make_unique<CCheckButton>(w, 2111, Rect::FromSize(555, 383, 14, 15), "", true, false);
    check->LoadImageStrip(397);
    AddControl(1, std::move(check));
    auto record =
        std::make_unique<CCheckButton>(w, 2113, Rect::FromSize(556, 220, 143, 22), "", true, false);
    record->LoadImageStrip(189);
    AddControl(1, std::move(record));
    for (int i = 0; i < 3; ++i) {
        auto radio = std::make_unique<CRadioButton>(
            w, kRadios[i].id, Rect::FromSize(430, 250 + 30 * i, 17, 17), "", true, false);
        radio->SetBitmap(275, 17, 17, 0, 0);
        AddControl(1, std::move(radio));
    }
    auto region = std::make_unique<CRegionButton>(w, kIdRegion, Rect::FromSize(480, 250, 23, 21),
                                                  "", true, false);
    region->SetBitmap(388, 23, 21, 0, 20);
    AddControl(1, std::move(region));
    auto label = std::make_unique<CStaticText>(w, 2015, Rect{455, 250, 620, 270}, "", true, false,
                                               Rgb(0, 255, 0), TextFlags::kLeft);
    label->SetString("Key mode: Esc");
    AddControl(1, std::move(label));

    // Page 1: the macro editor's lists and scroll bars.
    image(2, kIdNewMacro, Rect::FromSize(117, 448, 63, 15), 267);
    image(2, 2101, Rect::FromSize(190, 448, 63, 15), 268);
    m_macroList = AddControl(
        2, std::make_unique<CEditShowList>(w, kIdMacroList, Rect::FromSize(107, 215, 144, 215), "",
                                           true, false, &m_library));
    m_macroScroll =
        AddControl(2, std::make_unique<CVScrollBar>(
                          w, kIdMacroScroll, Rect::FromSize(256, 215, 13, 215), "", true, false));
    m_actionList =
        AddControl(2, std::make_unique<CImageShowList>(
                          w, kIdActionList, Rect::FromSize(331, 215, 144, 215), "", true, false));
    m_actionScroll =
        AddControl(2, std::make_unique<CVScrollBar>(
                          w, kIdActionScroll, Rect::FromSize(480, 215, 13, 215), "", true, false));
    combo(2, kIdMacroSets, Rect::FromSize(520, 215, 175, 20), kMsgMacroSetsCombo, "Macro sets");
    m_macroList->onClick = [this] { RefreshLists(); };
    m_macroList->onNameAdded = [this] { RefreshLists(); };
    for (const bool macros : {true, false}) {
        CVScrollBar* bar = macros ? m_macroScroll : m_actionScroll;
        bar->onPartPressed = [this, macros](ScrollPart part) { Scroll(macros, part, false); };
        bar->onThumbDragged = [this, macros] { Scroll(macros, std::nullopt, true); };
        bar->onClick = [this, macros] { Scroll(macros, std::nullopt, false); };
    }
    m_macroList->SelectSet(0);
    m_macroList->SetSelected(2);
    RefreshLists();

    // Page 2: the G-key function buttons; page 3: lighting.
    for (uint32_t i = 0; i < 5; ++i)
        combo(3, 2078 + i, Rect::FromSize(139, 218 + 35 * static_cast<int>(i), 225, 20),
              kMsgGKeyCombo, "No Function");
    combo(4, kIdLightMode, Rect::FromSize(97, 263, 175, 20), kMsgLightModeCombo, "Mode1");
    combo(4, kIdBrightness, Rect::FromSize(97, 323, 175, 20), kMsgBrightnessCombo, "100%");
}

void GalleryDialog::RefreshLists() {
    const MacroSet* set =
        m_library.SetAt(static_cast<uint32_t>(std::max(m_macroList->ShownSet(), 0)));
    const int n = set ? static_cast<int>(set->MacroKeyNum()) : 0;
    m_macroScroll->UpdateScroll(m_macroList->FirstRow(), m_macroList->RowCount(),
                                std::max(n, m_macroList->RowCount()));
    const MacroKey* key = set && m_macroList->Selected() >= 0
                              ? set->KeyAt(static_cast<uint32_t>(m_macroList->Selected()))
                              : nullptr;
    m_actionList->SetMacroKey(key);
    m_actionList->SetSelected(-1);
    const int steps = key ? static_cast<int>(key->ActionCount()) : 0;
    m_actionScroll->UpdateScroll(m_actionList->FirstRow(), m_actionList->RowCount(),
                                 std::max(steps, m_actionList->RowCount()));
    if (Window()) Window()->InvalidateAll();
}

void GalleryDialog::Scroll(bool macros, std::optional<ScrollPart> part, bool dragged) {
    CVScrollBar* bar = macros ? m_macroScroll : m_actionScroll;
    int firstRow = bar->Position();
    if (part == ScrollPart::kUpArrow) firstRow -= 1;
    if (part == ScrollPart::kDownArrow) firstRow += 1;
    if (part == ScrollPart::kPageUp) firstRow -= bar->Page();
    if (part == ScrollPart::kPageDown) firstRow += bar->Page();
    firstRow = std::clamp(firstRow, 0, std::max(bar->Range() - bar->Page(), 0));
    if (macros)
        m_macroList->SetFirstRow(firstRow);
    else
        m_actionList->SetFirstRow(firstRow);
    if (!dragged) bar->UpdateScroll(firstRow, bar->Page(), bar->Range());
    Window()->InvalidateAll();
}

void GalleryDialog::ShowPage(int page) {
    PageSelection() = page;
    for (int list = 1; list <= 4; ++list) SetListVisible(list, list == page + 1);
    CloseAllPopups();
    if (Window()) Window()->InvalidateAll();
}

void GalleryDialog::OpenBelow(PopupSlot slot, uint32_t controlId, CWndPopup* popup) {
    CControlBase* c = FindControl(controlId);
    Rect r = c ? c->GetRect() : Rect::FromSize(100, 100, 158, 20);
    if (auto* combo = dynamic_cast<CComboButton*>(c)) {
        combo->SetPopupOpen(true);
        combo->Invalidate();
    }
    ShowPopup(slot, {r.left, r.bottom, r.right, r.bottom + 20}, popup, controlId);
}

void GalleryDialog::OpenMacroSetList() {
    auto* popup = new CMacroSetListPopup(&m_library);
    popup->onItemChosen = [this](int type) {
        if (type < 2) return;
        CloseAllPopups();
        m_macroList->SelectSet(type - 2);
        RefreshLists();
    };
    // A submenu taking the focus deactivates its menu; decide once the focus
    // has settled.
    popup->onDeactivated = [this] { Window()->Post(kMsgCheckFocus, 0, 0); };
    OpenBelow(PopupSlot::kMacroSetList, kIdMacroSets, popup);
}

void GalleryDialog::OpenSubmenu(PopupSlot slot, CWndPopup* popup, uintptr_t parameter) {
    CWndPopup* menu = Popup(PopupSlot::kFunctionMenu);
    Rect r = Rect::FromSize(364, 218, 158, 20);
    if (menu && menu->Window() && menu->Hovered() >= 0) {
        const Rect item = menu->Items()[static_cast<size_t>(menu->Hovered())].rect;
        const Point menuPos = menu->Window()->ScreenPos();
        const Point dlgPos = Window()->ScreenPos();
        const int left = menuPos.x - dlgPos.x + menu->Window()->ClientRect().Width();
        const int top = menuPos.y - dlgPos.y + item.top - 3;
        r = Rect::FromSize(left, top, 158, 20);
    }
    ShowPopup(slot, r, popup, static_cast<uint32_t>(parameter));
}

void GalleryDialog::OpenPopup(const std::string& name) {
    if (name == "combo") OpenBelow(PopupSlot::kFunctionMenu, 2078, new CComboPopup);
    if (name == "profile") OpenSubmenu(PopupSlot::kMultimediaList, new CMultimediaKeyPopup, m_comboOwner);
    if (name == "dpi") OpenSubmenu(PopupSlot::kWindowManageList, new CWindowManagePopup, m_comboOwner);
    if (name == "multimedia") OpenSubmenu(PopupSlot::kMouseFunctionList, new CMouseFunctionPopup, m_comboOwner);
    if (name == "macrolibrary")
        OpenSubmenu(PopupSlot::kMacroLibrary, new CMacroLibraryPopup(&m_library), m_comboOwner);
    if (name == "macrosetlist") OpenMacroSetList();
    if (name == "macroset")
        ShowListPopup(0, Rect::FromSize(520, 260, 158, 20), new CMacroSetPopup(&m_library, 0), 0);
    if (name == "lightcolor") OpenBelow(PopupSlot::kLightColor, kIdLightMode, new CLightColorPopup);
    if (name == "lightbrightness")
        OpenBelow(PopupSlot::kLightBrightness, kIdBrightness, new CLightBrightnessPopup);
}

void GalleryDialog::CloseAllPopups() {
    const PopupSlot kSlots[] = {PopupSlot::kFunctionMenu, PopupSlot::kMultimediaList, PopupSlot::kWindowManageList, PopupSlot::kMouseFunctionList,
                                PopupSlot::kMacroLibrary, PopupSlot::kMacroSetList, PopupSlot::kLightColor, PopupSlot::kLightBrightness};
    for (PopupSlot s : kSlots) ClosePopup(s);
    while (!ListPopups().empty()) CloseListPopup(0);
    ForEachControl([](CControlBase* c) {
        if (auto* combo = dynamic_cast<CComboButton*>(c); combo && combo->IsPopupOpen()) {
            combo->SetPopupOpen(false);
            combo->Invalidate();
        }
    });
}

void GalleryDialog::ShowChoice(uintptr_t controlId, const std::string& text) {
    if (auto* combo = dynamic_cast<CComboButton*>(FindControl(static_cast<uint32_t>(controlId))))
        combo->SetDisplayText(text);
    CloseAllPopups();
}

intptr_t GalleryDialog::OnMessage(uint32_t msg, uintptr_t first, intptr_t second) {
    const auto* record = reinterpret_cast<const ChoiceRecord*>(second);
    switch (msg) {
        case kIdClose:
            if (second == ControlEvent::kClicked) {
                if (Window()->InModalLoop())
                    EndDialog(0);
                else
                    Window()->Hide();
            }
            return 0;
        case kIdMinimize:
            if (second == ControlEvent::kClicked) Window()->Minimize();
            return 0;
        case kIdPageTabs[0]:
        case kIdPageTabs[1]:
        case kIdPageTabs[2]:
        case kIdPageTabs[3]:
            if (second == ControlEvent::kClicked) ShowPage(PageSelection());
            return 0;
        case kMsgGKeyCombo:
            m_comboOwner = first;
            OpenBelow(PopupSlot::kFunctionMenu, static_cast<uint32_t>(first), new CComboPopup);
            return 0;
        case kMsgLightModeCombo:
            OpenBelow(PopupSlot::kLightColor, kIdLightMode, new CLightColorPopup);
            return 0;
        case kMsgBrightnessCombo:
            OpenBelow(PopupSlot::kLightBrightness, kIdBrightness, new CLightBrightnessPopup);
            return 0;
        case kMsgMacroSetsCombo:
            OpenMacroSetList();
            return 0;
        case kMsgRequestMultimediaMenu:
        case kMsgRequestWindowMenu:
        case kMsgRequestMouseMenu:
        case kMsgRequestMacroMenu:
        case kMsgRequestNoSubmenu:
            ClosePopup(PopupSlot::kMultimediaList);
            ClosePopup(PopupSlot::kWindowManageList);
            ClosePopup(PopupSlot::kMouseFunctionList);
            ClosePopup(PopupSlot::kMacroLibrary);
            if (msg == kMsgRequestMultimediaMenu)
                OpenSubmenu(PopupSlot::kMultimediaList, new CMultimediaKeyPopup, first);
            if (msg == kMsgRequestWindowMenu) OpenSubmenu(PopupSlot::kWindowManageList, new CWindowManagePopup, first);
            if (msg == kMsgRequestMouseMenu)
                OpenSubmenu(PopupSlot::kMouseFunctionList, new CMouseFunctionPopup, first);
            if (msg == kMsgRequestMacroMenu)
                OpenSubmenu(PopupSlot::kMacroLibrary, new CMacroLibraryPopup(&m_library), first);
            return 0;
        case kMsgComboPopup:
        case kMsgProfilePopup:
        case kMsgDpiPopup:
        case kMsgMultimediaPopup:
        case kMsgMacroLibraryPopup:
            // Items with submenus send (0, record) and are not choices.
            if (first != 0 && record) ShowChoice(first, record->text);
            return 0;
        case kMsgLightColorPopup:
        case kMsgLightBrightnessPopup:
            if (first != 0 && record) ShowChoice(first, record->text);
            return 0;
        case kMsgMacroSetPopup:
            CloseAllPopups();
            return 0;
        case kMsgRequestShortcut:
        case kMsgRequestQuickLaunch:
            ShowChoice(first, msg == kMsgRequestShortcut ? "CTRL+ALT+K" : "notes.txt");
            return 0;
        case kMsgComboPopupClosed:
        case kMsgProfilePopupClosed:
        case kMsgDpiPopupClosed:
        case kMsgMultimediaPopupClosed:
        case kMsgMacroLibraryPopupClosed:
        case kMsgMacroSetListPopupClosed:
        case kMsgLightColorPopupClosed:
        case kMsgLightBrightnessPopupClosed:
        case kMsgMacroSetPopupClosed:
            // A submenu taking the focus deactivates its menu; decide once the
            // focus has settled.
            Window()->Post(kMsgCheckFocus, 0, 0);
            return 0;
        case kMsgCheckFocus: {
            bool popupActive = false;
            const PopupSlot kSlots[] = {PopupSlot::kFunctionMenu, PopupSlot::kMultimediaList, PopupSlot::kWindowManageList, PopupSlot::kMouseFunctionList,
                                        PopupSlot::kMacroLibrary, PopupSlot::kMacroSetList, PopupSlot::kLightColor, PopupSlot::kLightBrightness};
            for (PopupSlot s : kSlots)
                if (CWndPopup* p = Popup(s); p && p->Window() && p->Window()->IsActive())
                    popupActive = true;
            for (CWndPopup* p : ListPopups())
                if (p && p->Window() && p->Window()->IsActive()) popupActive = true;
            if (!popupActive) CloseAllPopups();
            return 0;
        }
        case kIdNewMacro:
            if (second == ControlEvent::kClicked) m_macroList->BeginNameEdit();
            return 0;
        default:
            return 0;
    }
}

}  // namespace lumbra
