# `make install` and `make package`: the programs, their manual pages, the
# documentation, the editor support and the packed demo. Paths follow
# GNUInstallDirs (PREFIX/bin, PREFIX/share/...).
include(GNUInstallDirs)

set(TESSEL_PROGRAMS tessel tessel-pack tessel-check tessel-bundle)
install(TARGETS ${TESSEL_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES README.md docs/guide.md docs/commands.md docs/formats.md docs/demo.png
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/tessel)
install(FILES ${PROJECT_BINARY_DIR}/demo/main.dat DESTINATION ${CMAKE_INSTALL_DATADIR}/tessel/demo)
install(DIRECTORY tools/editor/ DESTINATION ${CMAKE_INSTALL_DATADIR}/tessel/editor)

# Manual pages made from each program's --help at build time, so they never
# disagree with it.
find_program(HELP2MAN help2man)
if(HELP2MAN)
  set(descriptions
    "tessel|play a visual novel"
    "tessel-pack|build, list and unpack Tessel data archives"
    "tessel-check|check a Tessel game the way the engine reads it"
    "tessel-bundle|make a Tessel game a player unpacks and runs")
  set(pages)
  foreach(entry IN LISTS descriptions)
    string(REPLACE "|" ";" fields "${entry}")
    list(GET fields 0 program)
    list(GET fields 1 summary)
    set(page ${PROJECT_BINARY_DIR}/man/${program}.1)
    add_custom_command(
      OUTPUT ${page}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
      COMMAND ${HELP2MAN} --no-info --no-discard-stderr --name=${summary}
              --version-string=${PROJECT_VERSION} --output=${page} $<TARGET_FILE:${program}>
      DEPENDS ${program}
      COMMENT "Writing the manual page of ${program}")
    list(APPEND pages ${page})
  endforeach()
  add_custom_target(man_pages ALL DEPENDS ${pages})
  install(FILES ${pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  message(WARNING "help2man not found: no manual pages (scripts/install-deps.sh installs it)")
endif()

# A Debian package of the same files. Its dependencies are computed from the
# binaries by dpkg-shlibdeps; the fonts the demo names are recommended.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "runtime for visual-novel games")
set(CPACK_PACKAGE_DESCRIPTION "Tessel plays visual novels written as scenario text and Lua \
scripts. It comes with its author tools: tessel-pack, tessel-check and tessel-bundle.")
set(CPACK_PACKAGE_CONTACT "Tessel developers <tessel@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core, fonts-vlgothic")
set(CPACK_STRIP_FILES OFF)
include(CPack)
