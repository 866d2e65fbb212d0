#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages Lumbra needs to build, run and test, and only
# those that are missing. Runs apt-get as root, or through sudo.
set -euo pipefail

PACKAGES=(
    build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev ccache
    qt6-base-dev libgl1-mesa-dev libhidapi-dev libudev-dev umockdev libumockdev-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xdotool libxcb1-dev libx11-dev fonts-wqy-microhei openbox x11-apps
    # Only for the install test's checks of the package, the metainfo and the desktop entry.
    lintian appstream desktop-file-utils man-db
    # gio launches the autostart entry in the tests, as a session would; gdbus
    # and a private session bus (dbus-run-session) for the bus journeys.
    libglib2.0-bin dbus-daemon
    # The accessibility bus and a client of it, to read the window as a screen
    # reader does.
    at-spi2-core python3-pyatspi
    # The active window on Wayland desktops: the wlroots protocol's client
    # library and scanner, and the compositors and programs of the desktops
    # journeys (sway, KWin and GNOME Shell headless, with XWayland; foot,
    # weston-terminal and a gjs window as native programs).
    libwayland-dev sway kwin-wayland gnome-shell gjs xwayland foot weston dbus-bin
    # The toolkit's Wayland plug-in: Lumbra must stay an X11 client with it.
    qt6-wayland
)

missing=()
for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "Installing: ${missing[*]}"
$SUDO apt-get update -q
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
