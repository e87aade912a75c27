# Install rules: headers, the library with its CMake package and pkg-config file, and the tool.
include(CMakePackageConfigHelpers)

set(PAVENDA_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/pavenda)

# Consumers' C++ sources include headers written in C++20.
target_compile_features(pavenda PUBLIC cxx_std_20)

file(GLOB PAVENDA_INSTALL_HEADERS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/include/pavenda/*.h
     ${PROJECT_SOURCE_DIR}/include/pavenda/*.def)
install(FILES ${PAVENDA_INSTALL_HEADERS} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/pavenda)

install(TARGETS pavenda EXPORT pavendaTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The shared library without its libpavenda.so link: -lpavenda keeps finding the static library,
# whose C++ interface the shared one does not export. CMake consumers link pavenda::pavenda_shared
# by its full path.
install(TARGETS pavenda_shared EXPORT pavendaTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} NAMELINK_SKIP)
install(EXPORT pavendaTargets NAMESPACE pavenda:: DESTINATION ${PAVENDA_CMAKE_DIR})
# The build tree is a package too: -Dpavenda_DIR=<build> finds the same targets, built in place.
export(EXPORT pavendaTargets NAMESPACE pavenda:: FILE ${PROJECT_BINARY_DIR}/pavendaTargets.cmake)

configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/pavendaConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/pavendaConfig.cmake
                              INSTALL_DESTINATION ${PAVENDA_CMAKE_DIR})
# Before 1.0.0 a minor release may break the interface, so only patch releases count as compatible.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/pavendaConfigVersion.cmake
                                 COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/pavendaConfig.cmake
              ${PROJECT_BINARY_DIR}/pavendaConfigVersion.cmake
        DESTINATION ${PAVENDA_CMAKE_DIR})

# Paths in the installed .pc file start from its own place, so the installed tree may be moved or
# installed with another --prefix.
file(RELATIVE_PATH PAVENDA_PC_TO_PREFIX /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
string(REGEX REPLACE "/$" "" PAVENDA_PC_TO_PREFIX "${PAVENDA_PC_TO_PREFIX}")
set(PAVENDA_PC_REQUIRES "")
if(PAVENDA_UNICODE STREQUAL "icu")
  set(PAVENDA_PC_REQUIRES "icu-uc")
endif()
set(PAVENDA_PC_PREFIX "\${pcfiledir}/${PAVENDA_PC_TO_PREFIX}")
set(PAVENDA_PC_LIBDIR "\${prefix}/${CMAKE_INSTALL_LIBDIR}")
set(PAVENDA_PC_INCLUDEDIR "\${prefix}/${CMAKE_INSTALL_INCLUDEDIR}")
configure_file(${PROJECT_SOURCE_DIR}/cmake/pavenda.pc.in ${PROJECT_BINARY_DIR}/install/pavenda.pc
               @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/install/pavenda.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
# The build tree's pavenda.pc names the library where it is built and the headers in the sources
# (PKG_CONFIG_PATH=build).
set(PAVENDA_PC_PREFIX "${PROJECT_BINARY_DIR}")
set(PAVENDA_PC_LIBDIR "$<TARGET_FILE_DIR:pavenda>")
set(PAVENDA_PC_INCLUDEDIR "${PROJECT_SOURCE_DIR}/include")
configure_file(${PROJECT_SOURCE_DIR}/cmake/pavenda.pc.in ${PROJECT_BINARY_DIR}/pavenda.pc.build
               @ONLY)
file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/pavenda.pc INPUT ${PROJECT_BINARY_DIR}/pavenda.pc.build)

if(TARGET pavenda_cli)
  install(TARGETS pavenda_cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
