cmake_minimum_required(VERSION 3.21)
# Installs the build into a fresh prefix and checks what a desktop and a packager need from it.
#   cmake -DBUILD_DIR=<build> -DPREFIX=<empty folder> -P check_install.cmake
# The checkers (desktop-file-validate, appstreamcli, lexgrog and man) are used when present;
# each one missing is named in the output.
file(REMOVE_RECURSE "${PREFIX}")
# The list of what the user's own install put in place stays, for uninstalling.
set(manifest "${BUILD_DIR}/install_manifest.txt")
if(EXISTS "${manifest}")
    file(RENAME "${manifest}" "${manifest}.kept")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_QUIET)
file(REMOVE "${manifest}")
if(EXISTS "${manifest}.kept")
    file(RENAME "${manifest}.kept" "${manifest}")
endif()
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
set(share "${PREFIX}/share")
set(desktop "${share}/applications/io.github.trovix.trovix.desktop")
set(metainfo "${share}/metainfo/io.github.trovix.trovix.metainfo.xml")
set(manual "${share}/man/man1/trovix7.1.gz")
set(expected
    "${PREFIX}/bin/trovix7" "${desktop}" "${metainfo}" "${manual}"
    "${share}/icons/hicolor/scalable/apps/trovix.svg"
    "${share}/icons/hicolor/48x48/apps/trovix.png"
    "${share}/icons/hicolor/256x256/apps/trovix.png"
    "${share}/doc/trovix/copyright" "${share}/doc/trovix/changelog.gz"
    "${share}/trovix/phone_numbers.txt" "${share}/trovix/taglines.txt"
    "${share}/trovix/area_codes.txt" "${share}/bash-completion/completions/trovix7")
foreach(file IN LISTS expected)
    if(NOT EXISTS "${file}")
        message(FATAL_ERROR "not installed: ${file}")
    endif()
endforeach()

# The window library, in the library folder's trovix folder (lib/trovix, or lib/<triplet>/trovix
# on Debian), where the program looks for it.
file(GLOB_RECURSE window "${PREFIX}/trovix7_window*")
list(FILTER window INCLUDE REGEX "/lib[^/]*/([^/]+/)?trovix/trovix7_window[^/]*$")
if(NOT window)
    message(FATAL_ERROR "not installed: the window library in a trovix folder under ${PREFIX}")
endif()
# The installed program searches from the command line.
file(WRITE "${PREFIX}/found.txt" "Smith, Ann\n-----555\nJones\n")
execute_process(COMMAND "${PREFIX}/bin/trovix7" --find smith "${PREFIX}/found.txt"
                RESULT_VARIABLE result OUTPUT_VARIABLE out)
if(NOT result EQUAL 0 OR NOT out STREQUAL "Smith, Ann\n-----555\n")
    message(FATAL_ERROR "the installed program's --find: ${result}\n${out}")
endif()

function(require_text file)
    file(READ "${file}" text)
    foreach(line IN LISTS ARGN)
        string(FIND "${text}" "${line}" at)
        if(at EQUAL -1)
            message(FATAL_ERROR "${file} lacks ${line}")
        endif()
    endforeach()
endfunction()
require_text("${desktop}" "Name=Trovix" "Exec=trovix7\n" "Icon=trovix")
# One main category, so that menus show the launcher once.
file(STRINGS "${desktop}" categories REGEX "^Categories=")
if(NOT categories STREQUAL "Categories=Office\;")
    message(FATAL_ERROR "the desktop file's categories: ${categories}")
endif()
require_text("${metainfo}"
             "<launchable type=\"desktop-id\">io.github.trovix.trovix.desktop</launchable>"
             "<project_license>MIT</project_license>"
             "<content_rating type=\"oars-1.1\"/>")
require_text("${share}/doc/trovix/copyright" "License: MIT" "2026 The Trovix developers")

# Runs a checker that must succeed; with QUIET it must say nothing, with NO_WARNINGS nothing on
# its error output.
function(check)
    cmake_parse_arguments(ARG "QUIET;NO_WARNINGS" "" "COMMAND" ${ARGN})
    list(POP_FRONT ARG_COMMAND program)
    find_program(checker_${program} ${program})
    if(NOT checker_${program})
        message(STATUS "not checked: ${program} is not installed")
        return()
    endif()
    execute_process(COMMAND ${checker_${program}} ${ARG_COMMAND}
                    RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT result EQUAL 0 OR (ARG_QUIET AND NOT out STREQUAL "") OR
       ((ARG_QUIET OR ARG_NO_WARNINGS) AND NOT err STREQUAL ""))
        message(FATAL_ERROR "${program} ${ARG_COMMAND}: ${result}\n${out}${err}")
    endif()
    message(STATUS "checked with ${program}")
endfunction()
check(QUIET COMMAND desktop-file-validate "${desktop}")
# Not even a pedantic hint: as YAML, a report without issues is empty.
check(QUIET COMMAND appstreamcli validate --pedantic --no-net --format yaml "${metainfo}")
check(COMMAND lexgrog "${manual}")
set(ENV{MANWIDTH} 80)
check(NO_WARNINGS COMMAND man --warnings -E UTF-8 -l "${manual}")
file(REMOVE_RECURSE "${PREFIX}")
message(STATUS "installed and checked")
