# Lists the fuzz entries of a configured build: reads the JSON that
# `ctest --show-only=json-v1` printed into JSON_FILE and writes one line per test named
# fuzz_*_replay to OUTPUT_FILE: the entry's name, then the folders its replay test reads,
# separated by tabs. CTest leaves out the command of a test whose program is not built yet;
# such an entry comes without folders. Used by scripts/fuzz.sh.
file(READ "${JSON_FILE}" json)
string(JSON count LENGTH "${json}" tests)
set(lines "")
if(count GREATER 0)
  math(EXPR last "${count} - 1")
  foreach(i RANGE ${last})
    string(JSON name GET "${json}" tests ${i} name)
    if(NOT name MATCHES "^(fuzz_.+)_replay$")
      continue()
    endif()
    set(line "${CMAKE_MATCH_1}")
    string(JSON argc ERROR_VARIABLE missing LENGTH "${json}" tests ${i} command)
    if(NOT missing AND argc GREATER 1)
      math(EXPR lastArg "${argc} - 1")
      foreach(a RANGE 1 ${lastArg})
        string(JSON arg GET "${json}" tests ${i} command ${a})
        string(APPEND line "\t${arg}")
      endforeach()
    endif()
    string(APPEND lines "${line}\n")
  endforeach()
endif()
file(WRITE "${OUTPUT_FILE}" "${lines}")
