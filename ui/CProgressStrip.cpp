// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/CProgressStrip.h"

#include <algorithm>

#include "ui/GlyphLine.h"

namespace lumbra {

namespace {
constexpr Color kCaptionColor = InkColor(kWorkerCaptionInk);
}  // namespace

bool CProgressStrip::LoadImageStrip(int pngId) {
    return lumbra::LoadImageStrip(m_strip, pngId, kFrames);
}

int CProgressStrip::FrameFor(int done, int total) {
    if (total <= 0 || done <= 0) return 0;
    if (done >= total) return kFrames - 1;
    // Rounded down, and never full before the end.
    const long long frame = static_cast<long long>(done) * (kFrames - 1) / total;
    return std::clamp(static_cast<int>(frame), 0, kFrames - 2);
}

void CProgressStrip::SetProgress(int done, int total) {
    const int frame = FrameFor(done, total);
    if (frame == m_frame) return;
    m_frame = frame;
    Invalidate();
}

void CProgressStrip::SetCaption(const std::string& caption) {
    if (caption == m_caption) return;
    m_caption = caption;
    Invalidate();
}

void CProgressStrip::Draw(Surface& surface, const Rect&) {
    const Rect caption{m_rect.left, m_rect.top, m_rect.left + kCaptionWidth - 6, m_rect.bottom};
    DrawLineText(surface, m_caption, caption, kCaptionColor, Font(),
                 TextFlags::kLabel | TextFlags::kRight);
    const int barHeight = m_strip.frameHeight > 0 ? m_strip.frameHeight : m_rect.Height();
    const int top = m_rect.top + (m_rect.Height() - barHeight) / 2;
    DrawStripFrame(surface, m_strip, m_frame,
                   Rect{m_rect.left + kCaptionWidth, top, m_rect.right, top + barHeight});
}

bool CProgressStrip::OnMouseMove(uint32_t, int, int) { return false; }
bool CProgressStrip::OnLButtonDown(uint32_t, int, int) { return false; }
bool CProgressStrip::OnLButtonUp(uint32_t, int, int) { return false; }

}  // namespace lumbra
