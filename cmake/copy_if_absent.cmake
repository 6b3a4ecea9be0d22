# Copies SOURCE to DEST only when nothing exists at DEST: a user's data file is never replaced.
if(NOT EXISTS "${DEST}")
    configure_file("${SOURCE}" "${DEST}" COPYONLY)
endif()
