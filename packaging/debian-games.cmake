# Run by CPack on the Debian package's staging folder before it is packed: Debian keeps the
# programs of section games in /usr/games, so the program moves there from /usr/bin and the
# desktop entry's Exec follows it. A plain `cmake --install` keeps bin/hanoi.
set(root "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr")
if(NOT EXISTS "${root}/bin/hanoi")
  message(FATAL_ERROR "debian-games.cmake: no ${root}/bin/hanoi in the staging folder")
endif()
file(MAKE_DIRECTORY "${root}/games")
file(RENAME "${root}/bin/hanoi" "${root}/games/hanoi")
file(GLOB left "${root}/bin/*")
if(NOT left)
  file(REMOVE_RECURSE "${root}/bin")
endif()
file(GLOB entries "${root}/share/applications/*.desktop")
foreach(entry ${entries})
  file(READ "${entry}" text)
  string(REPLACE "\nExec=/usr/bin/hanoi\n" "\nExec=/usr/games/hanoi\n" text "${text}")
  file(WRITE "${entry}" "${text}")
endforeach()
