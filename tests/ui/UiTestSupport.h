// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QKeyEvent>
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "../platform/MouseEvents.h"
#include "platform/Application.h"
#include "platform/Resources.h"
#include "ui/CDlgBase.h"
#include "ui/ControlMessages.h"

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

// A key pressed in a host window, as the window system delivers it.
inline void Key(HostWindow& w, int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                bool autoRepeat = false) {
    QWidget* widget = WidgetOf(w);
    if (!widget) return;
    QKeyEvent e(QEvent::KeyPress, qtKey, modifiers, QString(), autoRepeat);
    QCoreApplication::sendEvent(widget, &e);
}

// Two surfaces holding the same device pixels.
inline bool SamePixels(const Surface& a, const Surface& b) {
    const Image x = a.Snapshot(), y = b.Snapshot();
    if (x.Width() != y.Width() || x.Height() != y.Height()) return false;
    for (int row = 0; row < x.Height(); ++row)
        if (!std::ranges::equal(x.Row(row), y.Row(row))) return false;
    return true;
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
    // Records the control's press and click in `events`, as (id, 0, event).
    enum ControlEvent : intptr_t { kPressed = 1, kClicked = 2 };
    template <typename C>
    C* Watch(C* control) {
        const uint32_t id = control->Id();
        control->onPress = [this, id] { events.push_back({id, 0, ControlEvent::kPressed}); };
        control->onClick = [this, id] { events.push_back({id, 0, ControlEvent::kClicked}); };
        return control;
    }
    // Records what gets invalidated from now on.
    void WatchInvalidations() {
        W().SetInvalidateObserver([this](const Rect& r) { invalidated.push_back(r); });
    }

    std::vector<Msg> messages;
    std::vector<Msg> events;
    std::vector<Rect> invalidated;
    std::function<void(uint32_t, uintptr_t, intptr_t)> onMessage;

private:
    std::function<void(TestDialog&)> m_build;
};

}  // namespace lumbra::test
