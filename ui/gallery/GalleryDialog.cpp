// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/gallery/GalleryDialog.h"

#include <algorithm>
#include <memory>

#include "ui/CCheckButton.h"
#include "ui/CComboButton.h"
#include "ui/CComboPopup.h"
#include "ui/CEditShowList.h"
#include "ui/CImageButton.h"
#include "ui/CImageShowList.h"
#include "ui/CKeyboardButton.h"
#include "ui/CLightBrightnessPopup.h"
#include "ui/CLightColorPopup.h"
#include "ui/CMacroLibraryPopup.h"
#include "ui/CMacroSetListPopup.h"
#include "ui/CMouseFunctionPopup.h"
#include "ui/CMultimediaKeyPopup.h"
#include "ui/CRadioButton.h"
#include "ui/CRegionButton.h"
#include "ui/CStaticText.h"
#include "ui/CTabControl.h"
#include "ui/CVScrollBar.h"
#include "ui/CWindowManagePopup.h"
#include "ui/ControlMessages.h"
#include "ui/ImageRoutines.h"

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
constexpr uint32_t kMsgCheckFocus = 0x431;  // posted: close the menus if focus left them

// The page tabs, the tabs of a sub-selection on page 0, and its radio group.
constexpr uint32_t kIdPageTabs[] = {2003, 2004, 2005, 2077};
constexpr uint32_t kIdSubTabs[] = {2049, 2050, 2051};
constexpr uint32_t kIdRadios[] = {2013, 2014, 2018};
constexpr uint32_t kIdRegion = 2040;

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

const char* const kPopupNames[] = {"combo",        "profile",      "dpi",        "multimedia",
                                   "macrolibrary", "macrosetlist", "lightcolor", "lightbrightness"};

constexpr PopupSlot kSlots[] = {PopupSlot::kFunctionMenu,     PopupSlot::kMultimediaList,
                                PopupSlot::kWindowManageList, PopupSlot::kMouseFunctionList,
                                PopupSlot::kMacroLibrary,     PopupSlot::kMacroSetList,
                                PopupSlot::kLightColor,       PopupSlot::kLightBrightness};

}  // namespace

GalleryDialog::GalleryDialog() : CDlgBase(0, nullptr) {
    std::vector<uint32_t> viewSwitches(std::begin(kIdPageTabs), std::end(kIdPageTabs));
    viewSwitches.insert(viewSwitches.end(), std::begin(kIdSubTabs), std::end(kIdSubTabs));
    viewSwitches.push_back(kIdRegion);
    SetViewSwitches(std::move(viewSwitches));
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
    const int page = m_page;
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
    auto combo = [&](int list, uint32_t id, Rect r, const char* text) {
        auto c = std::make_unique<CComboButton>(w, id, r, "", true, false);
        c->LoadImageStrip(kComboPng);
        c->SetDisplayText(text);
        return AddControl(list, std::move(c));
    };

    // Always present: window buttons and page tabs.
    image(0, kIdClose, Rect::FromSize(707, 36, 22, 22), 135)->onClick = [this] {
        if (Window()->InModalLoop())
            EndDialog(0);
        else
            Window()->Hide();
    };
    image(0, kIdMinimize, Rect::FromSize(678, 36, 23, 22), 136)->onClick = [this] {
        Window()->Minimize();
    };
    const Rect pageTabRects[] = {Rect::FromSize(169, 516, 88, 22), Rect::FromSize(267, 516, 88, 22),
                                 Rect::FromSize(458, 516, 88, 22),
                                 Rect::FromSize(553, 516, 88, 22)};
    const int pageTabPngs[] = {137, 262, 263, 264};
    for (int i = 0; i < 4; ++i)
        tab(0, kIdPageTabs[i], pageTabRects[i], pageTabPngs[i])->onClick = [this, i] {
            ShowPage(i);
        };

    // Page 0: sub-selection tabs, keys (one remapped), check, radio and region buttons, a label.
    const Rect subTabRects[] = {Rect::FromSize(180, 208, 23, 20), Rect::FromSize(209, 208, 20, 20),
                                Rect::FromSize(236, 208, 19, 20)};
    const int subTabPngs[] = {171, 170, 169};
    for (int i = 0; i < 3; ++i)
        tab(1, kIdSubTabs[i], subTabRects[i], subTabPngs[i])->onClick = [this, i] {
            m_subPage = i;
            ShowSelections();
        };
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
            w, kIdRadios[i], Rect::FromSize(430, 250 + 30 * i, 17, 17), "", true, false);
        radio->SetBitmap(275, 17, 17, 0, 0);
        radio->onClick = [this, i] {
            m_radio = i;
            ShowSelections();
        };
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
    image(2, kIdNewMacro, Rect::FromSize(117, 448, 63, 15), 267)->onClick = [this] {
        m_macroList->BeginNameEdit();
    };
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
    combo(2, kIdMacroSets, Rect::FromSize(520, 215, 175, 20), "Macro sets")->onClick = [this] {
        OpenMacroSetList();
    };
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
              "No Function")
            ->onClick = [this, i] {
            m_comboOwner = 2078 + i;
            OpenFunctionMenu(m_comboOwner);
        };
    combo(4, kIdLightMode, Rect::FromSize(97, 263, 175, 20), "Mode1")->onClick = [this] {
        OpenPopup("lightcolor");
    };
    combo(4, kIdBrightness, Rect::FromSize(97, 323, 175, 20), "100%")->onClick = [this] {
        OpenPopup("lightbrightness");
    };
    ShowSelections();
}

void GalleryDialog::ShowSelections() {
    for (int i = 0; i < 4; ++i)
        if (auto* tab = dynamic_cast<CTabControl*>(FindControl(kIdPageTabs[i])))
            tab->SetSelected(i == m_page);
    for (int i = 0; i < 3; ++i) {
        if (auto* tab = dynamic_cast<CTabControl*>(FindControl(kIdSubTabs[i])))
            tab->SetSelected(i == m_subPage);
        if (auto* radio = dynamic_cast<CRadioButton*>(FindControl(kIdRadios[i])))
            radio->SetSelected(i == m_radio);
    }
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
    m_page = page;
    ShowSelections();
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

CWndPopup* GalleryDialog::ShowingChoiceOn(CWndPopup* popup, uint32_t comboId) {
    popup->onChoice = [this, comboId](const ChoiceRecord& record) {
        if (comboId != 0) ShowChoice(comboId, record.text);
    };
    // A submenu taking the focus deactivates its menu; decide once the focus
    // has settled.
    popup->onDeactivated = [this] { Window()->Post(kMsgCheckFocus, 0, 0); };
    return popup;
}

void GalleryDialog::OpenFunctionMenu(uint32_t comboId) {
    auto* menu = new CComboPopup;
    ShowingChoiceOn(menu, comboId);
    menu->onSubmenuWanted = [this, comboId](std::optional<FunctionSubList> list) {
        OpenSubList(list, comboId);
    };
    menu->onShortcutWanted = [this, comboId] { ShowChoice(comboId, "CTRL+ALT+K"); };
    menu->onQuickLaunchWanted = [this, comboId] { ShowChoice(comboId, "notes.txt"); };
    OpenBelow(PopupSlot::kFunctionMenu, comboId, menu);
}

void GalleryDialog::OpenSubList(std::optional<FunctionSubList> list, uint32_t comboId) {
    ClosePopup(PopupSlot::kMultimediaList);
    ClosePopup(PopupSlot::kWindowManageList);
    ClosePopup(PopupSlot::kMouseFunctionList);
    ClosePopup(PopupSlot::kMacroLibrary);
    if (!list) return;
    switch (*list) {
        case FunctionSubList::kMultimedia:
            OpenSubmenu(PopupSlot::kMultimediaList, new CMultimediaKeyPopup, comboId);
            break;
        case FunctionSubList::kWindowManage:
            OpenSubmenu(PopupSlot::kWindowManageList, new CWindowManagePopup, comboId);
            break;
        case FunctionSubList::kMouseFunction:
            OpenSubmenu(PopupSlot::kMouseFunctionList, new CMouseFunctionPopup, comboId);
            break;
        case FunctionSubList::kMacro:
            OpenSubmenu(PopupSlot::kMacroLibrary, new CMacroLibraryPopup(&m_library), comboId);
            break;
    }
}

void GalleryDialog::OpenSubmenu(PopupSlot slot, CWndPopup* popup, uint32_t comboId) {
    ShowingChoiceOn(popup, comboId);
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
    ShowPopup(slot, r, popup, comboId);
}

void GalleryDialog::OpenPopup(const std::string& name) {
    if (name == "combo") OpenFunctionMenu(2078);
    if (name == "profile") OpenSubList(FunctionSubList::kMultimedia, m_comboOwner);
    if (name == "dpi") OpenSubList(FunctionSubList::kWindowManage, m_comboOwner);
    if (name == "multimedia") OpenSubList(FunctionSubList::kMouseFunction, m_comboOwner);
    if (name == "macrolibrary") OpenSubList(FunctionSubList::kMacro, m_comboOwner);
    if (name == "macrosetlist") OpenMacroSetList();
    if (name == "lightcolor")
        OpenBelow(PopupSlot::kLightColor, kIdLightMode,
                  ShowingChoiceOn(new CLightColorPopup, kIdLightMode));
    if (name == "lightbrightness")
        OpenBelow(PopupSlot::kLightBrightness, kIdBrightness,
                  ShowingChoiceOn(new CLightBrightnessPopup, kIdBrightness));
}

void GalleryDialog::CloseAllPopups() {
    for (PopupSlot s : kSlots) ClosePopup(s);
    ForEachControl([](CControlBase* c) {
        if (auto* combo = dynamic_cast<CComboButton*>(c); combo && combo->IsPopupOpen()) {
            combo->SetPopupOpen(false);
            combo->Invalidate();
        }
    });
}

void GalleryDialog::ShowChoice(uint32_t controlId, const std::string& text) {
    if (auto* combo = dynamic_cast<CComboButton*>(FindControl(controlId)))
        combo->SetDisplayText(text);
    CloseAllPopups();
}

void GalleryDialog::CloseMenusIfFocusLeft() {
    for (PopupSlot s : kSlots)
        if (CWndPopup* p = Popup(s); p && p->Window() && p->Window()->IsActive()) return;
    CloseAllPopups();
}

intptr_t GalleryDialog::OnMessage(uint32_t msg, uintptr_t, intptr_t) {
    if (msg == kMsgCheckFocus) CloseMenusIfFocusLeft();
    return 0;
}

}  // namespace lumbra
