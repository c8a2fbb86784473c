# Toolchain for the 32-bit Windows host, the product.
set(HANOI_MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
