// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/MainWindowLayout.h"
#include "device/DeviceWorker.h"
#include "platform/Geometry.h"
#include "platform/Image.h"
#include "platform/Surface.h"

namespace lumbra {

class CComboButton;
class CDlgBase;
class CKeyboardButton;
class CProgressStrip;
class CTabControl;
struct ChoiceRecord;
class MacroLibrary;

constexpr int kMainWindowPageCount = 4;

// The strip that shows the keyboard's worker at work, under OK, Cancel and
// Apply, with its caption to the left.
constexpr uint32_t kProgressStripId = 0x7FB;
constexpr int kProgressStripPicture = 402;
// Below the bottom panel's hint, clear of every frame line, tall enough for
// its caption.
constexpr LayoutRect kProgressStripRect{432, 590, 297, 18};
// A strip shown for a short job stays this long, so that it can be read.
constexpr int kProgressStripMinimumMs = 600;
constexpr std::string_view kWorkerWritingCaption = "Writing to the keyboard…";
constexpr std::string_view kWorkerReadingCaption = "Reading the keyboard…";

// The strip shows while the worker is busy, with the caption of what it does
// and how far it has come.
void ShowWorkerProgress(CProgressStrip& strip, const DeviceProgress& progress);

// The controls of the main window's layout that show the model.
struct MainWindowControlSet {
    std::array<CTabControl*, 5> gKeyTabs{};
    std::array<CComboButton*, 5> gKeyButtons{};
    std::vector<CKeyboardButton*> keyButtons;
    CComboButton* colorButton = nullptr;
    CComboButton* brightnessButton = nullptr;
    CProgressStrip* progressStrip = nullptr;
};

// Makes every control of the layout, and the progress strip, in the dialog
// whose client area starts at (left, top); the first page is shown.
MainWindowControlSet BuildMainWindowControls(CDlgBase& dlg, int left, int top,
                                             MacroLibrary* library);

// What the window says of its state, in the header and beside OK, Cancel and Apply.
struct WindowStateShown {
    int profile = 0;  // 0..4
    std::string profileName;
    bool pending = false;  // changes not yet sent: a line and a mark on Apply
    bool sent = false;     // a write has just ended: a line says so for a while
};
constexpr std::string_view kPendingLine = "Changes not yet sent";
constexpr std::string_view kSentLine = "Sent to the keyboard.";
// How long the line that confirms a write stays.
constexpr int kSentLineMs = 3000;
// The header's line that names the profile being edited.
std::string ProfileLine(int profile, const std::string& name);
// apply: the Apply button, which carries the mark of pending changes.
void DrawWindowState(Surface& surface, const WindowStateShown& state, const Rect& apply);


// The panel of pages 1..3 and the callout picture (0: none) over the background.
void DrawPagePanelAndCallout(Surface& surface, int page, int calloutBitmap);
// The minimised window: the icon, centred.
void DrawMinimizedIcon(Surface& surface, const Rect& client, Color background, const Image& icon);

// The lighting buttons' drop-down lists (buttonId: the colour or the
// brightness button), below their button; the list hands the user's choice to
// onChoice and says when a click elsewhere took its activation.
void OpenLightingList(CDlgBase& dlg, uint32_t buttonId,
                      std::function<void(const ChoiceRecord&)> onChoice,
                      std::function<void()> onDeactivated);
void CloseLightingList(CDlgBase& dlg, uint32_t buttonId);

}  // namespace lumbra
