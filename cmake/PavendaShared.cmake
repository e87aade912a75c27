# The shared build: libpavenda.so.0 exporting the C interface and nothing else, for hosts that load
# the library through a foreign-function interface (Swift, JNI, dlopen). The C++ interface stays
# with the static library: its signatures pass std::string, std::optional, std::map and std::variant
# by value and its inline members walk their layout, so exporting it would freeze one standard
# library build and our inline code into the ABI.

# Hidden by default in every object, so only what is marked PAVENDA_C_API can be exported.
set_target_properties(pavenda PROPERTIES CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)

# The static library's own objects, compiled once for both.
add_library(pavenda_shared SHARED $<TARGET_OBJECTS:pavenda>)
add_library(pavenda::pavenda_shared ALIAS pavenda_shared)
if(PAVENDA_UNICODE STREQUAL "icu")
  target_link_libraries(pavenda_shared PRIVATE ICU::uc)
endif()
target_include_directories(pavenda_shared
  PUBLIC $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/include> $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
# The version script also hides the standard library's template instances, which visibility alone
# cannot. Undefined symbols are refused at link time rather than at load time (except in sanitized
# builds, whose runtime the program brings).
target_link_options(pavenda_shared PRIVATE -Wl,--version-script=${PROJECT_SOURCE_DIR}/cmake/pavenda.map)
if(NOT PAVENDA_SANITIZE)
  target_link_options(pavenda_shared PRIVATE -Wl,--no-undefined)
endif()
set_target_properties(pavenda_shared PROPERTIES
  OUTPUT_NAME pavenda VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR}
  LINK_DEPENDS ${PROJECT_SOURCE_DIR}/cmake/pavenda.map LINKER_LANGUAGE CXX)
