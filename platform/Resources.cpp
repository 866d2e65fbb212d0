// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Resources.h"

#include <QGuiApplication>
#include <QScreen>
#include <QString>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "platform/QtImpl.h"

namespace lumbra {

namespace {

// Decoded pictures this large (the main window's background) are kept only
// while someone draws from them: the windows keep what they made of them.
constexpr int64_t kKeepDecodedLimit = 1 << 20;

struct Entry {
    Image kept;                        // a small, missing or registered picture
    bool large = false;                // kept only while in use:
    std::weak_ptr<Image::Impl> inUse;  // the large picture's pixels, while in use
};

std::map<std::pair<ResourceKind, int>, Entry>& Cache() {
    static std::map<std::pair<ResourceKind, int>, Entry> cache;
    return cache;
}

std::vector<Image>& Prefetched() {
    static std::vector<Image> prefetched;
    return prefetched;
}

QString ResourcePath(ResourceKind kind, int id) {
    switch (kind) {
        case ResourceKind::kPng:
            return QStringLiteral(":/skin/png/%1.png").arg(id);
        case ResourceKind::kBitmap:
            return QStringLiteral(":/skin/bmp/%1.png").arg(id);
        case ResourceKind::kIcon:
            return QStringLiteral(":/skin/icon/%1.png").arg(id);
    }
    return {};
}

// Windows shown on a screen with more device pixels than logical ones draw
// from the pictures with twice the pixels: those are the ones worth having
// decoded before the first frame.
bool ScreensWantDoublePictures() {
    const QScreen* screen = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                                ? QGuiApplication::primaryScreen()
                                : nullptr;
    return screen && screen->devicePixelRatio() > 1.0;
}

bool Large(const Image& image) {
    return static_cast<int64_t>(image.Width()) * image.Height() * 4 >= kKeepDecodedLimit;
}

}  // namespace

Image LoadResourceImage(ResourceKind kind, int id) {
    const auto key = std::make_pair(kind, id);
    auto it = Cache().find(key);
    if (it != Cache().end()) {
        if (!it->second.large) return it->second.kept;
        if (auto live = it->second.inUse.lock()) return Image(std::move(live));
    }
    // Every control takes its pictures when it is built, most of them for
    // pages not shown yet; only the size is read until a picture is drawn.
    Image image = Image::LoadWhenUsed(ResourcePath(kind, id).toStdString(), "png");
    // Each picture but the icons (which come in sizes of their own) has its
    // double beside it: "<id>@2x.png".
    if (kind != ResourceKind::kIcon) image.SetDoubleBeside();
    Entry& entry = Cache()[key];
    entry.large = Large(image);
    if (entry.large)
        entry.inUse = image.SharedImpl();
    else
        entry.kept = image;
    return image;
}

void PrefetchResourceImages(const std::vector<std::pair<ResourceKind, int>>& pictures) {
    std::vector<Image> images;
    const bool twice = ScreensWantDoublePictures();
    for (const auto& [kind, id] : pictures) {
        Image image = LoadResourceImage(kind, id);
        if (Image doubled = twice ? image.DoubleSize() : Image(); !doubled.IsNull())
            images.push_back(std::move(doubled));
        else
            images.push_back(std::move(image));
    }
    Image::DecodeInBackground(images);
    Prefetched().insert(Prefetched().end(), images.begin(), images.end());
}

void ReleasePrefetchedImages() { Prefetched().clear(); }

void StopPrefetchingImages() {
    Image::StopBackgroundDecoding();
    ReleasePrefetchedImages();
}

void RegisterResourceImage(ResourceKind kind, int id, Image image) {
    Cache()[std::make_pair(kind, id)] = Entry{std::move(image), false, {}};
}

void ClearResourceImages() {
    Cache().clear();
    Prefetched().clear();
}

}  // namespace lumbra
