// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace lumbra {

// The classes of the main window's controls.
enum class ControlKind {
    kImageButton,
    kTabControl,
    kKeyboardButton,
    kCheckButton,
    kComboButton,
    kImageShowList,
    kEditShowList,
    kVScrollBar,
};

struct LayoutRect {
    int x;
    int y;
    int width;
    int height;
};

// The main window's pages, by what they show; each has a control list of its
// own (PageList), list 0 holding what every page shows.
enum class MainPage {
    kKeyboard,  // the keyboard picture and the G-key pictures
    kMacros,    // the macro editor
    kGKeys,     // the G keys' functions
    kLighting,
};
constexpr int PageList(MainPage page) { return static_cast<int>(page) + 1; }

// One control of the main window, in creation order. Rectangles are relative
// to the client area's top-left corner.
struct ControlLayout {
    int id;
    ControlKind kind;
    int list;  // 0 always shown, else PageList(page)
    LayoutRect rect;
    int png;                   // image strip id, 0 for the lists and scroll bars
    int frames;                // frames of the strip
    std::string_view keyName;  // key buttons: name and factory code
    uint8_t keyCode;
    int releaseMessage;            // combo buttons: the message a release sends
    std::string_view displayText;  // combo buttons: the text shown at start
};

// Every control of the main window, lists 0 to 4 in creation order.
std::span<const ControlLayout> MainWindowControls();

// The main window: size, title and the numeric edit of the macro page.
constexpr int kMainWindowWidth = 818;
constexpr int kMainWindowHeight = 628;
constexpr std::string_view kMainWindowTitle = "Lumbra";
constexpr int kBackgroundBitmap = 129;
constexpr LayoutRect kLoopCountEditRect{557, 404, 92, 20};

// Page panels drawn over the background for pages 1..3, and the callout.
constexpr int kPagePanelBitmaps[4] = {0, 261, 259, 260};
constexpr LayoutRect kPagePanelRect{75, 137, 663, 344};
constexpr int kCalloutWidth = 159;
constexpr int kCalloutHeight = 175;
// A callout bitmap id above this one stands on the right of the window.
constexpr int kCalloutRightThreshold = 218;
constexpr int kCalloutRightX = 657;
constexpr int kCalloutLeftX = 266;
constexpr int kCalloutY = 177;

}  // namespace lumbra
