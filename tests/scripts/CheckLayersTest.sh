#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# CheckLayersTest.sh SOURCE_DIR: the folder check passes on SOURCE_DIR itself,
# and on a scratch copy it names, file and line, an include against the folder
# graph and a Qt header outside the toolkit's places, and nothing else: includes
# the graph allows and Qt in platform/ and the skin generator stay quiet.
set -euo pipefail
src=$(cd "$1" && pwd)
check="$src/scripts/check-layers.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

out=$(bash "$check" "$src") || fail "the source tree itself fails the check:"$'\n'"$out"
[[ $out == check-layers:* ]] || fail "no summary on success: $out"

tar -C "$src" --exclude='./build*' --exclude=./.git -cf - . | tar -C "$work" -xf -

# Appends LINE to FILE and prints the line number it landed on.
plant() { # FILE LINE
    printf '%s\n' "$2" >>"$work/$1"
    wc -l <"$work/$1" | tr -d ' '
}
upward=$(plant storage/TextFile.h '#include "ui/CDlgBase.h"')
qt=$(plant model/KeyTable.h '#include <QString>')
# Allowed: downward includes, and Qt where the toolkit lives.
plant app/CommandLine.cpp '#include "sim/SimOptions.h"' >/dev/null
plant macro/MacroPage.cpp '#include "keys/KeyMessages.h"' >/dev/null
plant platform/Timer.cpp '#include <QTimer>' >/dev/null
plant skin/generator/Paint.cpp '#include <QtGui/QPainter>' >/dev/null

set +e
out=$(bash "$check" "$work" 2>&1)
rc=$?
set -e
[ "$rc" -eq 1 ] || fail "planted offences passed (exit $rc):"$'\n'"$out"
grep -q "^storage/TextFile.h:$upward: storage may not include ui/" <<<"$out" ||
    fail "the upward include is not named:"$'\n'"$out"
grep -q "^model/KeyTable.h:$qt: model may not include the Qt header <QString>" <<<"$out" ||
    fail "the Qt include is not named:"$'\n'"$out"
offences=$(grep -c '^[a-z/]*/[A-Za-z]*\.[a-z]*:[0-9]*:' <<<"$out")
[ "$offences" -eq 2 ] || fail "expected 2 offences, got $offences:"$'\n'"$out"
echo "check-layers test: passed"
