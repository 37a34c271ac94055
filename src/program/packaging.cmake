# The Debian package, made from the install rules by CPack in the build
# folder: `cmake --build build --target package` (or `cpack` in build/) gives
# build/acquenza_<version>_amd64.deb, installed with
# `apt install ./acquenza_<version>_amd64.deb`.

# The package's version is the one the program shows (splash, about window,
# --version), which the program's values hold.
file(STRINGS ${PROJECT_SOURCE_DIR}/src/app/program_values.cpp ACQUENZA_VERSION_LINE
     REGEX "ProgramVersion = \"[0-9.]+\"")
if(NOT ACQUENZA_VERSION_LINE MATCHES "\"([0-9.]+)\"")
  message(FATAL_ERROR "src/app/program_values.cpp gives no ProgramVersion for the package")
endif()
set(ACQUENZA_VERSION ${CMAKE_MATCH_1})

# What a Debian system expects beside a program: its manual page (made from
# --help, so the options are written in one place), the copyright notice and
# the changelog.
add_custom_command(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/acquenza.1.gz
  COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:acquenza> -DVERSION=${ACQUENZA_VERSION}
          -DOUTPUT=${CMAKE_CURRENT_BINARY_DIR}/acquenza.1
          -P ${CMAKE_CURRENT_SOURCE_DIR}/manual_page.cmake
  DEPENDS acquenza ${CMAKE_CURRENT_SOURCE_DIR}/manual_page.cmake
  COMMENT "Manual page from acquenza --help")
add_custom_target(acquenza_manual_page ALL DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/acquenza.1.gz)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/acquenza.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(ACQUENZA_PACKAGE_MAINTAINER "Acquenza <acquenza@localhost>" CACHE STRING
    "Maintainer written in the Debian package (an office that builds its own package gives its own)")

string(TIMESTAMP ACQUENZA_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/changelog
"acquenza (${ACQUENZA_VERSION}) unstable; urgency=medium

  * Pacchetto costruito dai sorgenti (cmake --build build --target package).

 -- ${ACQUENZA_PACKAGE_MAINTAINER}  ${ACQUENZA_CHANGELOG_DATE}
")
execute_process(COMMAND gzip -9nf ${CMAKE_CURRENT_BINARY_DIR}/changelog)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz ${PROJECT_SOURCE_DIR}/resources/debian/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/acquenza)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME acquenza)
set(CPACK_PACKAGE_VERSION ${ACQUENZA_VERSION})
set(CPACK_PACKAGE_VENDOR "Acquenza")
set(CPACK_PACKAGE_CONTACT "${ACQUENZA_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_PREFIX /usr)
# The package's files as the install step lays them out under /usr; with
# DESTDIR set the install step leaves the desktop's caches to the package
# system, whose triggers (shared-mime-info, desktop-file-utils,
# hicolor-icon-theme watch the folders the files go to) bring them up to
# date after installing and after removing.
set(CPACK_SET_DESTDIR ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "dimensionamento dei tronchi di una rete di acquedotto / water-main sizing")
set(CPACK_PACKAGE_DESCRIPTION
    "Acquenza dimensiona i tronchi di una rete di distribuzione dell'acqua
potabile: per ogni tronco trova il diametro minimo, al millimetro, che
contiene la perdita di carico (formula di Darcy su 14 tratti) entro il
dislivello disponibile, e scrive la relazione di calcolo (.docx, stampa o
PDF) e il riepilogo della rete (CSV).

Acquenza sizes the sections of a drinking-water supply network for Italian
engineering offices: the smallest diameter, in 1 mm steps, that keeps
Darcy's head loss within the available drop, and the calculation report.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ACQUENZA_PACKAGE_MAINTAINER}")
# The libraries the program is linked with, found by dpkg-shlibdeps (package
# dpkg-dev); then what it uses without linking: the fonts its documents are
# set in, and for the tune (silent without them) FluidSynth, opened when the
# tune first plays, with a General MIDI SoundFont; Qt's Italian dialogs; the
# opening of documents in the word processor.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "qt6-translations-l10n, libfluidsynth3, timgm6mb-soundfont | fluid-soundfont-gm, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "libreoffice-writer")

include(CPack)
