# find_package(orv 0.2) for hosts: the imported target orv::orv carries the
# library and the include folder. The run-time modules need no entry here:
# liborv.so finds them in its own folder.
include(CMakePackageConfigHelpers)

set(ORV_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/orv)
install(EXPORT orvTargets NAMESPACE orv:: DESTINATION ${ORV_CMAKE_DIR} COMPONENT dev)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/orvConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/orvConfig.cmake INSTALL_DESTINATION ${ORV_CMAKE_DIR})
# Before 1.0 a minor release may change the interface, so a host asking for
# 0.2 accepts 0.2.x only; from 1.0 on the major version alone decides.
if(PROJECT_VERSION_MAJOR EQUAL 0)
  set(_orv_compatibility SameMinorVersion)
else()
  set(_orv_compatibility SameMajorVersion)
endif()
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/orvConfigVersion.cmake
  COMPATIBILITY ${_orv_compatibility})
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/orvConfig.cmake
  ${CMAKE_CURRENT_BINARY_DIR}/orvConfigVersion.cmake DESTINATION ${ORV_CMAKE_DIR} COMPONENT dev)
