# cmake -DOUTPUT=file.cpp -DINPUTS="a.ico|b.ico|c.ico" -P embed_icons.cmake
# Writes a C++ source that defines kEmbeddedIconGroupN[] (the bytes of the N-th input, with a
# trailing zero from the string literal) and kEmbeddedIconGroupNSize (without it).
set(text "// Generated from the icon files by embed_icons.cmake; do not edit.\n#include <cstddef>\n")
string(REPLACE "|" ";" INPUTS "${INPUTS}")
set(n 0)
foreach(input IN LISTS INPUTS)
  math(EXPR n "${n} + 1")
  file(READ "${input}" hex HEX)
  # 64 bytes per line, each byte as a \xNN escape inside adjacent string literals.
  string(REPEAT "[0-9a-f]" 128 line)
  string(REGEX REPLACE "(${line})" "\\1\n" hex "${hex}")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "\\\\x\\1" hex "${hex}")
  string(REPLACE "\n" "\"\n    \"" hex "${hex}")
  string(APPEND text "extern const unsigned char kEmbeddedIconGroup${n}[] =\n    \"${hex}\";\n")
  string(APPEND text "extern const size_t kEmbeddedIconGroup${n}Size = sizeof kEmbeddedIconGroup${n} - 1;\n")
endforeach()
file(WRITE "${OUTPUT}.tmp" "${text}")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
