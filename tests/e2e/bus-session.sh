#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# bus-session.sh COMMAND...: runs the command on a session bus of its own, as a
# desktop session has one (dbus-run-session). The bus starts the services whose
# files are put into $LUMBRA_BUS_SERVICES, a folder made for this run.
set -eu
dir=$(mktemp -d /tmp/lumbra-bus-XXXXXX)
trap 'rm -rf "$dir"' EXIT
mkdir "$dir/services"
cat >"$dir/session.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=$dir</listen>
  <servicedir>$dir/services</servicedir>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
CONF
status=0
LUMBRA_BUS_SERVICES="$dir/services" dbus-run-session --config-file="$dir/session.conf" -- "$@" ||
    status=$?
exit "$status"
