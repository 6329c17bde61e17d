# Fails when one of the programs in PROGRAMS (a |-separated list) loads Qt's GUI or widget
# libraries, directly or through another library: the query tool and the ephemeris component
# work on machines without a display stack.
string(REPLACE "|" ";" programs "${PROGRAMS}")
foreach(program IN LISTS programs)
  if(NOT EXISTS "${program}")
    message(FATAL_ERROR "no such program: ${program}")
  endif()
  execute_process(COMMAND ldd "${program}" OUTPUT_VARIABLE libraries RESULT_VARIABLE status)
  if(NOT status EQUAL 0 OR NOT libraries MATCHES "libc\\.so")
    message(FATAL_ERROR "ldd could not list the libraries of ${program}")
  endif()
  string(REGEX MATCHALL "libQt6(Gui|Widgets|OpenGL|XcbQpa)[^ \t\n]*" gui "${libraries}")
  if(gui)
    list(REMOVE_DUPLICATES gui)
    message(FATAL_ERROR "${program} links ${gui}")
  endif()
  message(STATUS "${program}: no Qt GUI library")
endforeach()
