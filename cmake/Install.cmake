# What `cmake --install` puts where, and the Debian package made from it (`cpack -G DEB`).
# The help pages are compiled into the program; the database is not installed: the program writes
# the delivered one into the user's data folder on its first start.
include(GNUInstallDirs)

# The doc folder under the program's own name, as Debian keeps it (/usr/share/doc/quorvane-lt).
set(CMAKE_INSTALL_DOCDIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/quorvane-lt)

set(QUORVANE_LINUX_DIR ${CMAKE_CURRENT_SOURCE_DIR}/resources/linux)
set(QUORVANE_APPSTREAM_ID org.quorvane.QuorvaneLt)

install(TARGETS quorvane-lt quorvane-mkdb RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${QUORVANE_LINUX_DIR}/quorvane-lt.desktop
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
install(FILES ${QUORVANE_LINUX_DIR}/quorvane-lt.svg
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps)
install(FILES ${QUORVANE_LINUX_DIR}/${QUORVANE_APPSTREAM_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)
install(FILES ${QUORVANE_LINUX_DIR}/quorvane-lt-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/mime/packages RENAME quorvane-lt.xml)
# Debian keeps manual pages compressed; without gzip the page goes in as it is.
find_program(GZIP_PROGRAM gzip)
set(QUORVANE_MAN_PAGE ${CMAKE_CURRENT_SOURCE_DIR}/resources/man/quorvane-lt.1)
if(GZIP_PROGRAM)
  configure_file(${QUORVANE_MAN_PAGE} ${CMAKE_BINARY_DIR}/man/quorvane-lt.1 COPYONLY)
  add_custom_command(
    OUTPUT ${CMAKE_BINARY_DIR}/man/quorvane-lt.1.gz
    COMMAND ${GZIP_PROGRAM} -9 -n -k -f ${CMAKE_BINARY_DIR}/man/quorvane-lt.1
    DEPENDS ${CMAKE_BINARY_DIR}/man/quorvane-lt.1
    VERBATIM)
  add_custom_target(man_page ALL DEPENDS ${CMAKE_BINARY_DIR}/man/quorvane-lt.1.gz)
  set(QUORVANE_MAN_PAGE ${CMAKE_BINARY_DIR}/man/quorvane-lt.1.gz)
endif()
install(FILES ${QUORVANE_MAN_PAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/examples/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples
        FILES_MATCHING PATTERN "*.json" PATTERN "*.csv")

# The Debian package: Debian 12's Qt 6 and SQLCipher runtime libraries.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvane-lt)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Quorvane Lt developers")
set(CPACK_PACKAGE_CONTACT "The Quorvane Lt developers <quorvane-lt@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "draft surveys: the cargo a ship loaded or discharged")
set(CPACK_PACKAGE_DESCRIPTION
    "Quorvane Lt finds, by a draft survey, how much cargo a ship has loaded or discharged in port: \
the drafts before and after cargo work corrected to the perpendiculars, the displacement from the \
ship's hydrostatic tables corrected for trim and dock-water density, the weights on board that are \
not cargo taken off. Ships and ports are kept in an encrypted database; reports are previewed, \
printed or written as PDF, also from the command line.")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libc6 (>= 2.36), libstdc++6 (>= 12), libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), libqt6printsupport6 (>= 6.4), libsqlcipher0 (>= 3.4), libssl3 (>= 3.0), libqt6dbus6 (>= 6.4), libqt6keychain1 (>= 0.13), libpq5 (>= 15)")
# A font for the report page and the windows on a machine that has none yet.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core")
include(CPack)
