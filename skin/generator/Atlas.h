// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QMap>
#include <QRect>
#include <vector>

// Many small pictures packed into one, so that a window showing them all decodes one picture
// instead of a hundred.
namespace skin {

struct AtlasPlace {
    int id;
    QRect place;  // logical pixels
};

// Places pictures of these sizes (logical pixels, by id) in rows of at most width, tallest
// first; every place is apart from the others.
std::vector<AtlasPlace> PackAtlas(const QMap<int, QSize>& sizes, int width);

// The pictures (drawn at scale device pixels to a logical one) copied into their places,
// unchanged; transparent elsewhere.
QImage DrawAtlas(const std::vector<AtlasPlace>& places, const QMap<int, QImage>& pictures,
                 int scale);

}  // namespace skin
