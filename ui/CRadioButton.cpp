// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/CRadioButton.h"

#include "ui/ControlMessages.h"
#include "ui/Selections.h"

namespace lumbra {

int CRadioButton::Frame() const {
    auto bits = RadioBitsForId(m_id);
    if (bits && (RadioWord() & bits->bit)) return kPressed;
    return m_state;
}

bool CRadioButton::OnLButtonUp(uint32_t, int x, int y) {
    return StandardUp(x, y, [this] {
        RadioWord() = SelectRadio(RadioWord(), m_id);
        Clicked();
    });
}

}  // namespace lumbra
