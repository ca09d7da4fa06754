# Adds each listed folder that has a CMakeLists.txt, in the order given.
function(quirex_add_subdirectories)
  foreach(dir IN LISTS ARGN)
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
      add_subdirectory(${dir})
    endif()
  endforeach()
endfunction()

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
# build runs (QUIREX_REGISTRY when set, else the user's own).
function(quirex_register_component target)
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
