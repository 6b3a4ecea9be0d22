# Where the program and its files are installed on each system, decided in one place so that
# cmake/check_platform_layout.cmake can check it for every system from any machine.
#
# trovix_platform_layout(<system>) sets, in the caller's scope, for <system> as
# CMAKE_SYSTEM_NAME names it (Linux, Darwin, Windows, ...):
#   TROVIX_PROGRAM_KIND          how add_executable makes the program: MACOSX_BUNDLE on macOS
#                                (an .app), WIN32 on Windows (no console window), else nothing
#   TROVIX_INSTALL_PROGRAM       the arguments of install(TARGETS <program> ...): each kind of
#                                program needs its own destination, or CMake refuses to configure
#   TROVIX_PROGRAM_DIR           the folder, below the install prefix, that holds the executable
#   TROVIX_SAMPLES_DIR           the folder, below the install prefix, of the sample data files
#   TROVIX_WINDOW_DIR            the folder, below the install prefix, of the window library that
#                                the program loads to show its window
#   TROVIX_FREEDESKTOP_FILES     whether the launcher, AppStream metainfo, icon theme files and
#                                manual page are installed (desktops that read them: not macOS
#                                or Windows)
# GNUInstallDirs must have been included by the caller.
function(trovix_platform_layout system)
    set(samples ${CMAKE_INSTALL_DATADIR}/trovix)
    if(system STREQUAL "Darwin")
        # The bundle goes to the top of the prefix; its executable lies inside it.
        set(kind MACOSX_BUNDLE)
        set(install RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} BUNDLE DESTINATION .)
        set(program_dir trovix7.app/Contents/MacOS)
        set(window_dir ${program_dir})
        set(freedesktop OFF)
    elseif(system STREQUAL "Windows")
        set(kind WIN32)
        set(install RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
        set(program_dir ${CMAKE_INSTALL_BINDIR})
        set(window_dir ${program_dir})
        set(freedesktop OFF)
    else()
        set(kind "")
        set(install RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
        set(program_dir ${CMAKE_INSTALL_BINDIR})
        # A private library, in a folder of its own below the system's library folder: on
        # Debian the multiarch one (lib/x86_64-linux-gnu, say), as for a /usr prefix. There,
        # unlike in lib/trovix, the Debian package that cpack makes runs no ldconfig for it,
        # which it needs no more than ld.so looks into that folder.
        set(libdir ${CMAKE_INSTALL_LIBDIR})
        if(CMAKE_LIBRARY_ARCHITECTURE AND libdir STREQUAL "lib")
            set(libdir lib/${CMAKE_LIBRARY_ARCHITECTURE})
        endif()
        set(window_dir ${libdir}/trovix)
        set(freedesktop ON)
    endif()
    set(TROVIX_PROGRAM_KIND ${kind} PARENT_SCOPE)
    set(TROVIX_INSTALL_PROGRAM ${install} PARENT_SCOPE)
    set(TROVIX_PROGRAM_DIR ${program_dir} PARENT_SCOPE)
    set(TROVIX_SAMPLES_DIR ${samples} PARENT_SCOPE)
    set(TROVIX_WINDOW_DIR ${window_dir} PARENT_SCOPE)
    set(TROVIX_FREEDESKTOP_FILES ${freedesktop} PARENT_SCOPE)
endfunction()

# trovix_samples_from_program(<variable>): the path from the program's folder to the samples'
# folder, as the installed program finds them.
function(trovix_samples_from_program variable)
    trovix_path_from_program(${TROVIX_SAMPLES_DIR} path)
    set(${variable} ${path} PARENT_SCOPE)
endfunction()

# trovix_window_from_program(<variable>): the path from the program's folder to the window
# library's folder ("." when they are one).
function(trovix_window_from_program variable)
    trovix_path_from_program(${TROVIX_WINDOW_DIR} path)
    if(path STREQUAL "")
        set(path .)
    endif()
    set(${variable} ${path} PARENT_SCOPE)
endfunction()

# trovix_path_from_program(<folder> <variable>): the path from the program's folder to <folder>,
# both below the install prefix unless absolute.
function(trovix_path_from_program folder variable)
    set(from ${TROVIX_PROGRAM_DIR})
    set(to ${folder})
    foreach(dir from to)
        if(NOT IS_ABSOLUTE "${${dir}}")
            set(${dir} "${CMAKE_INSTALL_PREFIX}/${${dir}}")
        endif()
    endforeach()
    file(RELATIVE_PATH path ${from} ${to})
    set(${variable} ${path} PARENT_SCOPE)
endfunction()
