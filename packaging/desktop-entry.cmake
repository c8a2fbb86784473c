# Writes the desktop entry at install time (run by `cmake --install` and by CPack): Exec is the
# installed program's full path under this installation's prefix, quoted and escaped as the
# format of desktop entries needs when the path holds a space or another reserved character.
# Set before it runs: HANOI_DESKTOP_IN (the template), HANOI_DESKTOP_OUT, HANOI_BINDIR.
set(path "${CMAKE_INSTALL_PREFIX}/${HANOI_BINDIR}/hanoi")
if(path MATCHES "^[A-Za-z0-9/._+-]+$")
  set(HANOI_EXEC "${path}")
else()
  # Within the quotes a backslash, double quote, backquote or dollar sign is escaped with a
  # backslash; then the value's own escaping doubles every backslash; a percent sign is %%.
  set(quoted "${path}")
  string(REPLACE "\\" "\\\\" quoted "${quoted}")
  foreach(reserved "\"" "`" "$")
    string(REPLACE "${reserved}" "\\${reserved}" quoted "${quoted}")
  endforeach()
  string(REPLACE "\\" "\\\\" quoted "${quoted}")
  string(REPLACE "%" "%%" quoted "${quoted}")
  set(HANOI_EXEC "\"${quoted}\"")
endif()
configure_file("${HANOI_DESKTOP_IN}" "${HANOI_DESKTOP_OUT}" @ONLY)
