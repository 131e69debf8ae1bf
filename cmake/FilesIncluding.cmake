# sonivera_files_including(OUT DIR REGEX): the C++ files under DIR (as paths relative to it) that
# have an include line matching REGEX (matched against the whole line). Shared by the layering
# checks.
function(sonivera_files_including out dir regex)
  get_filename_component(dir ${dir} ABSOLUTE)
  file(GLOB_RECURSE _files ${dir}/*.cpp ${dir}/*.h ${dir}/*.hpp)
  set(_found "")
  foreach(_f IN LISTS _files)
    file(STRINGS ${_f} _hits REGEX "^[ \t]*#[ \t]*include[ \t]*${regex}")
    if(_hits)
      file(RELATIVE_PATH _rel ${dir} ${_f})
      list(APPEND _found ${_rel})
    endif()
  endforeach()
  set(${out} ${_found} PARENT_SCOPE)
endfunction()
