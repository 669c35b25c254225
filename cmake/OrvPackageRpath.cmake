# Run by cpack on the staged files of every package before it is built: the
# tools' $ORIGIN search path, right for an install under any prefix, is of no
# use in /usr/bin, where liborv.so.0 is in the loader's own folders.
file(GLOB_RECURSE _orv_staged_tools LIST_DIRECTORIES false
  "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/usr/bin/*")
foreach(_tool IN LISTS _orv_staged_tools)
  file(READ "${_tool}" _magic LIMIT 4 HEX)
  if(_magic STREQUAL "7f454c46")
    file(RPATH_REMOVE FILE "${_tool}")
  endif()
endforeach()
