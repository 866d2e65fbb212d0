// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// The skin's pictures are compiled into the program as resources, one file per id:
//   ":/skin/png/<id>.png"   strips of state frames, with alpha
//   ":/skin/bmp/<id>.png"   opaque pictures (backgrounds, panels, notices, keyed buttons)
//   ":/skin/png/<id>@2x.png", ":/skin/bmp/<id>@2x.png"
//                           the same pictures with twice the pixels in each direction
//   ":/skin/icon/387.png"   the program icon, 32 pixels; ":/skin/icon/387-<size>.png" for
//                           16, 32, 48, 64, 128 and 256 pixels
namespace lumbra {

// Registers the skin's resources. Call once before the first picture is loaded; later calls do
// nothing.
void InitSkinResources();

// Colour-keyed OK and Cancel buttons for the region buttons of the outlined dialogs and the macro
// manager: three frames side by side (normal, hover, pressed), the key colour at the sample point.
// The close region buttons use bitmap 388 (23 x 21 frames, sample point (0, 20)); the shortcut
// dialog's check boxes fit PNG 156 (12 x 12) and the quick-launch browse button PNG 177 (22 x 18).
inline constexpr int kRegionOkBitmap = 389;           // 52 x 21 frames, sample point (0, 20)
inline constexpr int kRegionCancelBitmap = 390;       // 91 x 21 frames, sample point (0, 20)
inline constexpr int kRegionOkLargeBitmap = 391;      // 73 x 29 frames, sample point (0, 28)
inline constexpr int kRegionCancelLargeBitmap = 392;  // 66 x 29 frames, sample point (0, 28)

inline std::string PngResourcePath(int id) { return ":/skin/png/" + std::to_string(id) + ".png"; }
inline std::string BitmapResourcePath(int id) {
    return ":/skin/bmp/" + std::to_string(id) + ".png";
}
inline std::string IconResourcePath(int id, int size = 0) {
    return ":/skin/icon/" + std::to_string(id) + (size > 0 ? "-" + std::to_string(size) : "") +
           ".png";
}

}  // namespace lumbra
