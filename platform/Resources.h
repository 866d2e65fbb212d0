// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <utility>
#include <vector>

#include "platform/Image.h"

namespace lumbra {

// The kinds of pictures the program carries, each addressed by an integer id.
enum class ResourceKind { kPng, kBitmap, kIcon };

// The picture with this id, decoded once when its pixels are first used and
// kept for the whole run; an empty image when there is none. A picture of a
// megabyte or more decoded is kept only while a copy of it is alive, and
// decoded again when needed after that. UI thread only.
Image LoadResourceImage(ResourceKind kind, int id);

// Starts decoding pictures the first frame needs on another thread, in this
// order, and keeps them decoded until ReleasePrefetchedImages.
void PrefetchResourceImages(const std::vector<std::pair<ResourceKind, int>>& pictures);
void ReleasePrefetchedImages();
// Stops the decoding thread and releases what it prefetched; every way out of
// the program's start passes here before the application object goes.
void StopPrefetchingImages();

// Puts a picture in place of (or in addition to) the compiled-in one. Tests
// and demo programs use it to supply their own pictures.
void RegisterResourceImage(ResourceKind kind, int id, Image image);
// Forgets every registered and cached picture.
void ClearResourceImages();

}  // namespace lumbra
