// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/CTablePopup.h"

namespace lumbra {

// Despite its name, the mouse functions, "Click" to "Fire"; as wide as it is created.
class CMultimediaPopup : public CTablePopup {
public:
    CMultimediaPopup();
};

}  // namespace lumbra
