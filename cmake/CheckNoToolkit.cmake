# Fails when a file under the given folder includes a wxWidgets header: the core must stay free
# of the user-interface toolkit. Usable at configure time (function) and as a script
# (cmake -DDIR=... -P CheckNoToolkit.cmake) from a test.
function(sonivera_check_no_toolkit dir)
  file(GLOB_RECURSE _files ${dir}/*.cpp ${dir}/*.h ${dir}/*.hpp)
  set(_bad "")
  foreach(_f IN LISTS _files)
    file(STRINGS ${_f} _hits REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]wx/")
    if(_hits)
      list(APPEND _bad ${_f})
    endif()
  endforeach()
  if(_bad)
    message(FATAL_ERROR "The core includes wxWidgets headers: ${_bad}")
  endif()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE AND DEFINED DIR)
  sonivera_check_no_toolkit(${DIR})
  message(STATUS "No toolkit headers under ${DIR}")
endif()
