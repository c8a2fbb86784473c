# Read by CPack before it packs a cross build's Debian package (see debian-cross.cmake).
set(ENV{DEB_HOST_ARCH} arm64)
