# The Windows build, cross-built with cmake/mingw-w64-x86_64.cmake.

# Boost.Regex is header-only from 1.81 on. Debian's 1.81 headers cannot be
# installed beside its default Boost, so they are unpacked privately and
# their folder (holding only "boost") is given here.
set(SORREL_BOOST_INCLUDE "" CACHE PATH "Folder that holds the Boost 1.81 headers")
if(NOT EXISTS "${SORREL_BOOST_INCLUDE}/boost/regex.hpp")
  message(FATAL_ERROR "SORREL_BOOST_INCLUDE must name a folder with boost/regex.hpp (1.81 or later)")
endif()
add_library(sorrel_boost_regex INTERFACE)
target_include_directories(sorrel_boost_regex SYSTEM INTERFACE ${SORREL_BOOST_INCLUDE})
add_library(Boost::regex ALIAS sorrel_boost_regex)

# GoogleTest from Debian's source package, built with this compiler.
set(SORREL_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${SORREL_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
foreach(lib gtest gtest_main gmock gmock_main)
  # GoogleTest's own sources do not build warning-free with MinGW.
  target_compile_options(${lib} PRIVATE -w)
  if(NOT TARGET GTest::${lib})
    add_library(GTest::${lib} ALIAS ${lib})
  endif()
endforeach()

enable_language(RC)

# The code pages come from Windows itself: no converter data is built.
add_custom_target(sorrel_converter_data)

# Wide-character Win32 calls throughout; one static program file each, which
# needs no MinGW runtime DLL beside it.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
add_link_options(-static)
