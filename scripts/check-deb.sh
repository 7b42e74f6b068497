#!/usr/bin/env bash
# Checks a package made by scripts/package-deb.sh, as CI does; fails on the first problem.
#
#   scripts/check-deb.sh build-deb/lumoskop_<version>_<arch>.deb
#
# - lintian on the .changes (the package and its debug symbols): an error or a warning fails,
#   info and pedantic tags are printed for review;
# - blhc on the build log: every compile and link got dpkg-buildflags' hardening flags, which
#   a CMake file that set CXXFLAGS or LDFLAGS itself would lose without lintian noticing;
# - the desktop entry and metainfo as installed, through their validators, and the entry's
#   program, which the install rules write with its full path, inside the package;
# - the launch module, the window library, the sound module and the ExifTool keeper where the
#   installed program looks for them, which on Debian is the multiarch library folder, not the lib/ of a
#   `cmake --install`.
set -euo pipefail
deb=$(realpath "$1")
base=${deb%.deb}
arch=$(dpkg-deb -f "$deb" Architecture)
multiarch=$(dpkg-architecture -a"$arch" -qDEB_HOST_MULTIARCH)

echo "== lintian" >&2
lintian --fail-on error,warning --display-info --pedantic --display-experimental --show-overrides "$base.changes"

echo "== blhc" >&2
blhc --bindnow "$base.build"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"

echo "== desktop entry and metainfo" >&2
entry=$root/usr/share/applications/lumoskop.desktop
out=$(desktop-file-validate "$entry" 2>&1) && [ -z "$out" ] || { echo "$out" >&2; exit 1; }
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml >&2
tryexec=$(sed -n 's/^TryExec=//p' "$entry")
[ -x "$root$tryexec" ] || { echo "the desktop entry starts $tryexec, which the package lacks" >&2; exit 1; }
grep -qxF "Exec=$tryexec %f" "$entry" || { echo "Exec and TryExec name different programs" >&2; exit 1; }

folder=/../lib/$multiarch/lumoskop
launch=usr/lib/$multiarch/lumoskop/liblumoskop_launch.so

echo "== launch module" >&2
[ -f "$root/$launch" ] || { echo "$launch is not in the package" >&2; exit 1; }
# The program's file links no Qt: its names are plain C strings.
strings "$root/usr/bin/lumoskop" | grep -xF "/$(basename "$launch")" >/dev/null ||
  { echo "usr/bin/lumoskop does not look for $(basename "$launch")" >&2; exit 1; }
folders=$(strings "$root/usr/bin/lumoskop" | grep '^/\.\./' | sort -u)
[ "$folders" = "$folder" ] ||
  { echo "usr/bin/lumoskop looks beside itself in folders other than /$(dirname "$launch"): $folders" >&2; exit 1; }

echo "== window library" >&2
window=usr/lib/$multiarch/lumoskop/liblumoskop_window.so
[ -f "$root/$window" ] || { echo "$window is not in the package" >&2; exit 1; }
# The launch module holds names and folders as QStringLiterals, which are UTF-16.
strings -e l "$root/$launch" | grep -xF "/$(basename "$window")" >/dev/null ||
  { echo "$launch does not look for $(basename "$window")" >&2; exit 1; }

echo "== sound module" >&2
module=usr/lib/$multiarch/lumoskop/liblumoskop_sound.so
[ -f "$root/$module" ] || { echo "$module is not in the package" >&2; exit 1; }

echo "== ExifTool keeper" >&2
keeper=usr/lib/$multiarch/lumoskop/lumoskop-keeper
[ -f "$root/$keeper" ] && [ -x "$root/$keeper" ] || { echo "$keeper is not in the package as a program" >&2; exit 1; }
strings -e l "$root/$launch" | grep -xF "/$(basename "$keeper")" >/dev/null ||
  { echo "$launch does not look for $(basename "$keeper")" >&2; exit 1; }

# The launch module finds the window library and the keeper, and the window library the sound
# module, in that one folder relative to the program's own.
for module in "$launch" "$window"; do
  folders=$(strings -e l "$root/$module" | grep '^/\.\./' | sort -u)
  [ "$folders" = "$folder" ] ||
    { echo "$module looks beside the program in folders other than /$(dirname "$launch"): $folders" >&2; exit 1; }
done

echo "$deb: all checks passed" >&2
