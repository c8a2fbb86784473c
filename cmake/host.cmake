# The target `hanoi_host`: what every part of the program links to reach the platform.
# On Windows the system libraries; on the portable host our platform/ library.
add_library(hanoi_host INTERFACE)

if(WIN32)
  set(HANOI_WINDOWS ON)
  # One self-contained executable: no MinGW run-time DLLs to carry into the Wine prefix.
  target_link_options(hanoi_host INTERFACE -static -static-libgcc -static-libstdc++)
  # The crash report walks the frame-pointer chain on x86, which has no unwind tables.
  add_compile_options(-fno-omit-frame-pointer)
  target_link_libraries(hanoi_host INTERFACE ole32 oleaut32 uuid user32 gdi32)
  # Windows tests run under Wine, in a prefix inside the build tree.
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/cmake/wine-run.sh ${CMAKE_BINARY_DIR}/wineprefix)
else()
  set(HANOI_WINDOWS OFF)
  find_package(Threads REQUIRED)
  find_package(PNG REQUIRED)  # PNG entries of the icon groups
  file(GLOB_RECURSE HANOI_PLATFORM_SOURCES CONFIGURE_DEPENDS platform/*.cpp)
  add_library(hanoi_platform STATIC ${HANOI_PLATFORM_SOURCES})
  target_include_directories(hanoi_platform PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
  # libffi makes the calls DispCallFunc describes (Debian libffi-dev).
  find_library(HANOI_FFI_LIBRARY ffi REQUIRED)
  target_link_libraries(hanoi_platform PUBLIC Threads::Threads ${CMAKE_DL_LIBS} PNG::PNG
                        ${HANOI_FFI_LIBRARY})
  # The display backend of platform/display: SDL2's headers only, since the library is
  # loaded at run time (platform/display/sdl_library); the packages name it by hand.
  find_package(SDL2 REQUIRED)
  target_include_directories(hanoi_platform PUBLIC ${SDL2_INCLUDE_DIRS})
  find_package(X11 REQUIRED)  # the X11 window class (WM_CLASS) of its windows
  target_link_libraries(hanoi_platform PUBLIC X11::X11)
  # The window made before SDL2 is ready goes to SDL's X11 driver with its connection, which
  # the program's own XOpenDisplay lends it (platform/display/x11_early_window): executables
  # export that XOpenDisplay, which then comes before libX11's.
  target_link_options(hanoi_platform INTERFACE "LINKER:--export-dynamic-symbol=XOpenDisplay")
  target_link_libraries(hanoi_host INTERFACE hanoi_platform)
endif()
