// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Font.h"
#include "platform/Geometry.h"

namespace lumbra {

class HostWindow;

// A single-line platform edit box, a child of a host window, at a rectangle
// in the window's client coordinates. Destroying the object removes it; a
// box that had the keyboard focus hands it to its window, never on to
// another box. Control characters, typed or pasted, never reach its text.
class EditBox {
public:
    EditBox(HostWindow& parent, int id, const Rect& rect, bool visible = true);
    ~EditBox();
    EditBox(const EditBox&) = delete;
    EditBox& operator=(const EditBox&) = delete;

    int Id() const { return m_id; }
    std::string Text() const;
    void SetText(const std::string& text);
    void SetNumbersOnly(bool numbersOnly);
    void SetMaxLength(int length);
    void SetColors(Color text, Color background);
    void SetFont(const FontDesc& font);
    // What a screen reader calls the box.
    void SetAccessibleName(const std::string& name);
    void SetRect(const Rect& rect);
    Rect GetRect() const;
    void SetVisible(bool visible);
    bool IsVisible() const;
    void Focus();
    bool HasFocus() const;
    // Called on the UI thread after every change of the text.
    void OnTextChanged(std::function<void()> callback);
    // Called when Enter is pressed in the box.
    void OnReturnPressed(std::function<void()> callback);

    struct Impl;
    Impl* impl() const { return m_impl.get(); }

private:
    int m_id;
    std::unique_ptr<Impl> m_impl;
};

// The edit boxes of a window, in creation order. Tab and Shift+Tab typed in
// a box go to the window, which moves its focus on.
std::vector<EditBox*> EditBoxesIn(HostWindow& window);

// The window itself takes the keyboard focus from any edit box in it, so
// that keys typed next go to the window and change no box.
void TakeFocusFromEditBoxes(HostWindow& window);

}  // namespace lumbra
