# Fails when a file of the editor below its shell includes the shell: only src/gui/app itself, the
# program's main and the icon exporter may include headers of gui/app (the application object and
# the main frame); every other GUI folder reaches the frame through common/ViewFrame.h.
# Run as a script: cmake -DDIR=<src/gui> -P CheckGuiLayers.cmake
set(_bad "")
file(GLOB_RECURSE _files ${DIR}/*.cpp ${DIR}/*.h)
foreach(_f IN LISTS _files)
  file(RELATIVE_PATH _rel ${DIR} ${_f})
  if(_rel MATCHES "^(app|tools)/" OR _rel STREQUAL "main.cpp")
    continue()
  endif()
  file(STRINGS ${_f} _hits REGEX "^[ \t]*#[ \t]*include[ \t]*\"(gui/)?app/")
  if(_hits)
    list(APPEND _bad ${_rel})
  endif()
endforeach()
if(_bad)
  message(FATAL_ERROR "These files below the editor's shell include gui/app: ${_bad}")
endif()
message(STATUS "Nothing below the editor's shell includes gui/app")
