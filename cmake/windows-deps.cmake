# What the Windows cross build takes from the Debian host: the header-only
# libraries (seen through a folder of their own, since the host's
# /usr/include must not stand before the Windows headers) and GoogleTest,
# built from its source with the cross compiler.
set(RW_HOST_INCLUDE /usr/include CACHE PATH "The host's headers that hold CLI/ and nlohmann/")
set(RW_HOST_HEADERS ${CMAKE_BINARY_DIR}/host-headers)
foreach(folder CLI nlohmann)
  if(NOT EXISTS ${RW_HOST_INCLUDE}/${folder})
    message(FATAL_ERROR "${RW_HOST_INCLUDE}/${folder} is missing; run scripts/setup")
  endif()
  file(MAKE_DIRECTORY ${RW_HOST_HEADERS})
  file(CREATE_LINK ${RW_HOST_INCLUDE}/${folder} ${RW_HOST_HEADERS}/${folder} SYMBOLIC)
endforeach()
add_library(CLI11::CLI11 INTERFACE IMPORTED)
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
set_target_properties(CLI11::CLI11 nlohmann_json::nlohmann_json PROPERTIES
  INTERFACE_SYSTEM_INCLUDE_DIRECTORIES ${RW_HOST_HEADERS}
  INTERFACE_INCLUDE_DIRECTORIES ${RW_HOST_HEADERS})

set(RW_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's source (libgtest-dev)")
if(BUILD_TESTING AND EXISTS ${RW_GTEST_SOURCE}/CMakeLists.txt)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(${RW_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
endif()
