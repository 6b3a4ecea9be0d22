# What `cmake --install` puts where a Linux desktop looks for it, and the Debian package that
# `cpack -G DEB` makes of it. Included from the top-level CMakeLists.txt.

set(TROVIX_DATA_OUT ${CMAKE_BINARY_DIR}/data)

# Compresses a file as Debian wants its manual pages and changelogs: gzip -9, no time stamp.
function(trovix_gzip input output)
    find_program(TROVIX_GZIP gzip)
    if(TROVIX_GZIP)
        execute_process(COMMAND ${TROVIX_GZIP} -9 -n -c ${input} OUTPUT_FILE ${output}
                        RESULT_VARIABLE failed)
        if(failed)
            message(FATAL_ERROR "gzip ${input}: ${failed}")
        endif()
    else()
        file(ARCHIVE_CREATE OUTPUT ${output} PATHS ${input} FORMAT raw COMPRESSION GZip
             COMPRESSION_LEVEL 9)
    endif()
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${input})
endfunction()

# The home page and the screenshot on it, only once the project has a web site.
set(TROVIX_METAINFO_WEB "")
if(TROVIX_WEB_SITE)
    string(CONCAT TROVIX_METAINFO_WEB
           "  <url type=\"homepage\">${TROVIX_WEB_SITE}</url>\n"
           "  <screenshots>\n    <screenshot type=\"default\">\n"
           "      <caption>Three data files searched for one name</caption>\n"
           "      <image>${TROVIX_WEB_SITE}screenshot.png</image>\n"
           "    </screenshot>\n  </screenshots>\n")
endif()
configure_file(data/io.github.trovix.trovix.metainfo.xml.in
               ${TROVIX_DATA_OUT}/io.github.trovix.trovix.metainfo.xml @ONLY)
# The package's maintainer, also the signer of the changelog's entries. Until the project has a
# mail address, the address is left empty rather than made up.
set(TROVIX_PACKAGE_CONTACT "The Trovix developers <${TROVIX_AUTHOR_EMAIL}>")
configure_file(data/trovix7.1.in ${TROVIX_DATA_OUT}/trovix7.1 @ONLY)
configure_file(data/copyright.in ${TROVIX_DATA_OUT}/copyright @ONLY)
# The changelog, in Debian's format: a native package (its version has no Debian revision)
# installs it as changelog.gz.
configure_file(data/changelog.in ${TROVIX_DATA_OUT}/changelog @ONLY)
trovix_gzip(${TROVIX_DATA_OUT}/trovix7.1 ${TROVIX_DATA_OUT}/trovix7.1.gz)
trovix_gzip(${TROVIX_DATA_OUT}/changelog ${TROVIX_DATA_OUT}/changelog.gz)

# The program, its launcher, AppStream description and icon, its manual page, copyright and
# changelog, and the sample data files that a first run copies to the per-user data folder.
# Where each goes on this system: cmake/platform_layout.cmake.
install(TARGETS trovix7 ${TROVIX_INSTALL_PROGRAM})
install(TARGETS trovix_window LIBRARY DESTINATION ${TROVIX_WINDOW_DIR})
if(TROVIX_FREEDESKTOP_FILES)
    install(FILES data/io.github.trovix.trovix.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${TROVIX_DATA_OUT}/io.github.trovix.trovix.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    install(FILES data/icons/trovix.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
    foreach(size 16 24 32 48 64 128 256)
        install(FILES data/icons/hicolor/${size}x${size}/apps/trovix.png
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    endforeach()
    install(FILES ${TROVIX_DATA_OUT}/trovix7.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES data/trovix7.bash-completion RENAME trovix7
            DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
endif()
install(FILES ${TROVIX_DATA_OUT}/copyright ${TROVIX_DATA_OUT}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/trovix)
install(FILES data/phone_numbers.txt data/taglines.txt data/area_codes.txt
        DESTINATION ${TROVIX_SAMPLES_DIR})

# Packaging builds the program alone: installing no longer builds every target first (the tests
# and the benchmark among them); cpack builds the one target it installs.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(CPACK_INSTALL_COMMANDS "${CMAKE_COMMAND} --build ${CMAKE_BINARY_DIR} --target trovix7")

# cpack -G DEB: a Debian package whose dependencies are the Qt runtime libraries it links.
set(CPACK_PACKAGE_NAME trovix)
set(CPACK_PACKAGE_VENDOR "The Trovix developers")
set(CPACK_PACKAGE_CONTACT "${TROVIX_PACKAGE_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "find and keep free-form text records as you type")
set(CPACK_PACKAGE_DESCRIPTION
    "Trovix finds and keeps small collections of free-form text records, such as
addresses, phone numbers, notes and area codes, in up to three plain-text data
files at once. Type a few words and every record of each file that holds all of
them appears in that file's list; the first is shown whole below the lists,
where it can be changed in place and saved back.

Files keep their encoding (UTF-8 or Windows-1252) and their line ends. A save
goes through a temporary file synced to disk, and Trovix asks before it
overwrites a file that another program changed.")
set(CPACK_PACKAGE_HOMEPAGE_URL ${TROVIX_WEB_SITE})
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# "Open File for Direct Editing", Email Author and WebSite go through xdg-open; Qt's own
# translations give its dialogs' buttons in the user's language.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, qt6-translations-l10n")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
