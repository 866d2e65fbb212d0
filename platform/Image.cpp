#include "platform/Image.h"

#include <QBuffer>
#include <QImageReader>

#include "platform/QtImpl.h"

namespace lumbra {

namespace {
const QImage& NullQImage() {
    static const QImage null;
    return null;
}
}  // namespace

Image::Image() = default;
Image::Image(std::shared_ptr<Impl> impl) : m_impl(std::move(impl)) {}
Image::~Image() = default;
Image::Image(const Image&) = default;
Image& Image::operator=(const Image&) = default;
Image::Image(Image&&) noexcept = default;
Image& Image::operator=(Image&&) noexcept = default;

Image::Image(int width, int height, Color fill, uint8_t alpha) {
    if (width <= 0 || height <= 0) return;
    QImage img(width, height, QImage::Format_ARGB32_Premultiplied);
    QColor c = ToQColor(fill);
    c.setAlpha(alpha);
    img.fill(c);
    m_impl = std::make_shared<Impl>(Impl{std::move(img)});
}

Image Image::Decode(std::span<const uint8_t> bytes) {
    QImage img;
    if (!img.loadFromData(bytes.data(), static_cast<int>(bytes.size()))) return {};
    return FromQImage(std::move(img));
}

Image Image::Load(const std::string& path) {
    QImage img(QString::fromStdString(path));
    if (img.isNull()) return {};
    return FromQImage(std::move(img));
}

bool Image::SavePng(const std::string& path) const {
    return m_impl && m_impl->image.save(QString::fromStdString(path), "PNG");
}

bool Image::IsNull() const { return !m_impl || m_impl->image.isNull(); }
int Image::Width() const { return m_impl ? m_impl->image.width() : 0; }
int Image::Height() const { return m_impl ? m_impl->image.height() : 0; }

Color Image::PixelColor(int x, int y) const {
    if (!m_impl || !m_impl->image.valid(x, y)) return 0;
    QRgb p = m_impl->image.pixel(x, y);
    return Rgb(static_cast<uint8_t>(qRed(p)), static_cast<uint8_t>(qGreen(p)),
               static_cast<uint8_t>(qBlue(p)));
}

uint8_t Image::PixelAlpha(int x, int y) const {
    if (!m_impl || !m_impl->image.valid(x, y)) return 0;
    return static_cast<uint8_t>(qAlpha(m_impl->image.pixel(x, y)));
}

Image::Impl* Image::mutableImpl() {
    if (!m_impl) return nullptr;
    if (m_impl.use_count() > 1) m_impl = std::make_shared<Impl>(Impl{m_impl->image.copy()});
    return m_impl.get();
}

void Image::SetPixel(int x, int y, Color color, uint8_t alpha) {
    Impl* impl = mutableImpl();
    if (!impl || !impl->image.valid(x, y)) return;
    QColor c = ToQColor(color);
    c.setAlpha(alpha);
    impl->image.setPixel(x, y, qPremultiply(c.rgba()));
}

void Image::Fill(const Rect& r, Color color, uint8_t alpha) {
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) SetPixel(x, y, color, alpha);
}

const QImage& QImageOf(const Image& image) {
    return image.impl() ? image.impl()->image : NullQImage();
}

Image FromQImage(QImage image) {
    if (image.isNull()) return {};
    if (image.format() != QImage::Format_ARGB32_Premultiplied)
        image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return Image(std::make_shared<Image::Impl>(Image::Impl{std::move(image)}));
}

QColor ToQColor(Color c) { return QColor(RedOf(c), GreenOf(c), BlueOf(c)); }

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace lumbra
