include(CMakePackageConfigHelpers)

install(TARGETS txads zktrace EXPORT txadsTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES include/txads.h include/zktrace.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(EXPORT txadsTargets NAMESPACE txads:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/txads)

configure_package_config_file(cmake/txadsConfig.cmake.in
  ${PROJECT_BINARY_DIR}/txadsConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/txads)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/txadsConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/txadsConfig.cmake ${PROJECT_BINARY_DIR}/txadsConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/txads)

# The prefix is found from the .pc file's own place, so that a staged or
# relocated install (cmake --install --prefix DIR, DESTDIR) is still right.
if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}")
  set(PC_PREFIX "${CMAKE_INSTALL_PREFIX}")
else()
  set(PC_PREFIX "\${pcfiledir}/..")
  string(REPLACE "/" ";" _libdir_parts "${CMAKE_INSTALL_LIBDIR}")
  foreach(_part IN LISTS _libdir_parts)
    string(APPEND PC_PREFIX "/..")
  endforeach()
endif()
configure_file(cmake/txads.pc.in ${PROJECT_BINARY_DIR}/txads.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/txads.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
