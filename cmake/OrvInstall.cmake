# Helpers for the install rules.

# Compresses a file at configure time the way Debian wants it (best
# compression, no name or time stamp inside) and reruns cmake when the file
# changes.
function(orv_gzip input output)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${input})
  execute_process(COMMAND gzip -9 -n -c ${input} OUTPUT_FILE ${output} RESULT_VARIABLE _rc)
  if(NOT _rc EQUAL 0)
    message(FATAL_ERROR "gzip ${input}: ${_rc}")
  endif()
endfunction()

# Configuration files of the tools: /etc/orv for an install into /usr (the
# packages); under the prefix otherwise, so that "cmake --install --prefix
# DIR" writes nothing outside DIR.
if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  set(ORV_INSTALL_CONFDIR ${CMAKE_INSTALL_FULL_SYSCONFDIR}/orv)
else()
  set(ORV_INSTALL_CONFDIR ${CMAKE_INSTALL_SYSCONFDIR}/orv)
endif()
