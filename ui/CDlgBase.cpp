// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/CDlgBase.h"

#include <algorithm>

#include "platform/EditBox.h"
#include "platform/Resources.h"
#include "ui/CRadioButton.h"
#include "ui/CTabControl.h"
#include "ui/CWndPopup.h"
#include "ui/ControlMessages.h"
#include "ui/ImageRoutines.h"

namespace lumbra {

namespace {

// Space between a control and its focus mark, and the mark's dash length.
constexpr int kFocusMarkGap = 1;
constexpr int kFocusDash = 2;

// Two rings of black and white dashes, one the other's negative, so the
// mark shows on any background.
void DrawFocusMark(Surface& surface, const Rect& r) {
    constexpr Color kBlack = Rgb(0, 0, 0);
    constexpr Color kWhite = Rgb(255, 255, 255);
    for (int ring = 0; ring < 2; ++ring) {
        const Rect e = r.Inset(ring);
        int step = 0;
        const auto dot = [&](int x, int y) {
            const bool dark = ((step++ / kFocusDash) + ring) % 2 == 0;
            surface.SetPixel(x, y, dark ? kBlack : kWhite);
        };
        for (int x = e.left; x < e.right; ++x) dot(x, e.top);
        for (int y = e.top + 1; y < e.bottom; ++y) dot(e.right - 1, y);
        for (int x = e.right - 2; x >= e.left; --x) dot(x, e.bottom - 1);
        for (int y = e.bottom - 2; y > e.top; --y) dot(e.left, y);
    }
}
// Reading order: controls whose rows overlap are on one line, left to right.
bool ReadsBefore(const CControlBase* a, const CControlBase* b) {
    const Rect ra = a->GetRect(), rb = b->GetRect();
    const bool sameRow = ra.top < rb.bottom && rb.top < ra.bottom;
    if (sameRow) return ra.left < rb.left;
    return ra.top < rb.top;
}

bool IsChosen(const CControlBase* c) {
    if (const auto* tab = dynamic_cast<const CTabControl*>(c)) return tab->IsSelected();
    if (const auto* radio = dynamic_cast<const CRadioButton*>(c)) return radio->IsSelected();
    return false;
}

int CentreX(const Rect& r) { return (r.left + r.right) / 2; }

// Where an edit box sits in the focus order; it draws nothing itself.
class EditStop final : public CControlBase {
public:
    EditStop(HostWindow* parent, const Rect& r) : CControlBase(parent, 0, r, "", true, false) {
        SetTakesFocus(true);
    }
    void Draw(Surface&, const Rect&) override {}
};

constexpr Rect kNoRect{-1, -1, -1, -1};
constexpr Point kOutside{-1, -1};
constexpr int kLogicalDpi = 96;
}  // namespace

CDlgBase::CDlgBase(int templateId, HostWindow* parentWindow)
    : m_templateId(templateId), m_parentWindow(parentWindow) {}

CDlgBase::~CDlgBase() {
    // The window goes first, and with it every popup it owns; then the
    // controls, list 0 first.
    if (m_window) m_window->Destroy();
    m_window.reset();
    for (auto& list : m_lists) list.clear();
}

bool CDlgBase::Create() { return Open(false); }

bool CDlgBase::CreateModal() { return Open(true); }

bool CDlgBase::Open(bool modal) {
    if (!m_window)
        m_window = std::make_unique<HostWindow>(this, WindowStyle::kDialog, m_parentWindow);
    // The initialisation shows the window: the modality goes first.
    if (modal) m_window->SetModal(true);
    return OnInitDialog();
}

int CDlgBase::DoModal() {
    if (!CreateModal()) return -1;
    return m_window->RunModal();
}

void CDlgBase::EndDialog(int code) {
    m_result = code;
    if (m_window) m_window->EndModal(code);
}

bool CDlgBase::OnInitDialog() {
    Image icon = LoadResourceImage(ResourceKind::kIcon, kIconId);
    m_window->SetIcon(icon);
    m_window->SetTitle("Lumbra");
    m_captionFont = FontDesc{-(10 * kLogicalDpi) / 72, 0, 600, 134, 0x20, "宋体"};
    m_window->SetSize(m_width, m_height);
    m_window->Show();
    const Rect client = m_window->ClientRect();
    BuildControls(client.left, client.top, client.right, client.bottom);
    m_window->CenterOnOwner();
    return true;
}

CControlBase* CDlgBase::FindControl(uint32_t id) const {
    for (const auto& list : m_lists)
        for (const auto& c : list)
            if (c && c->Id() == id) return c.get();
    return nullptr;
}

int CDlgBase::ListOf(const CControlBase* control) const {
    for (size_t i = 0; i < m_lists.size(); ++i)
        for (const auto& c : m_lists[i])
            if (c.get() == control) return static_cast<int>(i);
    return -1;
}

void CDlgBase::SetListVisible(int list, bool visible) {
    for (auto& c : ControlList(list))
        if (c) c->SetVisible(visible);
}

void CDlgBase::SetBackgroundBitmap(int bitmapId) {
    Image bitmap;
    const bool loaded = LoadBitmapResource(bitmapId, bitmap);
    if (loaded) {
        m_bitmapWidth = bitmap.Width();
        m_bitmapHeight = bitmap.Height();
    }
    m_fadeWidth = BackgroundFadeWidth(m_bitmapWidth, m_bitmapHeight, m_width, m_height);
    if (!loaded) return;
    // The same picture and fade again make the same background and colour.
    const std::weak_ptr<Image::Impl> source = bitmap.SharedImpl();
    if (m_preparedFade == m_fadeWidth && !source.owner_before(m_preparedFrom) &&
        !m_preparedFrom.owner_before(source))
        return;
    m_background.reset();
    m_backgroundPicture = Image();
    AverageBitmapColor(bitmap, m_backgroundColor);
    m_preparedFrom = source;
    m_preparedFade = m_fadeWidth;
    if (m_fadeWidth == 0) {
        // Drawn opaque, the picture is its own background: no copy is kept.
        m_backgroundPicture = bitmap;
        return;
    }
    m_background = std::make_unique<Surface>(m_bitmapWidth, m_bitmapHeight);
    PrepareBackground(*m_background, bitmap, m_fadeWidth, m_backgroundColor);
}

void CDlgBase::SetWindowRegionFromBitmap(int bitmapId) {
    Image bitmap;
    if (!LoadBitmapResource(bitmapId, bitmap)) return;
    m_outline = RegionFromBitmap(bitmap);
    if (m_window) m_window->SetOutline(m_outline);
}

void CDlgBase::DrawBackgroundBitmap(Surface& surface, const Rect& client) {
    int w = std::min(m_bitmapWidth, client.Width());
    int h = std::min(m_bitmapHeight, client.Height());
    if (m_background)
        surface.Copy(*m_background, {0, 0, w, h}, 0, 0);
    else if (!m_backgroundPicture.IsNull())
        surface.Copy(m_backgroundPicture, {0, 0, w, h}, 0, 0);
    else
        w = h = 0;
    // The colour fills only what the picture leaves uncovered.
    surface.FillSolidRect({client.left + w, client.top, client.right, client.bottom},
                          m_backgroundColor);
    surface.FillSolidRect({client.left, client.top + h, client.left + w, client.bottom},
                          m_backgroundColor);
}

void CDlgBase::StandardDrawBackground(Surface& surface, const Rect& client) {
    DrawBackgroundBitmap(surface, client);
    DrawControls(surface, client);
}

void CDlgBase::DrawControls(Surface& surface, const Rect& updateRect) {
    // Controls outside the part being repainted cannot change a pixel.
    const Rect area = updateRect.Intersect(surface.ClipRect());
    ForEachControl([&](CControlBase* c) {
        if (!c->IsVisible()) return;
        if (c->GetRect().Intersect(area).IsEmpty()) return;
        c->Draw(surface, updateRect);
    });
    if (m_focus && m_focusMarkShown && m_focus->IsVisible() &&
        !FocusMarkRect(*m_focus).Intersect(area).IsEmpty())
        DrawFocusMark(surface, FocusMarkRect(*m_focus));
}

Rect CDlgBase::FocusMarkRect(const CControlBase& control) {
    return control.GetRect().Inset(-kFocusMarkGap - 1);
}

std::vector<CControlBase*> CDlgBase::FocusOrder() {
    SyncEditStops();
    std::vector<CControlBase*> order;
    const auto add = [&](CControlBase* c) {
        if (!c->TakesFocus()) return;
        const std::optional<Group> group = GroupOf(c);
        if (!group || GroupStop(*group) == c) order.push_back(c);
    };
    ForEachControl(add);
    for (const auto& stop : m_editStops) add(stop.second.get());
    std::stable_sort(order.begin(), order.end(), ReadsBefore);
    return order;
}

void CDlgBase::AddArrowGroup(std::vector<CControlBase*> members, ArrowGroup kind) {
    m_groups.push_back(Group{std::move(members), kind});
}

std::optional<CDlgBase::Group> CDlgBase::GroupOf(const CControlBase* control) const {
    for (const Group& g : m_groups)
        if (std::ranges::find(g.members, control) != g.members.end()) return g;
    if (!dynamic_cast<const CRadioButton*>(control)) return std::nullopt;
    const int list = ListOf(control);
    if (list < 0) return std::nullopt;
    Group radios{{}, ArrowGroup::kChoose};
    for (const auto& c : m_lists[static_cast<size_t>(list)])
        if (dynamic_cast<const CRadioButton*>(c.get())) radios.members.push_back(c.get());
    if (radios.members.size() < 2) return std::nullopt;
    return radios;
}

CControlBase* CDlgBase::GroupStop(const Group& group) const {
    std::vector<CControlBase*> able;
    for (CControlBase* c : group.members)
        if (c->TakesFocus()) able.push_back(c);
    if (able.empty()) return nullptr;
    for (CControlBase* wanted : {m_focus, group.last})
        if (std::ranges::find(able, wanted) != able.end()) return wanted;
    for (CControlBase* c : able)
        if (IsChosen(c)) return c;
    return *std::ranges::min_element(able, ReadsBefore);
}

CControlBase* CDlgBase::ArrowTarget(const Group& group, NavKey key) const {
    std::vector<CControlBase*> able;
    for (CControlBase* c : group.members)
        if (c->TakesFocus()) able.push_back(c);
    std::ranges::stable_sort(able, ReadsBefore);
    const auto at = std::ranges::find(able, m_focus);
    if (at == able.end()) return nullptr;
    const bool back = key == NavKey::kLeft || key == NavKey::kUp;
    if (group.kind == ArrowGroup::kChoose) {
        const auto n = static_cast<std::ptrdiff_t>(able.size());
        const std::ptrdiff_t i = ((at - able.begin()) + (back ? -1 : 1) + n) % n;
        return able[static_cast<size_t>(i)];
    }
    const Rect from = m_focus->GetRect();
    const auto sameRow = [](const Rect& a, const Rect& b) {
        return a.top < b.bottom && b.top < a.bottom;
    };
    CControlBase* best = nullptr;
    if (key == NavKey::kLeft || key == NavKey::kRight) {
        // The nearest key of the same row on that side.
        for (CControlBase* c : able) {
            const Rect r = c->GetRect();
            if (c == m_focus || !sameRow(r, from)) continue;
            const int d = back ? CentreX(from) - CentreX(r) : CentreX(r) - CentreX(from);
            if (d > 0 && (!best || d < std::abs(CentreX(best->GetRect()) - CentreX(from))))
                best = c;
        }
        return best;
    }
    // The next row up or down: the keys wholly above or below, nearest first;
    // of that row, the key nearest across.
    CControlBase* rowKey = nullptr;
    for (CControlBase* c : able) {
        const Rect r = c->GetRect();
        const bool beyond = back ? r.bottom <= from.top : r.top >= from.bottom;
        if (!beyond) continue;
        if (!rowKey || (back ? r.bottom > rowKey->GetRect().bottom : r.top < rowKey->GetRect().top))
            rowKey = c;
    }
    if (!rowKey) return nullptr;
    for (CControlBase* c : able) {
        const Rect r = c->GetRect();
        if (!sameRow(r, rowKey->GetRect()) || (back ? r.bottom > from.top : r.top < from.bottom))
            continue;
        if (!best || std::abs(CentreX(r) - CentreX(from)) <
                         std::abs(CentreX(best->GetRect()) - CentreX(from)))
            best = c;
    }
    return best;
}

void CDlgBase::SyncEditStops() {
    if (!m_window) return;
    const std::vector<EditBox*> boxes = EditBoxesIn(*m_window);
    std::erase_if(m_editStops, [&](const auto& stop) {
        if (std::ranges::find(boxes, stop.first) != boxes.end()) return false;
        if (m_focus == stop.second.get()) m_focus = nullptr;
        return true;
    });
    for (EditBox* box : boxes) {
        auto it =
            std::ranges::find_if(m_editStops, [box](const auto& s) { return s.first == box; });
        if (it == m_editStops.end()) {
            m_editStops.emplace_back(box, std::make_unique<EditStop>(m_window.get(), Rect{}));
            it = std::prev(m_editStops.end());
        }
        const Rect r = box->GetRect();
        it->second->SetRect(r.left, r.top, r.right, r.bottom);
        it->second->SetVisible(box->IsVisible());
        // A box clicked into, or focused by its owner, holds the focus.
        if (box->HasFocus()) SetFocus(it->second.get(), false);
    }
}

EditBox* CDlgBase::BoxOf(const CControlBase* control) const {
    for (const auto& stop : m_editStops)
        if (stop.second.get() == control) return stop.first;
    return nullptr;
}

void CDlgBase::SetFocus(CControlBase* control, bool showMark) {
    if (showMark && !m_focusMarkShown) {
        m_focusMarkShown = true;
        if (m_focus && m_window) m_window->Invalidate(FocusMarkRect(*m_focus));
    }
    if (control && m_window) {
        // The system's focus goes with it: into a box, or out of every box.
        if (EditBox* box = BoxOf(control)) {
            if (!box->HasFocus()) box->Focus();
        } else if (std::ranges::any_of(EditBoxesIn(*m_window),
                                       [](const EditBox* b) { return b->HasFocus(); })) {
            TakeFocusFromEditBoxes(*m_window);
        }
    }
    if (control == m_focus) return;
    CControlBase* before = m_focus;
    m_focus = control;
    for (Group& g : m_groups)
        if (std::ranges::find(g.members, control) != g.members.end()) g.last = control;
    if (m_window) {
        if (before) m_window->Invalidate(FocusMarkRect(*before));
        if (control) m_window->Invalidate(FocusMarkRect(*control));
    }
    OnFocusChanged(before, control);
    AnnounceFocus(control);
}

bool CDlgBase::OnNavKey(const NavKeyPress& press) {
    SyncEditStops();
    if (m_focus && m_focus->TakesFocus() && m_focus->OnKey(press)) {
        SetFocus(m_focus);
        return true;
    }
    if (press.alt || press.ctrl) return false;
    // A held key acts once: its repeats may follow a key that a capture
    // took, and must not act on what the focus moved on to.
    const bool acts =
        press.key == NavKey::kSpace || press.key == NavKey::kEnter || press.key == NavKey::kEscape;
    if (acts && press.repeat) return true;
    switch (press.key) {
        case NavKey::kTab: {
            const std::vector<CControlBase*> order = FocusOrder();
            if (order.empty()) return true;
            const auto at = std::find(order.begin(), order.end(), m_focus);
            const auto n = static_cast<std::ptrdiff_t>(order.size());
            std::ptrdiff_t i = at == order.end() ? (press.shift ? 0 : -1) : at - order.begin();
            i = ((press.shift ? i - 1 : i + 1) % n + n) % n;
            SetFocus(order[static_cast<size_t>(i)]);
            return true;
        }
        case NavKey::kSpace:
        case NavKey::kEnter:
            if (m_focus && m_focus->ActsOnClick() && m_focus->TakesFocus()) {
                SetFocus(m_focus);
                m_focus->PressByKey();
                return true;
            }
            return press.key == NavKey::kEnter && RunButton(m_defaultId);
        case NavKey::kEscape:
            return RunButton(m_cancelId);
        case NavKey::kLeft:
        case NavKey::kRight:
        case NavKey::kUp:
        case NavKey::kDown: {
            const std::optional<Group> group = m_focus ? GroupOf(m_focus) : std::nullopt;
            CControlBase* target = group ? ArrowTarget(*group, press.key) : nullptr;
            if (!target) return group.has_value();
            SetFocus(target);
            if (group->kind == ArrowGroup::kChoose) target->PressByKey();
            return true;
        }
        default:
            return false;
    }
}

bool CDlgBase::RunButton(uint32_t id) {
    CControlBase* button = id != 0 ? FindControl(id) : nullptr;
    if (!button) return false;
    // What a click on it would do: nothing while it is disabled or hidden.
    if (button->IsDisabled() || !button->IsVisible()) return true;
    if (const auto click = button->onClick) click();
    return true;
}

void CDlgBase::OnPaint(Surface& surface, const Rect& client) {
    if (m_window && m_window->IsMinimized()) return;
    DrawBackground(surface, client);
    // What the picture changed may be news to assistive tools.
    if (m_window && !m_announcePending && HostWindow::AccessibilityActive()) {
        m_announcePending = true;
        m_window->Post([this] { AnnounceChanges(); });
    }
}

void CDlgBase::InvalidateControl(const CControlBase* control) {
    if (control && m_window) m_window->Invalidate(control->GetRect());
}

void CDlgBase::ReleaseActiveControl() {
    if (m_active && m_active != m_hot) {
        m_active->ReleaseActive(0);
        m_active = nullptr;
    }
}

void CDlgBase::OnMouseMove(uint32_t flags, int x, int y) {
    if (!m_tracking) m_tracking = m_window && m_window->TrackMouse(kHoverTime);
    if (m_hot && m_hot->Contains(x, y) && m_tracking) {
        m_lastPoint = {x, y};
        if (m_hot->OnMouseMove(flags, x, y)) InvalidateControl(m_hot);
        return;
    }
    if (m_buttonDown) return;
    CControlBase* previous = m_hot;
    m_lastPoint = {x, y};
    bool found = false;
    if (m_tracking) {
        ForEachControl([&](CControlBase* c) {
            if (!c->IsVisible() || !c->IsHoverable()) return;
            c->OnMouseMove(flags, m_lastPoint.x, m_lastPoint.y);
            if (c->Contains(x, y)) {
                m_hot = c;
                found = true;
            }
        });
    }
    if (previous) InvalidateControl(previous);
    if (found)
        InvalidateControl(m_hot);
    else
        m_hot = nullptr;
}

void CDlgBase::OnMouseLeave() {
    m_tracking = false;
    if (m_buttonDown) return;
    if (m_hot) {
        const Point cursor = m_window ? m_window->CursorPos() : kOutside;
        const bool stillInside =
            m_window && m_window->IsMaximized() && m_hot->Contains(cursor.x, cursor.y);
        m_lastPoint = stillInside ? cursor : kOutside;
        m_hot->OnMouseMove(0, m_lastPoint.x, m_lastPoint.y);
        InvalidateControl(m_hot);
    }
    m_hot = nullptr;
}

void CDlgBase::OnMouseHover(uint32_t, int, int) {
    if (!m_hot || !m_window) return;
    const Point cursor = m_window->CursorPos();
    if (!m_hot->Contains(cursor.x, cursor.y)) return;
    m_lastPoint = cursor;
    InvalidateControl(m_hot);
}

void CDlgBase::OnLButtonDown(uint32_t flags, int x, int y) {
    // A field or list that takes the focus without acting on a click takes
    // it from the mouse too (the mark stays as it was); buttons leave the
    // focus where it is.
    ForEachControl([&](CControlBase* c) {
        if (c->TakesFocus() && !c->ActsOnClick() && c->Contains(x, y)) SetFocus(c, false);
    });
    ReleaseActiveControl();
    if (m_hot && m_hot->Contains(x, y)) {
        m_pressedRect = m_hot->GetRect();
        m_buttonDown = true;
        m_active = m_hot;
        CControlBase* pressed = m_hot;
        if (pressed->OnLButtonDown(flags, x, y)) InvalidateControl(pressed);
        if (!m_captured) {
            if (m_window) m_window->SetCapture();
            m_captured = true;
            return;
        }
        // The dialog already held the capture: the press goes on to the
        // background handling below, as it always has.
    }
    m_pressedRect = kNoRect;
    if (m_window) m_window->BeginWindowMove(x, y);
}

void CDlgBase::OnLButtonUp(uint32_t flags, int x, int y) {
    if (m_captured) {
        if (m_window) m_window->ReleaseCapture();
        m_captured = false;
    }
    m_buttonDown = false;
    if (m_hot) {
        CControlBase* control = m_hot;
        const Rect rect = control->GetRect();
        const uint32_t id = control->Id();
        // The control's notification runs inside this call and may change the
        // window, its controls and the hot control.
        const bool changed = control->OnLButtonUp(flags, x, y);
        if (changed) {
            if (!m_hot) {
                m_pressedRect = kNoRect;
                return;
            }
            if (m_window) {
                if (std::ranges::find(m_viewSwitches, id) != m_viewSwitches.end())
                    m_window->InvalidateAll();
                else
                    m_window->Invalidate(rect);
            }
        }
        if (m_pressedRect.Contains(x, y) || (m_hot && m_hot->Contains(x, y))) {
            m_lastPoint = {x, y};
        } else {
            m_lastPoint = kOutside;
            m_hot = nullptr;
        }
    }
    m_pressedRect = kNoRect;
}

void CDlgBase::OnLButtonDblClk(uint32_t flags, int x, int y) {
    for (size_t i = 0; i < m_lists.size(); ++i) {
        for (const auto& c : m_lists[i]) {
            if (!c || !c->Contains(x, y)) continue;
            if (i == 1) c->OnLButtonDblClk(flags, x, y);
            m_pressedRect = c->GetRect();
            return;
        }
    }
}

void CDlgBase::ShowPopup(PopupSlot slot, const Rect& clientRect, CWndPopup* popup,
                         uint32_t parameter) {
    ClosePopup(slot);
    if (!popup || !m_window) return;
    const Point tl = m_window->ClientToScreen({clientRect.left, clientRect.top});
    const Point br = m_window->ClientToScreen({clientRect.right, clientRect.bottom});
    CWndPopup*& held = m_popups[static_cast<size_t>(slot)];
    held = popup;
    popup->SetDestroyedCallback([this, slot, popup] {
        if (m_popups[static_cast<size_t>(slot)] == popup)
            m_popups[static_cast<size_t>(slot)] = nullptr;
    });
    popup->Create(m_window.get(), {tl.x, tl.y, br.x, br.y}, parameter);
}

void CDlgBase::ClosePopup(PopupSlot slot) {
    CWndPopup*& held = m_popups[static_cast<size_t>(slot)];
    if (!held) return;
    ReleaseActiveControl();
    CWndPopup* popup = held;
    held = nullptr;
    popup->SetDestroyedCallback(nullptr);
    popup->PostClose();
}

}  // namespace lumbra
