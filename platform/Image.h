// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

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
    // Reads only the size now and decodes the pixels when they are first
    // used; a file that then fails to decode reads as transparent black.
    // format ("png") spares guessing it.
    static Image LoadWhenUsed(const std::string& path, const char* format = nullptr);
    // Starts decoding such pictures, one after the other, on another thread;
    // the first use of each waits for it. UI thread only.
    static void DecodeInBackground(const std::vector<Image>& images);
    // Stops that thread after the picture it is decoding and waits for it;
    // the pictures it did not reach decode when first used. UI thread only.
    static void StopBackgroundDecoding();
    bool SavePng(const std::string& path) const;

    // Names the file of the same picture with twice the pixels in each
    // direction. Surfaces with more device pixels than logical ones draw from
    // it; it is read only then. A change to this image forgets it.
    void SetDoubleSource(const std::string& path);
    // The same for a picture loaded when used whose double is the file of the
    // same name with "@2x" before its extension.
    void SetDoubleBeside();
    // That picture; empty when there is none or it is not twice the size.
    Image DoubleSize() const;

    bool IsNull() const;
    int Width() const;
    int Height() const;
    // Out-of-range points read as 0 (black, transparent). Colours are
    // premultiplied by their alpha.
    Color PixelColor(int x, int y) const;
    uint8_t PixelAlpha(int x, int y) const;
    // One row of pixels as premultiplied 0xAARRGGBB words, Width() of them;
    // empty for a row out of range. Valid until the image is changed.
    std::span<const uint32_t> Row(int y) const;
    static constexpr Color ColorOfPixel(uint32_t argb) {
        return Rgb(static_cast<uint8_t>(argb >> 16), static_cast<uint8_t>(argb >> 8),
                   static_cast<uint8_t>(argb));
    }
    void SetPixel(int x, int y, Color color, uint8_t alpha = 255);
    void Fill(const Rect& r, Color color, uint8_t alpha = 255);

    struct Impl;
    const Impl* impl() const { return m_impl.get(); }
    Impl* mutableImpl();
    explicit Image(std::shared_ptr<Impl> impl);
    const std::shared_ptr<Impl>& SharedImpl() const { return m_impl; }

private:
    std::shared_ptr<Impl> m_impl;
};

}  // namespace lumbra
