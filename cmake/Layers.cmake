# The layers of the program, declared once: every folder under src/ and the folders its files may
# include ("wx" is the user-interface toolkit; "core/*" is every folder of the core). A folder may
# always include itself; a file belongs to the deepest folder listed that holds it. The check
# below (run at configure time and by a test) refuses any other include of the program's own
# headers or of the toolkit, so the core and the audio library stay free of the toolkit, nothing
# below the editor's shell includes it, and no folder reaches one above it.
set(SONIVERA_LAYERS
  "core/text:"
  "core/version:"
  "core/files: core/text"
  "core/model: core/files core/text"
  "core/tracer: core/model core/files core/text"
  "core/calc: core/model core/text"
  "core/analysis: core/files core/text"
  "core/plot: core/analysis core/text"
  "core/edit: core/model core/files core/text"
  "core/view: core/edit core/model core/files core/text"
  "core/paths: core/view core/tracer core/model core/text"
  "core/plan: core/calc core/model core/text"
  "core/map: core/analysis core/calc core/paths core/plot core/tracer core/model core/files core/text"
  "audio: core/files core/text"
  "cli/json: core/*"
  "cli/render: core/*"
  "cli/map: cli cli/json cli/render core/* audio"
  "cli: cli/json cli/render core/* audio"
  "gui/common: core/* wx"
  "gui/model: gui/common core/* wx"
  "gui/calc: gui/model gui/common core/* wx"
  "gui/effect: gui/common core/* wx"
  "gui/sound: gui/effect gui/common core/* audio wx"
  "gui/view: gui/model gui/calc gui/effect gui/common core/* wx"
  "gui/app: gui/view gui/model gui/calc gui/effect gui/sound gui/common core/* audio wx"
  "gui/tools: gui/app gui/common core/* wx"
  "gui: gui/app wx"
)

# sonivera_check_layers(SRC): fails naming every include that the table does not allow.
function(sonivera_check_layers src)
  get_filename_component(src ${src} ABSOLUTE)
  set(_folders "")
  foreach(_row IN LISTS SONIVERA_LAYERS)
    string(REGEX REPLACE ":.*" "" _folder "${_row}")
    string(REGEX REPLACE "^[^:]*:[ ]*" "" _allowed "${_row}")
    string(REPLACE " " ";" _allowed "${_allowed}")
    set(_allowed_${_folder} ${_allowed})
    list(APPEND _folders ${_folder})
  endforeach()
  # The folder a path (relative to src/) belongs to: the longest listed prefix.
  macro(_layer_of path out)
    set(${out} "")
    foreach(_f IN LISTS _folders)
      string(LENGTH "${_f}" _len)
      string(LENGTH "${${out}}" _best)
      if("${path}" MATCHES "^${_f}/" AND _len GREATER _best)
        set(${out} ${_f})
      endif()
    endforeach()
  endmacro()
  file(GLOB_RECURSE _files ${src}/*.cpp ${src}/*.h ${src}/*.h.in)
  set(_bad "")
  foreach(_file IN LISTS _files)
    file(RELATIVE_PATH _rel ${src} ${_file})
    _layer_of("${_rel}" _mine)
    if(_mine STREQUAL "")
      continue() # resources and generated pictures
    endif()
    file(STRINGS ${_file} _lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](core|gui|cli|audio|wx)/")
    foreach(_line IN LISTS _lines)
      string(REGEX REPLACE "^[^<\"]*[<\"]([^>\"]+)[>\"].*" "\\1" _inc "${_line}")
      if(_inc MATCHES "^wx/")
        set(_theirs wx)
      else()
        _layer_of("${_inc}" _theirs)
      endif()
      if(_theirs STREQUAL "" OR _theirs STREQUAL _mine)
        continue()
      endif()
      set(_ok FALSE)
      foreach(_a IN LISTS _allowed_${_mine})
        if(_a STREQUAL _theirs OR (_a STREQUAL "core/*" AND _theirs MATCHES "^core/"))
          set(_ok TRUE)
        endif()
      endforeach()
      if(NOT _ok)
        list(APPEND _bad "${_rel} (${_mine}) includes ${_inc} (${_theirs})")
      endif()
    endforeach()
  endforeach()
  if(_bad)
    list(JOIN _bad "\n  " _text)
    message(FATAL_ERROR "Includes the layer table (cmake/Layers.cmake) does not allow:\n  ${_text}")
  endif()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE AND DEFINED SRC)
  sonivera_check_layers(${SRC})
  message(STATUS "Every include follows the layer table")
endif()
