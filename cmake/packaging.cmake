# Installation of the manual page and the bash completion, and the Debian package made by CPack.
# The programs themselves (mvexterm, mvexboard, mvxcomp) are installed by their own folders.

include(GNUInstallDirs)

# The manual page is installed compressed, as Debian's manual-page tools expect; -n keeps the
# name and time out of the archive so that the package is the same for the same sources.
set(mvex_man_source ${PROJECT_SOURCE_DIR}/doc/mvexterm.1)
set(mvex_man_copy ${PROJECT_BINARY_DIR}/doc/mvexterm.1)
set(mvex_man_page ${mvex_man_copy}.gz)
find_program(MVEX_GZIP gzip REQUIRED)
add_custom_command(
  OUTPUT ${mvex_man_page}
  COMMAND ${CMAKE_COMMAND} -E copy ${mvex_man_source} ${mvex_man_copy}
  COMMAND ${MVEX_GZIP} -9nf ${mvex_man_copy}
  DEPENDS ${mvex_man_source}
  COMMENT "Compressing the manual page"
  VERBATIM)
add_custom_target(mvex_man_page ALL DEPENDS ${mvex_man_page})
install(FILES ${mvex_man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(FILES ${PROJECT_SOURCE_DIR}/completion/mvexterm.bash
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME mvexterm)

install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

if(MVEX_TESTS)
  add_test(NAME BashCompletion.OffersDevicesRatesDelaysAndCommands
           COMMAND bash ${PROJECT_SOURCE_DIR}/completion/mvexterm_completion_test.bash
                   ${PROJECT_SOURCE_DIR}/completion/mvexterm.bash)
  set_tests_properties(BashCompletion.OffersDevicesRatesDelaysAndCommands PROPERTIES TIMEOUT 60)
endif()

# The Debian package: `cpack -G DEB` in the build folder (scripts/package does it all).
set(CPACK_PACKAGE_NAME mvexterm)
set(CPACK_PACKAGE_VENDOR "mvexterm developers")
set(CPACK_PACKAGE_CONTACT "mvexterm developers <mvexterm@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "serial terminal for MORVEX microcontroller boards")
set(CPACK_PACKAGE_DESCRIPTION
    "mvexterm relays a MORVEX board's serial line to the terminal, showing\n"
    "control bytes as glyphs, and sends the typed keys to the board. At the\n"
    "board's prompt it loads hex files (or compiles source files first) into\n"
    "the board at a paced rate, and captures the board's hex listing into a\n"
    "file. The package also holds mvexboard, a simulated board on a\n"
    "pseudo-terminal, and mvxcomp, a stand-in compiler.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "mvexterm developers <mvexterm@example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION comm)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
include(CPack)
