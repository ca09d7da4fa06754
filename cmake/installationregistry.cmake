# Included by the install step: writes QUIREX_INSTALLATION_REGISTRY afresh with every library of
# QUIREX_COMPONENT_FILES registered by QUIREX_REGSVR, then makes each library path relative (the
# file name alone), as the installation registry keeps them.
get_filename_component(folder ${QUIREX_INSTALLATION_REGISTRY} DIRECTORY)
file(REMOVE_RECURSE ${folder})
file(MAKE_DIRECTORY ${folder})
set(prefixes)
foreach(library IN LISTS QUIREX_COMPONENT_FILES)
  # No system layer: only what this step registers may end up in the file.
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env QUIREX_REGISTRY=${QUIREX_INSTALLATION_REGISTRY}
      XDG_CONFIG_DIRS=${folder} ${QUIREX_REGSVR} -s ${library}
    RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "cannot register ${library} into ${QUIREX_INSTALLATION_REGISTRY}")
  endif()
  get_filename_component(real ${library} REALPATH)
  get_filename_component(real_folder ${real} DIRECTORY)
  list(APPEND prefixes ${real_folder})
endforeach()
file(READ ${QUIREX_INSTALLATION_REGISTRY} text)
list(REMOVE_DUPLICATES prefixes)
foreach(prefix IN LISTS prefixes)
  string(REPLACE "\"${prefix}/" "\"" text "${text}")
endforeach()
file(WRITE ${QUIREX_INSTALLATION_REGISTRY} "${text}")
file(REMOVE ${QUIREX_INSTALLATION_REGISTRY}.lock)
