// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "ui/CControlBase.h"
#include "ui/ImageRoutines.h"

namespace lumbra {

// How far a job has come, drawn from a strip of kFrames frames (empty to
// full) with a caption to its left. It takes no input.
class CProgressStrip : public CControlBase {
public:
    static constexpr int kFrames = 17;
    static constexpr int kCaptionWidth = 150;  // left of the bar, inside the rectangle

    using CControlBase::CControlBase;

    bool LoadImageStrip(int pngId);
    // The frame for done of total steps: 0 before the first, the last only
    // when everything is done.
    static int FrameFor(int done, int total);
    void SetProgress(int done, int total);
    void SetCaption(const std::string& caption);
    int Frame() const { return m_frame; }
    const std::string& Caption() const { return m_caption; }

    AccessibleRole Role() const override { return AccessibleRole::kProgressBar; }
    std::string AccessibleName() const override { return m_caption; }
    void Draw(Surface& surface, const Rect& updateRect) override;
    bool OnMouseMove(uint32_t flags, int x, int y) override;
    bool OnLButtonDown(uint32_t flags, int x, int y) override;
    bool OnLButtonUp(uint32_t flags, int x, int y) override;

private:
    ImageStrip m_strip;
    int m_frame = 0;
    std::string m_caption;
};

}  // namespace lumbra
