// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

#include "model/MacroLibrary.h"
#include "ui/CComboPopup.h"
#include "ui/CDlgBase.h"

namespace lumbra {

class CComboButton;
class CEditShowList;
class CImageShowList;
class CVScrollBar;

// A window with one of every control and a way to open every popup, laid
// out like the main window's four pages, so that people can try the toolkit
// and look at the skin.
class GalleryDialog : public CDlgBase {
public:
    GalleryDialog();
    ~GalleryDialog() override;

    bool OnInitDialog() override;
    void DrawBackground(Surface& surface, const Rect& client) override;
    void BuildControls(int left, int top, int right, int bottom) override;
    intptr_t OnMessage(uint32_t msg, uintptr_t first, intptr_t second) override;

    // Shows page 0..3 as the page tabs do.
    void ShowPage(int page);
    int Page() const { return m_page; }
    // Opens the popup a combo button or a submenu request would open; the
    // names are those of ShowcasePopups().
    void OpenPopup(const std::string& name);
    static const char* const* ShowcasePopups(int* count);
    MacroLibrary& Library() { return m_library; }

private:
    void OpenBelow(PopupSlot slot, uint32_t controlId, CWndPopup* popup);
    // The G-key function menu of a G-key combo button.
    void OpenFunctionMenu(uint32_t comboId);
    // Closes the sub-lists of the function menu and opens the one wanted, if any.
    void OpenSubList(std::optional<FunctionSubList> list, uint32_t comboId);
    // Next to the hovered item of the G-key function popup.
    void OpenSubmenu(PopupSlot slot, CWndPopup* popup, uint32_t comboId);
    // A list whose choice shows on the combo button comboId.
    CWndPopup* ShowingChoiceOn(CWndPopup* popup, uint32_t comboId);
    void CloseAllPopups();
    // Once the focus has settled: a submenu taking it deactivates its menu.
    void CloseMenusIfFocusLeft();
    void ShowChoice(uint32_t controlId, const std::string& text);
    void ShowSelections();
    void RefreshLists();
    void OpenMacroSetList();
    // A press on a part of a list's bar, a drag of its thumb or the release.
    void Scroll(bool macros, std::optional<ScrollPart> part, bool dragged);

    MacroLibrary m_library;
    CEditShowList* m_macroList = nullptr;
    CImageShowList* m_actionList = nullptr;
    CVScrollBar* m_macroScroll = nullptr;
    CVScrollBar* m_actionScroll = nullptr;
    uint32_t m_comboOwner = 0;
    int m_page = 0;
    int m_subPage = 0;
    int m_radio = 0;
};

}  // namespace lumbra
