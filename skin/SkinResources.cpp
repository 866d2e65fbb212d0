// SPDX-License-Identifier: GPL-3.0-or-later
#include "skin/SkinResources.h"

#include <QtGlobal>

// The resource initialiser's name lives in the global namespace, so the macro must be used
// outside ours.
static void RegisterSkin() { Q_INIT_RESOURCE(lumbra_skin); }

namespace lumbra {

void InitSkinResources() {
    static const bool registered = (RegisterSkin(), true);
    (void)registered;
}

}  // namespace lumbra
