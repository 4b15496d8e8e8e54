# Run by CPack after it made the Debian package (CPACK_POST_BUILD_SCRIPTS).
# CPack gives every package with a shared object below /usr/lib maintainer
# scripts that call ldconfig; libFFT.so is private to the programs (in
# /usr/lib/halden, loaded from the programs' own folder), so the package is
# rebuilt without them.

find_program(DPKG_DEB dpkg-deb REQUIRED)
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(NOT package MATCHES "\\.deb$")
    continue()
  endif()
  set(tree ${CPACK_TOPLEVEL_DIRECTORY}/without-ldconfig)
  file(REMOVE_RECURSE ${tree})
  execute_process(COMMAND ${DPKG_DEB} --raw-extract ${package} ${tree} COMMAND_ERROR_IS_FATAL ANY)
  foreach(script postinst postrm)
    set(file ${tree}/DEBIAN/${script})
    if(NOT EXISTS ${file})
      continue()
    endif()
    file(READ ${file} text)
    # Only scripts that do nothing else go.
    string(REGEX REPLACE "#![^\n]*\n|set -e\n|if \\[[^\n]*\n|[^\n]*ldconfig[^\n]*\n|fi\n|\n" "" rest "${text}")
    if(rest STREQUAL "")
      file(REMOVE ${file})
    else()
      message(FATAL_ERROR "${script} of ${package} does more than ldconfig:\n${text}")
    endif()
  endforeach()
  execute_process(COMMAND ${DPKG_DEB} --root-owner-group --build ${tree} ${package} COMMAND_ERROR_IS_FATAL ANY
                  OUTPUT_QUIET)
  file(REMOVE_RECURSE ${tree})
endforeach()
