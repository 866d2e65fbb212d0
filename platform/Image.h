#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "platform/Geometry.h"

namespace lumbra {

// A decoded picture with per-pixel alpha. Copies share the pixels until one
// of them is changed.
class Image {
public:
    Image();
    Image(int width, int height, Color fill, uint8_t alpha = 255);
    ~Image();
    Image(const Image&);
    Image& operator=(const Image&);
    Image(Image&&) noexcept;
    Image& operator=(Image&&) noexcept;

    // PNG (or any format the platform decodes); an empty image on failure.
    static Image Decode(std::span<const uint8_t> bytes);
    static Image Load(const std::string& path);
    bool SavePng(const std::string& path) const;

    bool IsNull() const;
    int Width() const;
    int Height() const;
    // Out-of-range points read as 0 (black, transparent).
    Color PixelColor(int x, int y) const;
    uint8_t PixelAlpha(int x, int y) const;
    void SetPixel(int x, int y, Color color, uint8_t alpha = 255);
    void Fill(const Rect& r, Color color, uint8_t alpha = 255);

    struct Impl;
    const Impl* impl() const { return m_impl.get(); }
    Impl* mutableImpl();
    explicit Image(std::shared_ptr<Impl> impl);

private:
    std::shared_ptr<Impl> m_impl;
};

}  // namespace lumbra
