# Fails when a file under the given folder includes a wxWidgets header: the core must stay free
# of the user-interface toolkit. Usable at configure time (function) and as a script
# (cmake -DDIR=... -P CheckNoToolkit.cmake) from a test.
include(${CMAKE_CURRENT_LIST_DIR}/FilesIncluding.cmake)

function(sonivera_check_no_toolkit dir)
  sonivera_files_including(_bad ${dir} "[<\"]wx/")
  if(_bad)
    message(FATAL_ERROR "${dir} includes wxWidgets headers: ${_bad}")
  endif()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE AND DEFINED DIR)
  sonivera_check_no_toolkit(${DIR})
  message(STATUS "No toolkit headers under ${DIR}")
endif()
