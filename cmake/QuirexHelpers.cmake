# The build's own registry file, which the build registers its components into (unless
# QUIREX_REGISTER_FOR_USER): building never changes the user's registry, and two build folders
# never take each other's components. Run the programs of build/bin against it with
# QUIREX_REGISTRY set to this file.
set(QUIREX_BUILD_REGISTRY ${CMAKE_BINARY_DIR}/registry.ini)

# quirex_register_component(target)
# Makes `target` (a MODULE library that declares an automation factory list) a component
# library: no "lib" prefix, so its file name gives its ProgIDs, and, with
# QUIREX_REGISTER_COMPONENTS on, registered by regsvr after every build: into
# QUIREX_BUILD_REGISTRY, or with QUIREX_REGISTER_FOR_USER into the registry in force when the
# build runs (QUIREX_REGISTRY when set, else the user's own). The library links quirex_qtapp,
# which makes the application object in a process that has none.
function(quirex_register_component target)
  target_link_libraries(${target} PRIVATE quirex_qtapp)
  # The installation registry (cmake/QuirexInstall.cmake) lists every component.
  set_property(GLOBAL APPEND PROPERTY QUIREX_COMPONENT_TARGETS ${target})
  # Only the entry points are exported; the factory-list macro marks them visible.
  set_target_properties(${target} PROPERTIES
    PREFIX ""
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
  if(QUIREX_REGISTER_COMPONENTS)
    add_dependencies(${target} regsvr)
    if(QUIREX_REGISTER_FOR_USER)
      set(registry_env "")
      set(registry_name "the user's registry")
    else()
      set(registry_env ${CMAKE_COMMAND} -E env QUIREX_REGISTRY=${QUIREX_BUILD_REGISTRY})
      set(registry_name ${QUIREX_BUILD_REGISTRY})
    endif()
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${registry_env} $<TARGET_FILE:regsvr> -s $<TARGET_FILE:${target}>
      COMMENT "Registering component ${target} in ${registry_name}"
      VERBATIM)
  endif()
endfunction()

# quirex_linked_libraries(target out_var)
# Sets out_var to every library `target` links: its own link libraries, and
# through the link interfaces of those that are targets everything they bring
# along (with the private dependencies of static libraries, which end up in a
# program's link as well). Generator expressions other than LINK_ONLY are not
# followed.
function(quirex_linked_libraries target out)
  set(seen)
  get_target_property(pending ${target} LINK_LIBRARIES)
  if(NOT pending)
    set(pending)
  endif()
  get_target_property(interface ${target} INTERFACE_LINK_LIBRARIES)
  if(interface)
    list(APPEND pending ${interface})
  endif()
  while(pending)
    list(POP_FRONT pending library)
    string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" library "${library}")
    if(library STREQUAL "" OR library MATCHES "^::@" OR library MATCHES "^\\$<"
       OR library IN_LIST seen)
      continue()
    endif()
    list(APPEND seen ${library})
    if(TARGET ${library})
      get_target_property(next ${library} INTERFACE_LINK_LIBRARIES)
      if(next)
        list(APPEND pending ${next})
      endif()
    endif()
  endwhile()
  set(${out} ${seen} PARENT_SCOPE)
endfunction()
