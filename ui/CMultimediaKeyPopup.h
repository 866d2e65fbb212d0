// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/CTablePopup.h"

namespace lumbra {

// The multimedia functions, "Mute" to "Stop".
class CMultimediaKeyPopup : public CTablePopup {
public:
    CMultimediaKeyPopup();
};

}  // namespace lumbra
