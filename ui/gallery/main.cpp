// SPDX-License-Identifier: GPL-3.0-or-later
// lumbra-gallery: one of every control and popup of the toolkit, in a window
// laid out like the main window's pages, to try the controls and look at the skin.

#include "platform/Application.h"
#include "ui/gallery/GalleryDialog.h"

#ifdef LUMBRA_HAVE_SKIN
#include "skin/SkinResources.h"
#endif

int main(int argc, char** argv) {
    lumbra::Application app(argc, argv);
#ifdef LUMBRA_HAVE_SKIN
    lumbra::InitSkinResources();
#endif
    lumbra::GalleryDialog gallery;
    return gallery.DoModal();
}
