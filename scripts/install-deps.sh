#!/usr/bin/env bash
# Installs what building, running and testing Lumoskop needs, from Debian's packages.
# Idempotent: packages already present are not installed again, so a ready machine
# goes straight on to building. Uses sudo when not run as root.
set -euo pipefail

# Needed to build and run the program.
base_pkgs=(
  g++ cmake make pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-multimedia-dev
  qt6-qpa-plugins libqt6svg6
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good
  libimage-exiftool-perl libexif-dev
  fonts-dejavu-core fonts-liberation2
  # Stands in for Segoe UI: narrow enough for the captions in their designed boxes.
  fonts-crosextra-carlito
  # ExifTool speaks Japanese, Korean and Chinese too: glyphs for their reports.
  fonts-ipafont-gothic fonts-wqy-microhei
)
# Needed by the test suite and the scripts that start the program under a virtual display:
# the window-level tests run under a window manager (openbox, driven with wmctrl, read with
# xprop and xwininfo) and read the program over the accessibility bus as a screen reader does.
test_pkgs=(xvfb xauth xdotool imagemagick python3 desktop-file-utils appstream librsvg2-bin
  openbox wmctrl x11-utils dbus at-spi2-core python3-pyatspi)
# Needed to build the Debian package (scripts/package-deb.sh) and check it (scripts/check-deb.sh):
# debhelper drives the build and dpkg-dev's shlibdeps computes the dependencies (dpkg-buildpackage
# also insists on build-essential, which every Debian build depends on without naming it);
# lintian reviews the package, blhc the build log's hardening flags, and the validators the
# desktop entry and metainfo as installed.
package_pkgs=(build-essential debhelper dpkg-dev lintian blhc desktop-file-utils appstream)

want=("${base_pkgs[@]}")
case "${1:-}" in
  --test) want+=("${test_pkgs[@]}") ;;
  --fuzz) want+=("${test_pkgs[@]}" clang libclang-rt-14-dev llvm) ;;
  --package) want+=("${package_pkgs[@]}") ;;
esac

missing=()
for p in "${want[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "Installing: ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q >&2
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}" >&2
