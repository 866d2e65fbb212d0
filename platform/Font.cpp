// SPDX-License-Identifier: GPL-3.0-or-later
#include <QFont>
#include <QStringList>

#include "platform/QtImpl.h"

namespace lumbra {

QFont ToQFont(const FontDesc& desc) {
    QFont font;
    QStringList families;
    if (desc.face == "宋体" || desc.face.empty()) {
        // The face the artwork was laid out with, then the CJK faces a Linux
        // desktop usually has.
        families << QStringLiteral("SimSun") << QStringLiteral("NSimSun")
                 << QStringLiteral("WenQuanYi Micro Hei") << QStringLiteral("Noto Sans CJK SC")
                 << QStringLiteral("Droid Sans Fallback");
    } else {
        families << QString::fromStdString(desc.face) << QStringLiteral("WenQuanYi Micro Hei");
    }
    font.setFamilies(families);
    // A positive height is the cell height, which includes the internal
    // leading (about one eighth); a negative one is the character height.
    int pixels = 12;
    if (desc.height < 0)
        pixels = -desc.height;
    else if (desc.height > 0)
        pixels = desc.height - desc.height / 8;
    font.setPixelSize(std::max(pixels, 1));
    if (desc.weight > 0)
        font.setWeight(static_cast<QFont::Weight>(std::clamp(desc.weight, 100, 900)));
    if (desc.width > 0) {
        // GDI asks for an average character width; the CJK faces' natural
        // Latin width is about half the pixel size.
        int natural = std::max(pixels / 2, 1);
        font.setStretch(std::clamp(desc.width * 100 / natural, 50, 200));
    }
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

}  // namespace lumbra
