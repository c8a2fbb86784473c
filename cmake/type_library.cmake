# Windows build: the type library of objects/type_library.idl (widl), carried as resource
# TYPELIB 1 by the executables that list ${HANOI_TYPE_LIBRARY_RC} among their sources and
# depend on the target hanoi_type_library. widl reads the system's stdole2.tlb, which Wine
# provides. widl stamps the library with the time of its run; in the package builds
# typelib-date.py replaces that by SOURCE_DATE_EPOCH as configured (HANOI_SOURCE_DATE_EPOCH),
# so that they make the same bytes again. The date is on the command line, so a new one
# remakes the library.
find_program(HANOI_WIDL NAMES i686-w64-mingw32-widl widl REQUIRED)
find_package(Python3 REQUIRED COMPONENTS Interpreter)
# The 32-bit one where 32-bit Wine is installed, else 64-bit Wine's: widl takes only the
# standard interfaces' definitions from it, and both give the same bytes.
find_path(HANOI_STDOLE_DIR stdole2.tlb REQUIRED NO_CMAKE_FIND_ROOT_PATH
          PATHS /usr/lib/i386-linux-gnu/wine/i386-windows /usr/lib/wine/i386-windows
                /usr/lib32/wine/i386-windows /usr/lib/x86_64-linux-gnu/wine/x86_64-windows
                /usr/lib/wine/x86_64-windows /usr/lib64/wine/x86_64-windows)
set(HANOI_TYPE_LIBRARY ${CMAKE_BINARY_DIR}/generated/hanoi.tlb)
set(HANOI_TYPE_LIBRARY_RC ${CMAKE_SOURCE_DIR}/objects/type_library.rc)
set(date_command)
if(HANOI_SOURCE_DATE_EPOCH)
  set(date_command COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/cmake/typelib-date.py
                   ${HANOI_TYPE_LIBRARY} ${HANOI_SOURCE_DATE_EPOCH})
endif()
add_custom_command(
  OUTPUT ${HANOI_TYPE_LIBRARY}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/generated
  COMMAND ${HANOI_WIDL} -t --win32 -L ${HANOI_STDOLE_DIR} -o ${HANOI_TYPE_LIBRARY}
          ${CMAKE_SOURCE_DIR}/objects/type_library.idl
  ${date_command}
  DEPENDS ${CMAKE_SOURCE_DIR}/objects/type_library.idl ${CMAKE_SOURCE_DIR}/cmake/typelib-date.py
  COMMENT "Type library hanoi.tlb")
add_custom_target(hanoi_type_library DEPENDS ${HANOI_TYPE_LIBRARY})
# windres finds hanoi.tlb on the include path; the resource is rebuilt when it changes.
# (Source properties belong to a directory: tests/CMakeLists.txt sets the same there.)
set_source_files_properties(${HANOI_TYPE_LIBRARY_RC} PROPERTIES OBJECT_DEPENDS
                            ${HANOI_TYPE_LIBRARY})
