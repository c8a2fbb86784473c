#!/usr/bin/env bash
# Makes the arm64 root the aarch64 build compiles against and runs in (under qemu-aarch64):
# Debian's arm64 packages, fetched by apt-get with a private configuration and unpacked with
# dpkg -x into build/aarch64-sysroot (or the folder given). Nothing of the host's package
# database changes. The runtime libraries come with every dependency (apt resolves them); the
# development packages come alone (headers, link symlinks, static GoogleTest). Each runtime
# package is also unpacked into pkgs/<name>/ with its DEBIAN/ control files, where
# dpkg-shlibdeps finds its symbols and shlibs files. Incremental: a finished root is kept.
# Usage: cmake/aarch64-sysroot.sh [folder]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(realpath -m "${1:-build/aarch64-sysroot}")
# The list is part of the stamp: a changed list makes a new root.
# GNU MPFR is the unit tests' second oracle for the software extended format.
runtime=(libc6 libstdc++6 libgcc-s1 zlib1g libpng16-16 libffi8 libx11-6 libsdl2-2.0-0
         libbenchmark1debian libmpfr6)
development=(libsdl2-dev libpng-dev zlib1g-dev libffi-dev libx11-dev x11proto-dev libgtest-dev
             libbenchmark-dev libmpfr-dev libgmp-dev)
stamp="${runtime[*]} | ${development[*]}"
[ -f "$root/.complete" ] && [ "$(cat "$root/.complete")" = "$stamp" ] && exit 0

apt_dir=$root.apt  # apt's lists and downloads, kept beside the root for incremental runs
rm -rf "$root"
mkdir -p "$root" "$apt_dir"/{etc/apt.conf.d,etc/preferences.d,etc/sources.list.d,state/lists/partial}
mkdir -p "$apt_dir"/cache/archives/partial "$apt_dir/dev"
# The host's Debian sources (same release and mirror), read for arm64 only.
cp /etc/apt/sources.list.d/*.sources "$apt_dir/etc/sources.list.d/" 2>/dev/null || true
cp /etc/apt/sources.list.d/*.list "$apt_dir/etc/sources.list.d/" 2>/dev/null || true
[ -f /etc/apt/sources.list ] && cp /etc/apt/sources.list "$apt_dir/etc/sources.list"
touch "$apt_dir/etc/sources.list" "$apt_dir/status"
apt_options=(-q -o Dir::Etc="$apt_dir/etc" -o Dir::Etc::TrustedParts=/etc/apt/trusted.gpg.d
             -o Dir::State="$apt_dir/state" -o Dir::State::status="$apt_dir/status"
             -o Dir::Cache="$apt_dir/cache" -o APT::Architecture=arm64
             -o APT::Architectures::=arm64 -o Debug::NoLocking=true
             -o APT::Sandbox::User="$(id -un)")
cmake/apt-update.sh "${apt_options[@]}" >/dev/null
# An empty status file: apt takes nothing as installed and fetches every dependency. An old
# download (another version, a package no longer needed) must not land in the new root.
rm -f "$apt_dir"/cache/archives/*.deb
apt-get "${apt_options[@]}" install --download-only --no-install-recommends -y "${runtime[@]}" \
    >/dev/null
(cd "$apt_dir/dev" && rm -f ./*.deb && apt-get "${apt_options[@]}" download "${development[@]}" \
    >/dev/null)

for deb in "$apt_dir"/cache/archives/*.deb "$apt_dir"/dev/*.deb; do
    dpkg-deb -x "$deb" "$root"
done
for deb in "$apt_dir"/cache/archives/*.deb; do
    package=$root/pkgs/$(dpkg-deb -f "$deb" Package)
    mkdir -p "$package"
    dpkg-deb -x "$deb" "$package"
    dpkg-deb -e "$deb" "$package/DEBIAN"
done
# Absolute symbolic links point into the host: made relative, they stay inside the root.
find "$root" -type l -lname '/*' -print0 | while IFS= read -r -d '' link; do
    target=$(readlink "$link")
    base=$root
    case $link in "$root"/pkgs/*) base=$root/pkgs/$(cut -d/ -f1 <<<"${link#"$root"/pkgs/}") ;; esac
    ln -sfn "$(realpath -m --relative-to="$(dirname "$link")" "$base$target")" "$link"
done
echo "$stamp" >"$root/.complete"
echo "arm64 root in $root: $(ls "$apt_dir"/cache/archives/*.deb | wc -l) runtime packages," \
    "${#development[@]} development packages"
