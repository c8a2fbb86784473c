# Toolchain for the 64-bit Windows host, the width checked under wine64 on machines whose
# kernel cannot run 32-bit Wine.
set(HANOI_MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
