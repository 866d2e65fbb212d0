// SPDX-License-Identifier: GPL-3.0-or-later
#include "skin/SkinResources.h"

// The resource compiler's registration functions for the skin (rcc --name lumbra_skin, and
// lumbra_skin_2x for the pictures with twice the pixels), declared as the generated files define
// them: in the global namespace, for a toolkit built without a namespace of its own. Calling them
// here keeps the generated files linked into the program without any toolkit header in this
// folder.
int qInitResources_lumbra_skin();
int qInitResources_lumbra_skin_2x();

namespace lumbra {

std::span<const uint8_t, kGlyphCount> GlyphAdvances() {
    // Written by the skin generator beside the strips it measured.
    static constexpr uint8_t advances[kGlyphCount] = {
#include "glyph_advances.inc"
    };
    return std::span<const uint8_t, kGlyphCount>(advances);
}

std::span<const AtlasPlace> KeyCapAtlasPlaces() {
    // Written by the skin generator with the atlas.
    static constexpr AtlasPlace places[] = {
#include "atlas_places.inc"
    };
    return places;
}

void InitSkinResources() {
    static const bool registered =
        (qInitResources_lumbra_skin(), qInitResources_lumbra_skin_2x(), true);
    (void)registered;
}

}  // namespace lumbra
