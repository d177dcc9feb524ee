# The program's pictures are built at build time from Debian's famfamfam-silk
# set of 16x16 PNG pictures (by Mark James, licensed CC-BY 3.0) by
# cmake/picture-strip.sh, with ImageMagick.
find_path(TARVELO_SILK_DIR page_white.png PATHS /usr/share/icons/silk/16x16 NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT TARVELO_SILK_DIR)
  message(FATAL_ERROR "no pictures in /usr/share/icons/silk/16x16: install Debian's famfamfam-silk (scripts/ do)")
endif()
find_program(TARVELO_CONVERT convert REQUIRED)

# tarvelo_picture_strip(<output bmp> KEY <colour> BACKGROUND <colour> [TABLE <file>] NAMES <name>...)
# A bitmap strip of 16x16 pictures in the order of NAMES (picture names, or
# names that TABLE maps to pictures). KEY is the colour the program takes as
# transparent; BACKGROUND the colour the pictures are shown on.
function(tarvelo_picture_strip output)
  cmake_parse_arguments(S "" "KEY;BACKGROUND;TABLE" "NAMES" ${ARGN})
  set(script ${CMAKE_SOURCE_DIR}/cmake/picture-strip.sh)
  set(pictures)
  if(NOT S_TABLE)
    list(TRANSFORM S_NAMES PREPEND ${TARVELO_SILK_DIR}/ OUTPUT_VARIABLE pictures)
    list(TRANSFORM pictures APPEND .png)
  endif()
  add_custom_command(OUTPUT ${output}
    COMMAND ${script} ${output} ${TARVELO_SILK_DIR} ${S_KEY} ${S_BACKGROUND} ${S_TABLE} -- ${S_NAMES}
    DEPENDS ${script} ${S_TABLE} ${pictures}
    COMMENT "Building the picture strip ${output}"
    VERBATIM)
endfunction()

# tarvelo_toolbar_commands(<variable> <rc file> <resource name>)
# The command names of a toolbar resource of the .rc file (version, button
# size and count first, then one name per button, 0 for a separator), in the
# toolbar's order, separators left out.
function(tarvelo_toolbar_commands variable rcFile resource)
  file(READ ${rcFile} text)
  string(FIND "${text}" "${resource} 241" start)
  if(start EQUAL -1)
    message(FATAL_ERROR "${rcFile} holds no toolbar ${resource}")
  endif()
  string(SUBSTRING "${text}" ${start} -1 text)
  string(FIND "${text}" "END" end)
  string(SUBSTRING "${text}" 0 ${end} text)
  string(REGEX REPLACE "^.*BEGIN" "" text "${text}")
  string(REGEX MATCHALL "[A-Za-z_0-9]+" words "${text}")
  list(SUBLIST words 4 -1 commands)
  list(REMOVE_ITEM commands 0)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${rcFile})
  set(${variable} ${commands} PARENT_SCOPE)
endfunction()
