# Fails when a file of the editor below its shell includes the shell: only src/gui/app itself, the
# program's main and the icon exporter may include headers of gui/app (the application object and
# the main frame); every other GUI folder reaches the frame through common/ViewFrame.h.
# Run as a script: cmake -DDIR=<src/gui> -P CheckGuiLayers.cmake
include(${CMAKE_CURRENT_LIST_DIR}/FilesIncluding.cmake)

sonivera_files_including(_bad ${DIR} "\"(gui/)?app/")
list(FILTER _bad EXCLUDE REGEX "^(app|tools)/|^main\\.cpp$")
if(_bad)
  message(FATAL_ERROR "These files below the editor's shell include gui/app: ${_bad}")
endif()
message(STATUS "Nothing below the editor's shell includes gui/app")
