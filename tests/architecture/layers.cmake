cmake_minimum_required(VERSION 3.20)
# Fails when a source file includes a header of a layer above its own: the layers point one
# way, app -> main window and dialogs -> face, alarms and signal, music -> timekeeping ->
# settings -> ephemeris -> platform. Run as: cmake -DSOURCE_DIR=<top> -P layers.cmake
#
# Each folder of src/ (or sub-folder named here) with its rank; a file may include its own
# folder's headers and those of lower ranks only.
set(ranks
  platform/sound=0 platform=0
  ephemeris/dialog=2 ephemeris=1
  settings=3
  timekeeping=4
  music=5 face=5
  signal=6
  about=7 options=7
  mainwindow/shell=8 mainwindow=9
  app=10)
# Within a rank, the sub-folder's own rules: platform/sound is the module, which nothing in
# platform itself may include (the program reaches it only through SoundBackends).
set(forbidden "platform:platform/sound" "music:face" "face:music")

function(layer_of path out_name out_rank)
  foreach(entry IN LISTS ranks)
    string(REPLACE "=" ";" pair "${entry}")
    list(GET pair 0 name)
    list(GET pair 1 rank)
    if(path MATCHES "^${name}/")
      set(${out_name} ${name} PARENT_SCOPE)
      set(${out_rank} ${rank} PARENT_SCOPE)
      return()
    endif()
  endforeach()
  set(${out_name} "" PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}/src ${SOURCE_DIR}/src/*.cpp ${SOURCE_DIR}/src/*.h)
set(faults "")
foreach(source IN LISTS sources)
  layer_of("${source}" from from_rank)
  if(from STREQUAL "")
    string(APPEND faults "  ${source}: in no layer\n")
    continue()
  endif()
  file(STRINGS ${SOURCE_DIR}/src/${source} includes REGEX "^#include \"[a-z_]+/")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" header "${line}")
    layer_of("${header}" to to_rank)
    if(to STREQUAL "" OR to STREQUAL from)
      continue()
    endif()
    if(to_rank GREATER from_rank OR (to_rank EQUAL from_rank AND NOT to MATCHES "^${from}/"))
      if(NOT (from STREQUAL "platform/sound" AND to STREQUAL "platform"))
        string(APPEND faults "  ${source} (${from}) includes ${header} (${to})\n")
      endif()
    endif()
    if("${from}:${to}" IN_LIST forbidden)
      string(APPEND faults "  ${source} (${from}) includes ${header} (${to})\n")
    endif()
  endforeach()
endforeach()

# The libraries' links state the same layers: a library of src/ links only libraries of its
# own folder or of folders below it. First which folder each library is made in.
file(GLOB_RECURSE lists RELATIVE ${SOURCE_DIR}/src ${SOURCE_DIR}/src/*CMakeLists.txt)
set(libraries "")
foreach(list_file IN LISTS lists)
  get_filename_component(folder "${list_file}" DIRECTORY)
  file(READ ${SOURCE_DIR}/src/${list_file} text)
  string(REGEX MATCHALL "add_library\\([a-z_-]+" made "${text}")
  foreach(m IN LISTS made)
    string(REPLACE "add_library(" "" library "${m}")
    set(folder_of_${library} "${folder}")
    list(APPEND libraries ${library})
  endforeach()
endforeach()
set(link_faults "")
foreach(list_file IN LISTS lists)
  file(READ ${SOURCE_DIR}/src/${list_file} text)
  string(REGEX MATCHALL "target_link_libraries\\([^)]*\\)" links "${text}")
  foreach(link IN LISTS links)
    string(REGEX REPLACE "[ \t\r\n()]+" ";" words "${link}")
    list(GET words 1 library)
    if(NOT DEFINED folder_of_${library})
      continue()  # the program and the module: the top of their own stacks
    endif()
    layer_of("${folder_of_${library}}/" from from_rank)
    foreach(dependency IN LISTS words)
      if(NOT dependency IN_LIST libraries OR dependency STREQUAL library)
        continue()
      endif()
      layer_of("${folder_of_${dependency}}/" to to_rank)
      if(to STREQUAL from)
        continue()
      endif()
      if(to_rank GREATER from_rank OR (to_rank EQUAL from_rank AND NOT to MATCHES "^${from}/")
         OR "${from}:${to}" IN_LIST forbidden)
        string(APPEND link_faults "  ${library} (${from}) links ${dependency} (${to})\n")
      endif()
    endforeach()
  endforeach()
endforeach()

if(faults OR link_faults)
  message(FATAL_ERROR "includes that run against the layers:\n${faults}"
          "links that run against the layers:\n${link_faults}")
endif()
message(STATUS "every include and every link points down the layers")
