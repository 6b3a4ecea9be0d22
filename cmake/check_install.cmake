cmake_minimum_required(VERSION 3.21)
# Installs the build into a fresh prefix and checks what a desktop needs from it.
#   cmake -DBUILD_DIR=<build> -DPREFIX=<empty folder> -P check_install.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
set(expected
    bin/trovix7
    share/applications/trovix.desktop
    share/icons/hicolor/scalable/apps/trovix.svg
    share/icons/hicolor/48x48/apps/trovix.png
    share/icons/hicolor/256x256/apps/trovix.png
    share/trovix/phone_numbers.txt
    share/trovix/taglines.txt
    share/trovix/area_codes.txt)
foreach(file IN LISTS expected)
    if(NOT EXISTS "${PREFIX}/${file}")
        message(FATAL_ERROR "not installed: ${file}")
    endif()
endforeach()
file(READ "${PREFIX}/share/applications/trovix.desktop" desktop)
foreach(line "Name=Trovix" "Exec=trovix7\n" "Icon=trovix" "Categories=Office;Utility;")
    string(FIND "${desktop}" "${line}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "the desktop file lacks ${line}")
    endif()
endforeach()
find_program(VALIDATE desktop-file-validate)
if(VALIDATE)
    execute_process(COMMAND ${VALIDATE} "${PREFIX}/share/applications/trovix.desktop"
                    RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "desktop-file-validate: ${out}")
    endif()
endif()
file(REMOVE_RECURSE "${PREFIX}")
message(STATUS "installed and checked")
