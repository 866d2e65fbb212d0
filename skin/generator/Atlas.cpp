// SPDX-License-Identifier: GPL-3.0-or-later
#include "skin/generator/Atlas.h"

#include <algorithm>
#include <cstring>

namespace skin {

std::vector<AtlasPlace> PackAtlas(const QMap<int, QSize>& sizes, int width) {
    std::vector<std::pair<int, QSize>> order(sizes.keyValueBegin(), sizes.keyValueEnd());
    std::stable_sort(order.begin(), order.end(), [](const auto& a, const auto& b) {
        return a.second.height() > b.second.height();
    });
    std::vector<AtlasPlace> places;
    int x = 0, y = 0, rowHeight = 0;
    for (const auto& [id, size] : order) {
        if (x > 0 && x + size.width() > width) {
            x = 0;
            y += rowHeight;
            rowHeight = 0;
        }
        places.push_back({id, QRect(QPoint(x, y), size)});
        x += size.width();
        rowHeight = std::max(rowHeight, size.height());
    }
    return places;
}

QImage DrawAtlas(const std::vector<AtlasPlace>& places, const QMap<int, QImage>& pictures,
                 int scale) {
    QRect bounds;
    for (const AtlasPlace& p : places) bounds |= p.place;
    QImage atlas(bounds.width() * scale, bounds.height() * scale, QImage::Format_ARGB32);
    atlas.fill(Qt::transparent);
    for (const AtlasPlace& p : places) {
        const QImage picture = pictures.value(p.id).convertToFormat(QImage::Format_ARGB32);
        const auto rowBytes = static_cast<size_t>(picture.width()) * 4;
        for (int row = 0; row < picture.height(); ++row)
            std::memcpy(atlas.scanLine(p.place.y() * scale + row) + p.place.x() * scale * 4,
                        picture.constScanLine(row), rowBytes);
    }
    atlas.setDevicePixelRatio(scale);
    return atlas;
}

}  // namespace skin
