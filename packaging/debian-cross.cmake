# The Debian package of a cross build (aarch64, cmake/linux-aarch64.cmake): it is for arm64,
# and dpkg-shlibdeps computes its Depends from the arm64 libraries of the build's root. Each
# runtime package is unpacked there on its own with its DEBIAN/ control files
# (cmake/aarch64-sysroot.sh), where dpkg-shlibdeps reads its symbols and shlibs files.
if(NOT CMAKE_SYSTEM_PROCESSOR STREQUAL "aarch64")
  message(FATAL_ERROR "a Debian package is made for aarch64 cross builds only")
endif()
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE arm64)
file(GLOB packages LIST_DIRECTORIES true ${CMAKE_SYSROOT}/pkgs/*)
foreach(package ${packages})
  foreach(folder lib/aarch64-linux-gnu usr/lib/aarch64-linux-gnu)
    if(IS_DIRECTORY ${package}/${folder})
      list(APPEND CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${package}/${folder})
    endif()
  endforeach()
endforeach()
# dpkg-shlibdeps takes the host architecture from the environment: arm64 makes it read the
# program with aarch64-linux-gnu-objdump and search the arm64 library folders.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/debian-cross-cpack.cmake)
