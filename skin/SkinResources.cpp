// SPDX-License-Identifier: GPL-3.0-or-later
#include "skin/SkinResources.h"

// The resource compiler's registration function for the skin (rcc --name lumbra_skin), declared
// as the generated file defines it: in the global namespace, for a toolkit built without a
// namespace of its own. Calling it here keeps the generated file linked into the program without
// any toolkit header in this folder.
int qInitResources_lumbra_skin();

namespace lumbra {

void InitSkinResources() {
    static const bool registered = (qInitResources_lumbra_skin(), true);
    (void)registered;
}

}  // namespace lumbra
