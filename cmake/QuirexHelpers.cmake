# Adds each listed folder that has a CMakeLists.txt, in the order given.
function(quirex_add_subdirectories)
  foreach(dir IN LISTS ARGN)
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
      add_subdirectory(${dir})
    endif()
  endforeach()
endfunction()

# quirex_register_component(target)
# Makes `target` (a MODULE library that declares an automation factory list) a component
# library: no "lib" prefix, so its file name gives its ProgIDs, and, with
# QUIREX_REGISTER_COMPONENTS on, registered by regsvr after every build into the registry in
# force when the build runs (QUIREX_REGISTRY when set, else the user's own). The library links
# quirex_qtapp, which makes the application object in a process that has none.
function(quirex_register_component target)
  target_link_libraries(${target} PRIVATE quirex_qtapp)
  # Only the entry points are exported; the factory-list macro marks them visible.
  set_target_properties(${target} PROPERTIES
    PREFIX ""
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
  if(QUIREX_REGISTER_COMPONENTS)
    add_dependencies(${target} regsvr)
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND $<TARGET_FILE:regsvr> -s $<TARGET_FILE:${target}>
      COMMENT "Registering component ${target}"
      VERBATIM)
  endif()
endfunction()
