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
# Nothing of the tests or benchmarks is installed.

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

# The Debian package: its dependencies are the runtime packages of the
# libraries the programs link (found by dpkg-shlibdeps).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME halden-modem-tools)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Halden")
set(CPACK_PACKAGE_CONTACT "Halden modem tools maintainers <modem-tools@localhost>")
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
include(CPack)
