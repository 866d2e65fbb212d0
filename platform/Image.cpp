// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Image.h"

#include <QBuffer>
#include <QImageReader>
#include <QResource>
#include <atomic>
#include <chrono>
#include <cstring>
#include <future>
#include <memory>

#include "platform/QtImpl.h"

namespace lumbra {

namespace {
const QImage& NullQImage() {
    static const QImage null;
    return null;
}

QImage Premultiplied(QImage image) {
    // In place where the format allows it (opaque or straight 32-bit pixels,
    // what the decoder gives): no second copy of a large picture.
    if (!image.isNull()) image.convertTo(QImage::Format_ARGB32_Premultiplied);
    return image;
}

QImage DecodeFile(const QString& file, const QByteArray& format) {
    QImageReader reader(file, format);
    QImage image;
    // A reader that fails half-way may leave half a picture behind.
    if (!reader.read(&image)) return {};
    return Premultiplied(std::move(image));
}

// The size in the header of a PNG compiled into the program, read without a
// decoder; empty for anything else.
QSize PngResourceSize(const QString& file) {
    if (!file.startsWith(QLatin1Char(':'))) return {};
    const QResource resource(file);
    if (!resource.isValid() || resource.compressionAlgorithm() != QResource::NoCompression)
        return {};
    const uchar* d = resource.data();
    // Signature, then the IHDR chunk: length, type, width, height.
    if (!d || resource.size() < 24 || std::memcmp(d, "\x89PNG\r\n\x1a\n", 8) != 0 ||
        std::memcmp(d + 12, "IHDR", 4) != 0)
        return {};
    auto bigEndian = [d](int at) {
        return static_cast<uint32_t>(d[at]) << 24 | static_cast<uint32_t>(d[at + 1]) << 16 |
               static_cast<uint32_t>(d[at + 2]) << 8 | static_cast<uint32_t>(d[at + 3]);
    };
    const uint32_t width = bigEndian(16), height = bigEndian(20);
    if (width == 0 || height == 0 || width > INT32_MAX || height > INT32_MAX) return {};
    return QSize(static_cast<int>(width), static_cast<int>(height));
}
}  // namespace

// Pictures decoded one after the other on another thread. A thread that needs
// one of them before it is done decodes the next ones nobody has started
// instead of waiting idle.
struct DecodeBatch {
    struct Job {
        QString file;
        QByteArray format;
        std::promise<QImage> done;
    };
    std::vector<Job> jobs;  // fixed once the worker runs
    std::atomic<size_t> next{0};

    // Decodes the next picture nobody has started; false when none is left.
    bool DecodeNext() {
        const size_t i = next.fetch_add(1);
        if (i >= jobs.size()) return false;
        Job& job = jobs[i];
        // The promise goes once it is kept, so that the picture's only
        // holder is the image that waits for it.
        std::promise<QImage>(std::move(job.done)).set_value(DecodeFile(job.file, job.format));
        return true;
    }
};

namespace {
// The one thread that decodes batches. It is stopped while the application
// object still exists: a worker left decoding while static objects are
// destroyed reads freed state.
struct BackgroundDecoder {
    std::future<void> worker;
    std::atomic<bool> stop{false};
};

BackgroundDecoder& TheBackgroundDecoder() {
    static BackgroundDecoder decoder;
    return decoder;
}
}  // namespace

const QImage& Image::Impl::Pixels() {
    if (decoding.valid() || !source.isEmpty()) {
        if (decoding.valid()) {
            while (batch &&
                   decoding.wait_for(std::chrono::seconds(0)) != std::future_status::ready &&
                   batch->DecodeNext()) {
            }
            image = decoding.get();
        } else {
            image = DecodeFile(source, format);
        }
        decoding = {};
        batch.reset();
        source.clear();
        // A picture that turned out not to decode keeps the size it promised.
        if (image.size() != size) {
            image = QImage(size, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
        }
    }
    return image;
}

Image::Impl* Image::Impl::Double() {
    if (!doubled && !doubleSource.isEmpty()) {
        QString file = doubleSource;
        if (doubleBeside) file.insert(file.lastIndexOf(QLatin1Char('.')), QStringLiteral("@2x"));
        // Only a picture of exactly twice the size stands in for this one.
        Image twice = Image::LoadWhenUsed(file.toStdString(), "png");
        doubleSource.clear();
        if (twice.Width() == size.width() * 2 && twice.Height() == size.height() * 2)
            doubled = twice.SharedImpl();
    }
    return doubled.get();
}

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
    m_impl = std::make_shared<Impl>(
        Impl{std::move(img), {}, QSize(width, height), {}, {}, {}, {}, {}, {}});
}

Image Image::Decode(std::span<const uint8_t> bytes) {
    QImage img;
    if (!img.loadFromData(bytes.data(), static_cast<int>(bytes.size()))) return {};
    return FromQImage(std::move(img));
}

Image Image::LoadWhenUsed(const std::string& path, const char* format) {
    const QString file = QString::fromStdString(path);
    const QByteArray type(format ? format : "");
    QSize size = type == "png" ? PngResourceSize(file) : QSize();
    if (size.isEmpty()) size = QImageReader(file, type).size();
    if (size.isEmpty()) return {};
    return Image(std::make_shared<Impl>(Impl{QImage(), file, size, type, {}, {}, {}, {}, {}}));
}

void Image::DecodeInBackground(const std::vector<Image>& images) {
    auto batch = std::make_shared<DecodeBatch>();
    batch->jobs.reserve(images.size());
    for (const Image& image : images) {
        Impl* impl = image.m_impl.get();
        if (!impl || impl->source.isEmpty() || impl->decoding.valid()) continue;
        batch->jobs.push_back({impl->source, impl->format, {}});
        impl->decoding = batch->jobs.back().done.get_future().share();
        impl->batch = batch;
    }
    if (batch->jobs.empty()) return;
    BackgroundDecoder& decoder = TheBackgroundDecoder();
    if (decoder.worker.valid()) decoder.worker.wait();
    decoder.stop = false;
    decoder.worker = std::async(std::launch::async, [batch, &decoder] {
        while (!decoder.stop && batch->DecodeNext()) {
        }
    });
}

void Image::StopBackgroundDecoding() {
    BackgroundDecoder& decoder = TheBackgroundDecoder();
    if (!decoder.worker.valid()) return;
    decoder.stop = true;
    decoder.worker.wait();
    decoder.worker = {};
    decoder.stop = false;
}

Image Image::Load(const std::string& path) {
    QImage img(QString::fromStdString(path));
    if (img.isNull()) return {};
    return FromQImage(std::move(img));
}

bool Image::SavePng(const std::string& path) const {
    return m_impl && m_impl->Pixels().save(QString::fromStdString(path), "PNG");
}

void Image::SetDoubleSource(const std::string& path) {
    if (!m_impl) return;
    m_impl->doubleSource = QString::fromStdString(path);
    m_impl->doubleBeside = false;
}

void Image::SetDoubleBeside() {
    // Shares the file name's characters: thousands of pictures cost no more.
    if (!m_impl || m_impl->source.lastIndexOf(QLatin1Char('.')) < 0) return;
    m_impl->doubleSource = m_impl->source;
    m_impl->doubleBeside = true;
}

Image Image::DoubleSize() const {
    Impl* impl = m_impl.get();
    return impl && impl->Double() ? Image(impl->doubled) : Image();
}

bool Image::IsNull() const { return !m_impl || m_impl->size.isEmpty(); }
int Image::Width() const { return m_impl ? m_impl->size.width() : 0; }
int Image::Height() const { return m_impl ? m_impl->size.height() : 0; }

std::span<const uint32_t> Image::Row(int y) const {
    if (!m_impl || y < 0 || y >= m_impl->size.height()) return {};
    const QImage& pixels = m_impl->Pixels();
    return {reinterpret_cast<const uint32_t*>(pixels.constScanLine(y)),
            static_cast<size_t>(pixels.width())};
}

Color Image::PixelColor(int x, int y) const {
    const auto row = Row(y);
    if (x < 0 || static_cast<size_t>(x) >= row.size()) return 0;
    return ColorOfPixel(row[static_cast<size_t>(x)]);
}

uint8_t Image::PixelAlpha(int x, int y) const {
    const auto row = Row(y);
    if (x < 0 || static_cast<size_t>(x) >= row.size()) return 0;
    return static_cast<uint8_t>(row[static_cast<size_t>(x)] >> 24);
}

Image::Impl* Image::mutableImpl() {
    if (!m_impl) return nullptr;
    m_impl->Pixels();
    if (m_impl.use_count() > 1)
        m_impl = std::make_shared<Impl>(
            Impl{m_impl->image.copy(), {}, m_impl->size, {}, {}, {}, {}, {}, {}});
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
    // Decoding on first use changes no pixel anyone has seen.
    return image.impl() ? const_cast<Image::Impl*>(image.impl())->Pixels() : NullQImage();
}

const QImage* DoubleQImageOf(const Image& image) {
    auto* impl = const_cast<Image::Impl*>(image.impl());
    Image::Impl* doubled = impl ? impl->Double() : nullptr;
    return doubled ? &doubled->Pixels() : nullptr;
}

Image FromQImage(QImage image) {
    if (image.isNull()) return {};
    image = Premultiplied(std::move(image));
    const QSize size = image.size();
    return Image(std::make_shared<Image::Impl>(
        Image::Impl{std::move(image), {}, size, {}, {}, {}, {}, {}, {}}));
}

QColor ToQColor(Color c) { return QColor(RedOf(c), GreenOf(c), BlueOf(c)); }

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace lumbra
