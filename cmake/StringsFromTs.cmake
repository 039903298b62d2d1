# Writes the AppKit localisation tables from one Qt Linguist translation
# source, so both platforms take their texts from the same file: each
# context of TS becomes OUTPUT_DIR/<context>.strings, with a line
# "source" = "translation"; per message. Messages without a translation are
# left out, so their text stays as written.
#   cmake -DTS=ZarvikPDE_de.ts -DOUTPUT_DIR=.../de.lproj -P StringsFromTs.cmake
file(READ "${TS}" text)
# Translations may hold ';', which a CMake list would split at.
string(REPLACE ";" "@SEMICOLON@" text "${text}")
string(REPLACE "</context>" ";" contexts "${text}")
file(MAKE_DIRECTORY "${OUTPUT_DIR}")

function(unescape_xml variable value)
  string(REPLACE "&lt@SEMICOLON@" "<" value "${value}")
  string(REPLACE "&gt@SEMICOLON@" ">" value "${value}")
  string(REPLACE "&quot@SEMICOLON@" "\"" value "${value}")
  string(REPLACE "&apos@SEMICOLON@" "'" value "${value}")
  string(REPLACE "&amp@SEMICOLON@" "&" value "${value}")
  string(REPLACE "@SEMICOLON@" ";" value "${value}")
  # Quoted for the table.
  string(REPLACE "\\" "\\\\" value "${value}")
  string(REPLACE "\"" "\\\"" value "${value}")
  set(${variable} "${value}" PARENT_SCOPE)
endfunction()

foreach(context IN LISTS contexts)
  if(NOT context MATCHES "<name>([^<]+)</name>")
    continue()
  endif()
  set(table "${CMAKE_MATCH_1}")
  get_filename_component(source_name "${TS}" NAME)
  set(lines "/* Made by the build from ${source_name}; edit that file instead. */\n")
  string(REGEX MATCHALL "<source>[^<]*</source>[ \t\r\n]*<translation[^>]*>[^<]*</translation>" messages "${context}")
  foreach(message IN LISTS messages)
    string(REGEX MATCH "<source>([^<]*)</source>[ \t\r\n]*<translation[^>]*>([^<]*)</translation>" _ "${message}")
    set(source "${CMAKE_MATCH_1}")
    set(translation "${CMAKE_MATCH_2}")
    if(translation STREQUAL "")
      continue()
    endif()
    unescape_xml(source "${source}")
    unescape_xml(translation "${translation}")
    string(APPEND lines "\"${source}\" = \"${translation}\";\n")
  endforeach()
  file(WRITE "${OUTPUT_DIR}/${table}.strings" "${lines}")
endforeach()
