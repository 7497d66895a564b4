# Speaks each LSO call into its sound file in the bin folder, beside the program, with the
# speech synthesiser espeak-ng. The calls and file names are the lines of the call table in
# src/cues/lso_call_sounds.h. Without espeak-ng the build goes on without the files and the
# program shows the calls as text only.
set(lso_call_table ${CMAKE_SOURCE_DIR}/src/cues/lso_call_sounds.h)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${lso_call_table})
file(STRINGS ${lso_call_table} lso_call_lines
     REGEX "^ *{\"[^\"]+\", \"LSO_[A-Za-z0-9]+\\.wav\"},$")
list(LENGTH lso_call_lines lso_call_count)
if(lso_call_count EQUAL 0)
  message(FATAL_ERROR "No call found in ${lso_call_table}: its lines are {\"text\", \"LSO_Name.wav\"},")
endif()

find_program(CORVANE_ESPEAK_NG espeak-ng)
if(NOT CORVANE_ESPEAK_NG)
  message(WARNING "espeak-ng not found: the build makes no LSO call sound files; the program "
                  "shows the calls as text only (install espeak-ng and configure again).")
  return()
endif()

set(lso_call_files)
foreach(line IN LISTS lso_call_lines)
  string(REGEX MATCH "{\"([^\"]+)\", \"([^\"]+)\"}" matched "${line}")
  set(text "${CMAKE_MATCH_1}")
  set(wav ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${CMAKE_MATCH_2})
  add_custom_command(
    OUTPUT ${wav}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}
    COMMAND ${CORVANE_ESPEAK_NG} -v en-us -s 170 -w ${wav} "${text}"
    DEPENDS ${lso_call_table}
    COMMENT "Speaking \"${text}\" into ${CMAKE_MATCH_2}"
    VERBATIM)
  list(APPEND lso_call_files ${wav})
endforeach()
add_custom_target(lso_call_sounds ALL DEPENDS ${lso_call_files})
message(STATUS "LSO calls: ${lso_call_count} sound files spoken by ${CORVANE_ESPEAK_NG}")
