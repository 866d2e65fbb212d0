# Installs the build tree into a scratch prefix and checks that every file a
# desktop needs lands in its place. Run by ctest with -DBUILD_DIR and -DPREFIX.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

set(expected bin/lumbra share/applications/lumbra.desktop lib/udev/rules.d/60-lumbra.rules)
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
execute_process(COMMAND ${PREFIX}/bin/lumbra --version OUTPUT_VARIABLE version
                RESULT_VARIABLE result)
if(NOT result EQUAL 0 OR NOT version MATCHES "^lumbra ")
    message(FATAL_ERROR "the installed lumbra does not run: ${result} ${version}")
endif()
