// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>

// One palette for every picture. The toolkit paints its lists, popups and scroll bars with fixed
// colours (a dark teal list, a sky-blue highlight, a bright cyan popup frame); the artwork is built
// around them so that painted controls and pictures read as one surface.
namespace skin::palette {

// Colours the toolkit itself paints with, as red, green, blue.
inline const QColor kListBackground{20, 78, 90};
inline const QColor kHighlight{53, 160, 222};
inline const QColor kPopupFrame{32, 255, 244};
inline const QColor kPopupPanel{18, 74, 86};
inline const QColor kTitleText{82, 144, 254};

// Window surfaces, from the deepest to the most raised.
inline const QColor kWindowTop{13, 29, 35};
inline const QColor kWindowBottom{8, 18, 22};
inline const QColor kCard{15, 36, 43};
inline const QColor kCardBorder{34, 82, 94};
inline const QColor kTitleBar{17, 42, 50};
inline const QColor kField{7, 20, 25};
inline const QColor kFieldBorder{40, 96, 110};
inline const QColor kDeck{10, 26, 31};
inline const QColor kDeckBorder{28, 66, 76};

// Text.
inline const QColor kText{226, 240, 243};
inline const QColor kTextDim{128, 168, 177};
inline const QColor kTextOnHighlight{5, 24, 32};

// Raised controls in their three looks.
inline const QColor kButtonTop{33, 70, 81};
inline const QColor kButtonBottom{22, 49, 57};
inline const QColor kButtonBorder{52, 112, 126};
inline const QColor kHoverTop{30, 102, 120};
inline const QColor kHoverBottom{22, 78, 93};
inline const QColor kPressedTop{71, 176, 232};
inline const QColor kPressedBottom{44, 138, 194};
inline const QColor kPressedBorder{150, 214, 246};

// Key caps.
inline const QColor kCapTop{46, 64, 71};
inline const QColor kCapBottom{31, 45, 51};
inline const QColor kCapBorder{66, 90, 99};
inline const QColor kCapLip{14, 21, 25};

// Recording and disabled looks.
inline const QColor kRecord{232, 78, 78};
inline const QColor kRecordDark{150, 38, 44};
inline const QColor kDisabled{70, 82, 86};
inline const QColor kDisabledText{112, 124, 128};

// Pure yellow marks everything outside a window's outline; the window region is built from it.
inline const QColor kOutlineKey{255, 255, 0};
// Colour key of the colour-keyed buttons (radio and region buttons): the pixel at the buttons'
// sample point carries it, and it is used nowhere else in them.
inline const QColor kButtonKey{255, 0, 255};

}  // namespace skin::palette
