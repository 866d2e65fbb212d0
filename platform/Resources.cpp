#include "platform/Resources.h"

#include <QImage>
#include <QString>
#include <map>
#include <utility>

#include "platform/QtImpl.h"

namespace lumbra {

namespace {

std::map<std::pair<ResourceKind, int>, Image>& Cache() {
    static std::map<std::pair<ResourceKind, int>, Image> cache;
    return cache;
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

}  // namespace

Image LoadResourceImage(ResourceKind kind, int id) {
    auto key = std::make_pair(kind, id);
    auto it = Cache().find(key);
    if (it != Cache().end()) return it->second;
    QImage img(ResourcePath(kind, id));
    Image image = img.isNull() ? Image() : FromQImage(std::move(img));
    Cache().emplace(key, image);
    return image;
}

void RegisterResourceImage(ResourceKind kind, int id, Image image) {
    Cache()[std::make_pair(kind, id)] = std::move(image);
}

void ClearResourceImages() { Cache().clear(); }

}  // namespace lumbra
