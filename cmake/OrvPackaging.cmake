# Debian packages, one per install component, cut by "cpack -G DEB" from the
# same install rules as "cmake --install" (scripts/package runs it). Meant
# for a build configured with CMAKE_INSTALL_PREFIX=/usr, so that the library
# folder is the multiarch one and configuration goes to /etc.
set(ORV_PACKAGE_MAINTAINER "orv developers <orv@example.org>" CACHE STRING
    "Maintainer field of the Debian packages")

# component  package       section  summary
set(_orv_packages
  "lib|liborv0|libs|printer management over SNMP - shared library"
  "dev|liborv-dev|libdevel|printer management over SNMP - development files"
  "orvctl|orvctl|utils|printer management over SNMP - command-line tool")
if(TARGET orv_exporter)
  list(APPEND _orv_packages
    "exporter|orv-exporter|net|printer management over SNMP - Prometheus exporter")
endif()

# Long descriptions: lines of at most 80 characters, "\n\n" between paragraphs.
set(_orv_about "liborv discovers printers by SNMP broadcast, opens one, reads its\ninstalled options and status tables and cancels jobs, through a small C\ninterface.")
set(_orv_long_lib "${_orv_about} SNMPv1 and v2c run over its own SNMP framework, SNMPv3\nover Net-SNMP.\n\nThis package holds the shared library and its run-time modules.")
set(_orv_long_dev "${_orv_about}\n\nThis package holds the headers, the CMake package (find_package(orv),\ntarget orv::orv) and the pkg-config file.")
set(_orv_long_orvctl "orvctl drives liborv from the shell: it discovers printers, prints a\nprinter's options, status tables and jobs, cancels jobs and receives\ntraps, as text or JSON.")
set(_orv_long_exporter "orv_exporter reads the status of the printers named in its\nconfiguration through liborv and offers it to Prometheus. It runs as the\nunprivileged system user orv-exporter.")

# The changelog's newest entry names the version being packaged.
file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/changelog.in _orv_top_entry LIMIT_COUNT 1)
if(NOT _orv_top_entry MATCHES "\\(${PROJECT_VERSION}\\)")
  message(FATAL_ERROR "packaging/changelog.in: the newest entry is not ${PROJECT_VERSION}")
endif()

set(_orv_doc_dir ${PROJECT_BINARY_DIR}/packaging)
set(_orv_components "")
foreach(_entry IN LISTS _orv_packages)
  string(REPLACE "|" ";" _fields "${_entry}")
  list(GET _fields 0 _component)
  list(GET _fields 1 _package)
  list(GET _fields 2 _section)
  list(GET _fields 3 _summary)
  string(TOUPPER ${_component} _up)
  list(APPEND _orv_components ${_component})
  set(CPACK_DEBIAN_${_up}_PACKAGE_NAME ${_package})
  set(CPACK_DEBIAN_${_up}_PACKAGE_SECTION ${_section})
  set(CPACK_COMPONENT_${_up}_DESCRIPTION "${_summary}\n${_orv_long_${_component}}")
  # Every package carries the copyright and a changelog under its own name.
  set(PACKAGE ${_package})
  configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in
    ${_orv_doc_dir}/${_package}/changelog @ONLY)
  orv_gzip(${_orv_doc_dir}/${_package}/changelog ${_orv_doc_dir}/${_package}/changelog.gz)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${_orv_doc_dir}/${_package}/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${_package} COMPONENT ${_component})
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orv)
set(CPACK_PACKAGE_VENDOR "orv")
set(CPACK_PACKAGE_CONTACT "${ORV_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_COMPONENTS_ALL ${_orv_components})
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://orv.example.org/")
# Run-time dependencies come from dpkg-shlibdeps; liborv.so.0 itself is found
# in this build, and the packages that use it name liborv0 of this version.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR}/src)
# liborv0 declares liborv.so.0 (shlibs) and updates the loader's cache.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY "=")
set(CPACK_DEBIAN_LIB_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/liborv0/triggers)
set(_orv_same_lib "liborv0 (= ${PROJECT_VERSION})")
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "${_orv_same_lib}")
set(CPACK_DEBIAN_ORVCTL_PACKAGE_DEPENDS "${_orv_same_lib}")
set(CPACK_DEBIAN_EXPORTER_PACKAGE_DEPENDS "${_orv_same_lib}, adduser")
set(_orv_exporter_scripts ${PROJECT_SOURCE_DIR}/packaging/orv-exporter)
set(CPACK_DEBIAN_EXPORTER_PACKAGE_CONTROL_EXTRA ${_orv_exporter_scripts}/conffiles
  ${_orv_exporter_scripts}/postinst ${_orv_exporter_scripts}/prerm
  ${_orv_exporter_scripts}/postrm)

include(CPack)
