# What an installation holds besides the programs, component libraries and help (installed where
# their targets are defined): the example, the desktop entry and icon, the manual pages and the
# installation registry.

install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${QUIREX_INSTALL_DATA_DIR}/examples)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/quirexdesk.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/quirexdesk.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Manual pages: packaging/man/<program>.<section>.txt turned into roff at build time, then
# compressed as Debian keeps them (man reads either form).
file(GLOB QUIREX_MAN_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/packaging/man/*.txt)
set(QUIREX_MAN_PAGES)
foreach(source IN LISTS QUIREX_MAN_SOURCES)
  get_filename_component(page ${source} NAME_WE)
  get_filename_component(suffix ${source} NAME)
  string(REGEX REPLACE "^[^.]+\\.([0-9])\\.txt$" "\\1" section ${suffix})
  set(roff ${CMAKE_BINARY_DIR}/man/${page}.${section})
  set(output ${roff}.gz)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DSOURCE=${source} -DOUTPUT=${roff}
      -DVERSION=${PROJECT_VERSION} -P ${PROJECT_SOURCE_DIR}/cmake/manpage.cmake
    COMMAND gzip -9nf ${roff}
    DEPENDS ${source} ${PROJECT_SOURCE_DIR}/cmake/manpage.cmake
    COMMENT "Writing the manual page ${page}(${section})")
  list(APPEND QUIREX_MAN_PAGES ${output})
  install(FILES ${output} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
endforeach()
add_custom_target(quirex_man_pages ALL DEPENDS ${QUIREX_MAN_PAGES})

# The package's copyright and change log, where Debian looks for them.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quirex)
set(QUIREX_CHANGELOG ${CMAKE_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${QUIREX_CHANGELOG}
  COMMAND ${CMAKE_COMMAND} -DSOURCE=${PROJECT_SOURCE_DIR}/packaging/changelog.in
    -DOUTPUT=${CMAKE_BINARY_DIR}/changelog -DVERSION=${PROJECT_VERSION}
    -P ${PROJECT_SOURCE_DIR}/cmake/configurefile.cmake
  COMMAND gzip -9nf ${CMAKE_BINARY_DIR}/changelog
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog.in
  COMMENT "Writing the package change log")
add_custom_target(quirex_changelog ALL DEPENDS ${QUIREX_CHANGELOG})
install(FILES ${QUIREX_CHANGELOG} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quirex)

# The installation registry, lib/quirex/registry.ini: every component registered with its
# library's path relative to that folder, so that the installed programs find the components
# without any registration, also when the installation is moved. Written at install time by
# registering the built libraries into a fresh file.
get_property(QUIREX_COMPONENTS GLOBAL PROPERTY QUIREX_COMPONENT_TARGETS)
set(QUIREX_COMPONENT_FILES)
foreach(component IN LISTS QUIREX_COMPONENTS)
  list(APPEND QUIREX_COMPONENT_FILES "$<TARGET_FILE:${component}>")
endforeach()
set(QUIREX_INSTALLATION_REGISTRY ${CMAKE_BINARY_DIR}/installation/registry.ini)
install(CODE "
  set(QUIREX_REGSVR \"$<TARGET_FILE:regsvr>\")
  set(QUIREX_COMPONENT_FILES \"${QUIREX_COMPONENT_FILES}\")
  set(QUIREX_INSTALLATION_REGISTRY \"${QUIREX_INSTALLATION_REGISTRY}\")
  include(\"${PROJECT_SOURCE_DIR}/cmake/installationregistry.cmake\")")
install(FILES ${QUIREX_INSTALLATION_REGISTRY} DESTINATION ${QUIREX_INSTALL_COMPONENT_DIR})
