#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# check-layers.sh [SOURCE_DIR]: checks that the folders of the program depend
# one way. Every `#include "folder/..."` of a source file must name its own
# folder or one its folder may use (the table below), and only platform/ and
# the skin generator may include Qt headers (<Q...>, <Qt...>). Prints one line
# per offence and exits 1, or prints a summary and exits 0.
set -euo pipefail

# The folders of the program, each with the folders it may include besides
# itself. Dependencies point one way: nothing here may include a folder below
# it in this list unless the list says so.
layers='
base:
model:    base
storage:  base model
device:   base model
sim:      base model storage device
platform: base model
skin:
ui:       base model platform skin
keys:     base model platform ui skin
macro:    base model storage platform ui skin keys
app:      base model storage device sim platform skin ui keys macro
ctl:      base platform
'
# The only places that may include Qt headers.
qt_places='platform skin/generator'

cd "${1:-$(dirname "$0")/..}"

folders=$(awk -F: 'NF { print $1 }' <<<"$layers")
mapfile -t files < <(find $folders -type f \( -name '*.h' -o -name '*.hpp' -o -name '*.cpp' \
    -o -name '*.cc' -o -name '*.c' -o -name '*.inc' \) | LC_ALL=C sort)
if [ "${#files[@]}" -eq 0 ]; then
    echo "check-layers: no source files under $(pwd)" >&2
    exit 1
fi

awk -v layers="$layers" -v qt_places="$qt_places" '
BEGIN {
    n = split(layers, rows, "\n")
    for (i = 1; i <= n; i++) {
        if (rows[i] == "") continue
        split(rows[i], parts, ":")
        folder = parts[1]
        known[folder] = 1
        allowed[folder, folder] = 1
        list[folder] = parts[2]
        gsub(/^ +| +$/, "", list[folder])
        m = split(list[folder], uses, " ")
        for (j = 1; j <= m; j++) allowed[folder, uses[j]] = 1
    }
    nqt = split(qt_places, qt, " ")
    qt_shown = qt[1] "/"
    for (k = 2; k <= nqt; k++) qt_shown = qt_shown " and " qt[k] "/"
    offences = 0
    includes = 0
}
FNR == 1 {
    split(FILENAME, path, "/")
    folder = path[1]
    qt_ok = 0
    for (k in qt) if (index(FILENAME, qt[k] "/") == 1) qt_ok = 1
}
/^[ \t]*#[ \t]*include[ \t]*"/ {
    includes++
    target = $0
    sub(/^[^"]*"/, "", target)
    sub(/".*/, "", target)
    if (target ~ /(^|\/)\.\.\//) {
        printf "%s:%d: %s may not reach outside its folder by a relative path: \"%s\"\n",
               FILENAME, FNR, folder, target
        offences++
    } else if (index(target, "/") > 0) {
        used = substr(target, 1, index(target, "/") - 1)
        if (!((folder, used) in allowed)) {
            printf "%s:%d: %s may not include %s/ (\"%s\"); %s may use: %s\n",
                   FILENAME, FNR, folder, used, target, folder,
                   list[folder] == "" ? "nothing but itself" : list[folder]
            offences++
        }
    }
    next
}
/^[ \t]*#[ \t]*include[ \t]*<Q/ {
    includes++
    if (!qt_ok) {
        header = $0
        sub(/^[^<]*/, "", header)
        sub(/>.*/, ">", header)
        printf "%s:%d: %s may not include the Qt header %s; only %s may\n",
               FILENAME, FNR, folder, header, qt_shown
        offences++
    }
}
END {
    if (offences > 0) {
        printf "check-layers: %d offence%s against the folder graph\n", offences,
               offences == 1 ? "" : "s"
        exit 1
    }
    printf "check-layers: %d files, %d includes of folders and Qt, all along the folder graph\n",
           files, includes
}
' files="${#files[@]}" "${files[@]}"
