# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build tree into a scratch prefix and checks that every file a
# desktop needs lands in its place, each checked by the tool that desktops and
# software centres trust; then builds the Debian package and has lintian look
# at it (errors fail, warnings are printed). Run by ctest with -DBUILD_DIR,
# -DPREFIX, -DAPP_ID and -DVERSION.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

set(metainfo share/metainfo/${APP_ID}.metainfo.xml)
set(manpage share/man/man1/lumbra.1.gz)
set(expected bin/lumbra share/applications/lumbra.desktop lib/udev/rules.d/60-lumbra.rules
    ${metainfo} ${manpage} share/doc/lumbra/copyright share/doc/lumbra/changelog.gz
    share/dbus-1/services/${APP_ID}.service share/dbus-1/interfaces/${APP_ID}.Keyboard1.xml
    bin/lumbractl share/man/man1/lumbractl.1.gz share/bash-completion/completions/lumbractl
    share/lumbra/kwin/lumbra-focus.js
    share/gnome-shell/extensions/lumbra@lumbra.github.io/metadata.json
    share/gnome-shell/extensions/lumbra@lumbra.github.io/extension.js)
foreach(size 16 32 48 64 128 256)
    list(APPEND expected share/icons/hicolor/${size}x${size}/apps/lumbra.png)
endforeach()
foreach(path ${expected})
    if(NOT EXISTS ${PREFIX}/${path})
        message(FATAL_ERROR "not installed: ${path}")
    endif()
endforeach()

# The rule must grant the seat's user the keyboard's hidraw nodes, and the
# desktop entry must start the installed program with its icon.
file(READ ${PREFIX}/lib/udev/rules.d/60-lumbra.rules rule)
foreach(part [[SUBSYSTEM=="hidraw"]] [[ATTRS{idVendor}=="04f3"]] [[ATTRS{idProduct}=="1406"]]
        [[TAG+="uaccess"]])
    string(FIND "${rule}" "${part}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "the udev rule lacks ${part}")
    endif()
endforeach()
file(STRINGS ${PREFIX}/share/applications/lumbra.desktop entry)
foreach(line "[Desktop Entry]" "Type=Application" "Exec=lumbra" "Icon=lumbra")
    list(FIND entry "${line}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "the desktop entry lacks ${line}")
    endif()
endforeach()
# The bus starts the installed program, hidden.
file(STRINGS ${PREFIX}/share/dbus-1/services/${APP_ID}.service service)
if(NOT service STREQUAL "[D-BUS Service];Name=${APP_ID};Exec=${PREFIX}/bin/lumbra --hidden")
    message(FATAL_ERROR "the bus service file says: ${service}")
endif()
execute_process(COMMAND ${PREFIX}/bin/lumbra --version OUTPUT_VARIABLE version
                RESULT_VARIABLE result)
if(NOT result EQUAL 0 OR NOT version MATCHES "^lumbra ")
    message(FATAL_ERROR "the installed lumbra does not run: ${result} ${version}")
endif()

if(NOT version STREQUAL "lumbra ${VERSION}\n")
    message(FATAL_ERROR "lumbra --version says '${version}', the project is ${VERSION}")
endif()

# Runs a validator; its complaints fail the check.
function(validate what)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out
                    ERROR_VARIABLE err)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "${what} is refused by ${ARGV1}: ${result}\n${out}${err}"
                            "(scripts/install-deps.sh installs the validators)")
    endif()
    if(NOT "${out}${err}" STREQUAL "")
        message(STATUS "${what}: ${out}${err}")
    endif()
endfunction()

validate("the desktop entry" desktop-file-validate ${PREFIX}/share/applications/lumbra.desktop)
validate("the metainfo" appstreamcli validate --no-net --pedantic ${PREFIX}/${metainfo})
file(READ ${PREFIX}/${metainfo} metadata)
if(NOT metadata MATCHES "<release version=\"${VERSION}\""
   OR NOT metadata MATCHES "<modalias>usb:v04F3p1406d\\*</modalias>"
   OR NOT metadata MATCHES "<project_license>GPL-3.0-or-later</project_license>")
    message(FATAL_ERROR "the metainfo lacks the release ${VERSION}, the modalias or the licence")
endif()

# The manual page renders without a warning, and its OPTIONS section
# explains exactly the options that lumbra --help explains.
execute_process(COMMAND man --warnings -E UTF-8 -l -Tutf8 -Z ${PREFIX}/${manpage}
                RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE warnings)
if(NOT result EQUAL 0 OR NOT warnings STREQUAL "")
    message(FATAL_ERROR "the manual page does not render cleanly: ${result}\n${warnings}")
endif()
execute_process(COMMAND gzip -dc ${PREFIX}/${manpage} OUTPUT_VARIABLE page)
string(REPLACE "\\-" "-" page "${page}")
string(REGEX MATCH "\n\\.SH OPTIONS\n.*\n\\.SH EXIT STATUS" options_section "${page}")
# Each option is the first word of a tagged paragraph: ".TP" and then ".B --x".
string(REGEX MATCHALL "\\.TP\n\\.B[IR]? --[a-z][a-z-]*" page_options "${options_section}")
list(TRANSFORM page_options REPLACE ".*(--[a-z-]+)$" "\\1")
execute_process(COMMAND ${PREFIX}/bin/lumbra --help OUTPUT_VARIABLE usage)
# The explained options begin their line, two spaces in.
string(REGEX MATCHALL "\n  --[a-z][a-z-]*" usage_options "${usage}")
list(TRANSFORM usage_options REPLACE "^\n  " "")
list(SORT page_options)
list(SORT usage_options)
if(NOT page_options STREQUAL usage_options OR usage_options STREQUAL "")
    message(FATAL_ERROR "the manual page explains ${page_options}, lumbra --help ${usage_options}")
endif()

# The Debian package, built from this tree into a scratch folder.
set(debs ${PREFIX}-deb)
file(REMOVE_RECURSE ${debs})
execute_process(COMMAND cpack -G DEB -B ${debs} --config ${BUILD_DIR}/CPackConfig.cmake
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
file(GLOB deb ${debs}/lumbra_${VERSION}_*.deb)
if(NOT result EQUAL 0 OR NOT deb)
    message(FATAL_ERROR "cpack failed: ${result}\n${out}")
endif()
execute_process(COMMAND dpkg-deb --contents ${deb} OUTPUT_VARIABLE contents)
foreach(path ./usr/bin/lumbra ./usr/${manpage} ./usr/${metainfo}
        ./usr/share/doc/lumbra/copyright)
    string(FIND "${contents}" " ${path}\n" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "the package lacks ${path}:\n${contents}")
    endif()
endforeach()
execute_process(COMMAND lintian --info --no-tag-display-limit ${deb} RESULT_VARIABLE result
                OUTPUT_VARIABLE findings ERROR_VARIABLE err)
if(findings MATCHES "(^|\n)E: ")
    message(FATAL_ERROR "lintian finds errors in the package:\n${findings}${err}")
endif()
if(NOT result EQUAL 0 AND findings STREQUAL "")
    message(FATAL_ERROR "lintian did not run: ${result}\n${err}"
                        "(scripts/install-deps.sh installs it)")
endif()
if(NOT findings STREQUAL "")
    message(STATUS "lintian's remarks:\n${findings}")
endif()
