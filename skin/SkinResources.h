// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
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

// The window's own lines of text (the profile being edited, the state of the changes, the worker's
// caption) are drawn from strips of their characters, so that a window shows them without setting
// up a font. Frame i of a strip is the character kGlyphFirst + i in the control font, and the
// last frame is the ellipsis '…'; each character's pen position is kGlyphPad pixels from its
// frame's left edge and its baseline where the font's ascent puts it. Each strip is drawn in one
// ink.
inline constexpr char kGlyphFirst = ' ';
inline constexpr int kGlyphAsciiCount = 95;  // ' ' to '~'
inline constexpr int kGlyphEllipsis = kGlyphAsciiCount;
inline constexpr int kGlyphCount = kGlyphAsciiCount + 1;
inline constexpr int kGlyphPad = 2;

struct GlyphInk {
    int pngId;
    uint8_t red, green, blue;
};
inline constexpr GlyphInk kProfileLineInk{420, 0xD8, 0xE6, 0xF0};
inline constexpr GlyphInk kPendingLineInk{421, 0xFF, 0xB3, 0x40};
inline constexpr GlyphInk kSentLineInk{422, 0x78, 0xE0, 0xAA};
inline constexpr GlyphInk kWorkerCaptionInk{423, 226, 240, 243};
inline constexpr GlyphInk kGlyphInks[] = {kProfileLineInk, kPendingLineInk, kSentLineInk,
                                          kWorkerCaptionInk};

// How far each character of the strips moves the pen, in logical pixels, as measured when the
// strips were drawn.
std::span<const uint8_t, kGlyphCount> GlyphAdvances();

// The main window's key caps, each its own PNG, are packed once more into one picture, which a
// window showing them decodes instead of a hundred.
inline constexpr int kKeyCapAtlasPng = 430;
struct AtlasPlace {
    int pngId;
    int x, y, width, height;  // in the atlas, logical pixels
};
// Where each key cap's strip sits in the atlas.
std::span<const AtlasPlace> KeyCapAtlasPlaces();

inline std::string PngResourcePath(int id) { return ":/skin/png/" + std::to_string(id) + ".png"; }
inline std::string BitmapResourcePath(int id) {
    return ":/skin/bmp/" + std::to_string(id) + ".png";
}
inline std::string IconResourcePath(int id, int size = 0) {
    return ":/skin/icon/" + std::to_string(id) + (size > 0 ? "-" + std::to_string(size) : "") +
           ".png";
}

}  // namespace lumbra
