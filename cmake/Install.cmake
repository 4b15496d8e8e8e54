# Installation and the Debian package.
#
#   cmake --install build --prefix DIR     installs into DIR
#   cd build && cpack -G DEB               makes halden-modem-tools_<version>_<arch>.deb
#
# Layout under the prefix:
#   bin/orbscope, bin/modemsim
#   bin/specterm, bin/specterm-dataset     links to the programs in lib/halden/
#   lib/halden/specterm, lib/halden/specterm-dataset, lib/halden/libFFT.so
#                                          the FFT library beside the programs
#                                          that load it from their own folder
#   share/applications/{specterm,orbscope}.desktop
#   share/icons/hicolor/{16x16,32x32,48x48,256x256,scalable}/apps/{specterm,orbscope}.*
#   share/man/man1/{specterm,orbscope,modemsim,specterm-dataset}.1.gz
#                                          made by help2man from each program's
#                                          --help and --version at build time
#   share/doc/halden-modem-tools/{copyright,changelog.gz}
# Nothing of the tests or benchmarks is installed.
#
# scripts/install builds only these and installs them stripped.

include(GNUInstallDirs)

set(HALDEN_PRIVATE_DIR lib/halden)
set(HALDEN_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)

install(TARGETS orbscope modemsim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS specterm specterm-dataset RUNTIME DESTINATION ${HALDEN_PRIVATE_DIR})
install(TARGETS FFT LIBRARY DESTINATION ${HALDEN_PRIVATE_DIR})

# Relative links, so that the tree works under any prefix; the programs find
# their folder through /proc/self/exe, which names the link's target.
file(RELATIVE_PATH halden_private_from_bin /${CMAKE_INSTALL_BINDIR} /${HALDEN_PRIVATE_DIR})
foreach(program specterm specterm-dataset)
  set(link ${CMAKE_BINARY_DIR}/install-links/${program})
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/install-links)
  file(CREATE_LINK ${halden_private_from_bin}/${program} ${link} SYMBOLIC)
  install(FILES ${link} DESTINATION ${CMAKE_INSTALL_BINDIR})
endforeach()

foreach(program specterm orbscope)
  install(FILES ${HALDEN_PACKAGING_DIR}/${program}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${HALDEN_PACKAGING_DIR}/icons/${program}.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  foreach(size 16 32 48 256)
    install(FILES ${HALDEN_PACKAGING_DIR}/icons/${program}-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME ${program}.png)
  endforeach()
endforeach()

# Manual pages. help2man runs each program from the build folder, so the
# pages always say what the programs themselves say; a build without
# help2man (scripts/install-deps brings it) has no pages and says so.
set(HALDEN_MAN_PROGRAMS specterm orbscope modemsim specterm-dataset)
set(HALDEN_MAN_NAME_specterm "spectrum analyzer for Halden satellite modems")
set(HALDEN_MAN_NAME_orbscope "I/Q constellation monitor and firmware re-flash for Halden satellite modems")
set(HALDEN_MAN_NAME_modemsim "Halden satellite modem simulator, an FTP server on loopback")
set(HALDEN_MAN_NAME_specterm-dataset "spectrum update of the Halden Spectrum Analyzer over saved blocks")
find_program(HALDEN_HELP2MAN help2man)
find_program(HALDEN_GZIP gzip)
set(HALDEN_DOC_BUILD_DIR ${CMAKE_BINARY_DIR}/doc)
file(MAKE_DIRECTORY ${HALDEN_DOC_BUILD_DIR})
if(HALDEN_HELP2MAN)
  set(pages)
  foreach(program ${HALDEN_MAN_PROGRAMS})
    set(page ${HALDEN_DOC_BUILD_DIR}/${program}.1.gz)
    # Without a display and with Qt's offscreen platform, so that no
    # program opens a window while the pages are made.
    add_custom_command(
      OUTPUT ${page}
      COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen
              ${HALDEN_HELP2MAN} --no-info --no-discard-stderr --section=1 "--name=${HALDEN_MAN_NAME_${program}}"
              --output=${HALDEN_DOC_BUILD_DIR}/${program}.1 $<TARGET_FILE:${program}>
      COMMAND ${HALDEN_GZIP} -9nf ${HALDEN_DOC_BUILD_DIR}/${program}.1
      DEPENDS ${program}
      COMMENT "Manual page of ${program}"
      VERBATIM)
    list(APPEND pages ${page})
  endforeach()
  add_custom_target(manpages ALL DEPENDS ${pages})
  install(FILES ${pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  message(WARNING "help2man not found (scripts/install-deps installs it): no manual pages")
endif()

# The package's copyright and changelog (its version and maintainer from
# here; the date from SOURCE_DATE_EPOCH when set, so that rebuilds match).
set(HALDEN_MAINTAINER "Halden modem tools <modem-tools@halden.example>"
    CACHE STRING "The maintainer of the package: a name and a mail address")
string(TIMESTAMP HALDEN_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${HALDEN_PACKAGING_DIR}/debian/changelog.in ${HALDEN_DOC_BUILD_DIR}/changelog @ONLY)
configure_file(${HALDEN_PACKAGING_DIR}/debian/copyright ${HALDEN_DOC_BUILD_DIR}/copyright @ONLY)
add_custom_command(
  OUTPUT ${HALDEN_DOC_BUILD_DIR}/changelog.gz
  COMMAND ${HALDEN_GZIP} -9nkf ${HALDEN_DOC_BUILD_DIR}/changelog
  DEPENDS ${HALDEN_DOC_BUILD_DIR}/changelog
  VERBATIM)
add_custom_target(changelog ALL DEPENDS ${HALDEN_DOC_BUILD_DIR}/changelog.gz)
install(FILES ${HALDEN_DOC_BUILD_DIR}/copyright ${HALDEN_DOC_BUILD_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/halden-modem-tools)

# The Debian package: its dependencies are the runtime packages of the
# libraries the programs link (found by dpkg-shlibdeps).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME halden-modem-tools)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Halden")
set(CPACK_PACKAGE_CONTACT "${HALDEN_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "spectrum analyzer and IQ monitor for Halden satellite modems")
set(CPACK_PACKAGE_DESCRIPTION
    "specterm captures the demodulator's I/Q samples over FTP and draws their
spectrum, with peak navigation, peak hold, video average, cursors, zoom and
export. orbscope draws the I/Q constellation with its EVM and re-flashes the
modem's firmware. modemsim simulates a modem on loopback, with faults, for
trying the programs without hardware.")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/DebWithoutLdconfig.cmake)
include(CPack)
