// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace lumbra {

// Asks the X server (once per run) to send a held key's repeats as presses
// only, without the release it otherwise puts before each of them (XKB's
// detectable auto-repeat, a setting of this program's own connection).
// False when the display is not X11 or the server refuses.
bool AskForDetectableAutoRepeat();

}  // namespace lumbra
