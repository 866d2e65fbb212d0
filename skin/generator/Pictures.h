// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <functional>
#include <vector>

// The catalogue of every picture the program asks for by id, and how each one is drawn.
namespace skin {

enum class Kind {
    kPng,     // strip of state frames with alpha, ":/skin/png/<id>.png"
    kBitmap,  // opaque picture, ":/skin/bmp/<id>.png"
    kIcon,    // the program icon, ":/skin/icon/<id>.png" plus sized copies
};

struct Picture {
    int id;
    Kind kind;
    int frames;       // frames side by side; 1 for a single picture
    QSize frameSize;  // the picture is frames * width wide
    QString text;     // what the picture says, for people reading the catalogue
    std::function<QImage()> render;
};

// Every picture, PNG strips first, then bitmaps, then the icon.
const std::vector<Picture>& Catalogue();

// Where a picture lives among the compiled-in resources, relative to ":/skin/".
QString ResourceName(const Picture& picture);

// The same picture drawn with twice the pixels: "png/<id>@2x.png", "bmp/<id>@2x.png".
QString DoubleResourceName(const Picture& picture);

// How far each character of the glyph strips moves the pen, in logical pixels.
std::vector<int> MeasureGlyphAdvances();

// Sizes of the extra icon pictures, ":/skin/icon/387-<size>.png".
inline constexpr int kIconSizes[] = {16, 32, 48, 64, 128, 256};
QImage RenderIcon(int size);

// Pictures of the main window's and dialogs' backgrounds (Backgrounds.cpp).
QImage RenderMainWindow();
QImage RenderMacroPanel();
QImage RenderGKeyPanel();
QImage RenderLightingPanel();
QImage RenderKeySettingDialog();
QImage RenderShortcutDialog();
QImage RenderQuickLaunchDialog();
QImage RenderMessageDialog();
QImage RenderResetDialog(const QString& question, const QString& detail);
QImage RenderEditProfileDialog();
QImage RenderMacroManager();
QImage RenderMacroManagerPanel();
QImage RenderSetNameDialog(const QString& title, const QString& caption);
QImage RenderNoticeDialog(const QString& title, const QString& notice);

// The main window's key buttons: id, picture id, place and size, full name, legend on the cap.
struct KeyArt {
    int buttonId;
    int pngId;
    int x, y, width, height;
    const char* name;
    const char* legend;
};
const std::vector<KeyArt>& Keys();

}  // namespace skin
