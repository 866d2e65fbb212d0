#include "ui/CRadioButton.h"

#include "ui/BitmapButtonDraw.h"
#include "ui/ControlMessages.h"
#include "ui/Selections.h"

namespace lumbra {

void CRadioButton::SetBitmap(int bitmapId, int frameWidth, int frameHeight, int keyX, int keyY) {
    m_bitmapId = static_cast<uint16_t>(bitmapId);
    m_frameWidth = frameWidth;
    m_frameHeight = frameHeight;
    m_keyX = keyX;
    m_keyY = keyY;
}

int CRadioButton::Frame() const {
    auto bits = RadioBitsForId(m_id);
    if (bits && (RadioWord() & bits->bit)) return kPressed;
    return m_state;
}

void CRadioButton::Draw(Surface& surface, const Rect&) {
    DrawKeyedBitmapFrame(surface, m_bitmapId, Frame(), m_frameWidth, m_frameHeight, m_keyX, m_keyY,
                         m_rect.left, m_rect.top);
}

bool CRadioButton::OnMouseMove(uint32_t, int x, int y) { return StandardMove(x, y); }
bool CRadioButton::OnLButtonDown(uint32_t, int x, int y) { return StandardDown(x, y); }

bool CRadioButton::OnLButtonUp(uint32_t, int x, int y) {
    return StandardUp(x, y, [this] {
        RadioWord() = SelectRadio(RadioWord(), m_id);
        Notify(m_id, 0, ControlEvent::kClicked);
    });
}

}  // namespace lumbra
