// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "../platform/MouseEvents.h"
#include "platform/Application.h"
#include "platform/Resources.h"
#include "ui/CDlgBase.h"
#include "ui/Selections.h"

namespace lumbra::test {

struct Msg {
    uint32_t msg;
    uintptr_t first;
    intptr_t second;
    friend bool operator==(const Msg&, const Msg&) = default;
};

inline std::ostream& operator<<(std::ostream& os, const Msg& m) {
    return os << "{" << m.msg << ", " << m.first << ", " << m.second << "}";
}

// The colour synthetic strips give frame k, so a drawn frame can be read back.
constexpr Color FrameColor(int k) { return Rgb(static_cast<uint8_t>(40 + 30 * k), 90, 10); }

// A strip of `frames` frames of w x h, frame k filled with FrameColor(k).
inline Image MakeStrip(int frames, int w, int h) {
    Image img(frames * w, h, 0);
    for (int k = 0; k < frames; ++k) img.Fill(Rect::FromSize(k * w, 0, w, h), FrameColor(k));
    return img;
}

// Picture ids the tests supply themselves.
constexpr int kStrip3 = 9003;
constexpr int kStrip5 = 9005;
constexpr int kStrip7 = 9007;
constexpr int kKeyedBitmap = 9101;  // 3 frames of 17 x 17, magenta at (0, 0) of frame 0
constexpr Color kMagenta = Rgb(255, 0, 255);

inline void RegisterTestPictures() {
    RegisterResourceImage(ResourceKind::kPng, kStrip3, MakeStrip(3, 10, 10));
    RegisterResourceImage(ResourceKind::kPng, kStrip5, MakeStrip(5, 10, 10));
    RegisterResourceImage(ResourceKind::kPng, kStrip7, MakeStrip(7, 10, 10));
    Image keyed = MakeStrip(3, 17, 17);
    keyed.SetPixel(0, 0, kMagenta);
    keyed.SetPixel(17, 0, kMagenta);
    keyed.SetPixel(34, 0, kMagenta);
    RegisterResourceImage(ResourceKind::kBitmap, kKeyedBitmap, keyed);
}

// The program's tab and radio ids, written out for tests that use the
// toolkit without the main window: page tabs 2003, 2004, 2005, 2077; profile
// tabs 2049..2053; the radio word's four groups; the view switch 2040.
inline void RegisterTestSelections() {
    static constexpr TabSelection kPages[] = {{2003, 0}, {2004, 1}, {2005, 2}, {2077, 3}};
    static constexpr TabSelection kSubs[] = {{2049, 0}, {2050, 1}, {2051, 2}, {2052, 3}, {2053, 4}};
    static constexpr RadioMember kRadios[] = {
        {2006, {0x1, 0x7}},     {2007, {0x2, 0x7}},    {2008, {0x4, 0x7}},   {2009, {0x8, 0x18}},
        {2010, {0x10, 0x18}},   {2011, {0x20, 0x60}},  {2012, {0x40, 0x60}}, {2013, {0x80, 0x380}},
        {2014, {0x100, 0x380}}, {2018, {0x200, 0x380}}};
    static constexpr uint32_t kOthers[] = {2040};
    SetSelectionTables({kPages, kSubs, kRadios, kOthers});
}

// A dialog whose controls the test builds, recording every message it gets.
class TestDialog : public CDlgBase {
public:
    explicit TestDialog(std::function<void(TestDialog&)> build, int w = 200, int h = 150)
        : CDlgBase(0, nullptr), m_build(std::move(build)) {
        SetWindowSize(w, h);
    }
    ~TestDialog() override = default;

    void DrawBackground(Surface& s, const Rect& client) override {
        StandardDrawBackground(s, client);
    }
    void BuildControls(int, int, int, int) override {
        if (m_build) m_build(*this);
    }
    intptr_t OnMessage(uint32_t msg, uintptr_t first, intptr_t second) override {
        messages.push_back({msg, first, second});
        if (onMessage) onMessage(msg, first, second);
        return 0;
    }
    HostWindow& W() { return *Window(); }
    // Records what gets invalidated from now on.
    void WatchInvalidations() {
        W().SetInvalidateObserver([this](const Rect& r) { invalidated.push_back(r); });
    }

    std::vector<Msg> messages;
    std::vector<Rect> invalidated;
    std::function<void(uint32_t, uintptr_t, intptr_t)> onMessage;

private:
    std::function<void(TestDialog&)> m_build;
};

}  // namespace lumbra::test
