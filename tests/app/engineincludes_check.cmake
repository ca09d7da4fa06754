# Fails when a source file below APP_DIR includes a header of the engine: any
# file name of a header below ENGINE_DIR, whatever its sub-folder. Names that
# a folder of OTHER_DIRS (the layers the application may use) or APP_DIR
# itself also has are left out: their includes cannot be told apart by name.
#
#   cmake -DAPP_DIR=app -DENGINE_DIR=engine [-DOTHER_DIRS=dir;...] -P engineincludes_check.cmake

cmake_minimum_required(VERSION 3.16)

foreach(var APP_DIR ENGINE_DIR)
  if(NOT IS_DIRECTORY "${${var}}")
    message(FATAL_ERROR "${var} is not a folder: '${${var}}'")
  endif()
endforeach()

file(GLOB_RECURSE engine_headers "${ENGINE_DIR}/*.h" "${ENGINE_DIR}/*.hpp")
if(NOT engine_headers)
  message(FATAL_ERROR "no headers found below ${ENGINE_DIR}")
endif()

set(shared_names)
foreach(dir ${APP_DIR} ${OTHER_DIRS})
  file(GLOB_RECURSE headers "${dir}/*.h" "${dir}/*.hpp")
  foreach(header IN LISTS headers)
    get_filename_component(name "${header}" NAME)
    list(APPEND shared_names "${name}")
  endforeach()
endforeach()

set(engine_names)
foreach(header IN LISTS engine_headers)
  get_filename_component(name "${header}" NAME)
  if(NOT name IN_LIST shared_names)
    list(APPEND engine_names "${name}")
  endif()
endforeach()
list(REMOVE_DUPLICATES engine_names)

file(GLOB_RECURSE sources "${APP_DIR}/*.h" "${APP_DIR}/*.hpp" "${APP_DIR}/*.cpp")
set(failures 0)
foreach(source IN LISTS sources)
  file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]+)[>\"].*$" "\\1" included
      "${line}")
    get_filename_component(name "${included}" NAME)
    if(name IN_LIST engine_names)
      file(RELATIVE_PATH shown "${APP_DIR}/.." "${source}")
      message(SEND_ERROR "${shown} includes the engine header ${included}")
      math(EXPR failures "${failures} + 1")
    endif()
  endforeach()
endforeach()

list(LENGTH sources count)
if(failures GREATER 0)
  message(FATAL_ERROR "${failures} include(s) of engine headers in ${APP_DIR}")
endif()
message(STATUS "${count} sources below ${APP_DIR} include no engine header")
