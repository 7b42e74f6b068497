#!/usr/bin/env bash
# Builds the Debian package of Lumoskop with debhelper (debian/) and prints, as its last line,
# the path of the .deb. Installs what the build needs first (scripts/install-deps.sh --package).
#
#   scripts/package-deb.sh          -> build-deb/lumoskop_<version>_<arch>.deb (or $DEB_DIR)
#
# The package is built from a copy of the sources in a temporary folder, because
# dpkg-buildpackage writes into debian/ and puts its results beside the source folder: the
# checkout stays as it was, whatever the build leaves behind or however it fails. The copy holds
# what git tracks and what it would track (local changes included), not the build folders.
#
# debian/changelog is written here, from the version in CMakeLists.txt, so that the package has
# no version number of its own to keep; debian/rules checks that the two agree.
# DEB_BUILD_OPTIONS passes through (nostrip, noautodbgsym, parallel=N, ...), and so does
# LUMOSKOP_WERROR=ON (warnings are errors, as in CI).
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh --package

version=$(sed -n 's/^project(Lumoskop VERSION \([0-9][0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "no version in CMakeLists.txt's project()" >&2; exit 1; }
arch=$(dpkg-architecture -qDEB_HOST_ARCH)
maintainer=$(sed -n 's/^Maintainer: *//p' debian/control)
out=${DEB_DIR:-build-deb}
mkdir -p "$out"
out=$(cd "$out" && pwd)

work=$(mktemp -d "${TMPDIR:-/tmp}/lumoskop-deb.XXXXXX")
trap 'rm -rf "$work"' EXIT
src=$work/lumoskop-$version
mkdir "$src"

if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  # A file deleted but not yet committed is listed too, and left out.
  git ls-files -z --cached --others --exclude-standard |
    while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done |
    tar --null -T - -cf - | tar -xf - -C "$src"
  commit=$(git rev-parse --short=12 HEAD)
  [ -z "$(git status --porcelain --untracked-files=normal)" ] || commit="$commit with local changes"
  built_from="built from commit $commit"
  # The commit's time, not the build's: the same commit gives the same package.
  date=$(git log -1 --format=%cD)
else
  tar --exclude='./build*' --exclude='./fuzz-build*' -cf - . | tar -xf - -C "$src"
  built_from="built from a source tree without git"
  date=$(date -R)
fi

cat >"$src/debian/changelog" <<EOF
lumoskop ($version) unstable; urgency=medium

  * Lumoskop $version, $built_from.

 -- $maintainer  $date
EOF

echo "Building lumoskop $version in $src" >&2
# The log is kept beside the package, where scripts/check-deb.sh reads the compiler's flags.
(cd "$src" && dpkg-buildpackage -b -us -uc -Jauto) 2>&1 | tee "$work/lumoskop_${version}_${arch}.build" >&2

# The package, its debug symbols, the .buildinfo and .changes that describe the build, its log.
results=()
for f in "$work"/*; do
  [ -f "$f" ] && results+=("$f")
done
mv -f "${results[@]}" "$out"/
deb=$out/lumoskop_${version}_${arch}.deb
[ -f "$deb" ] || { echo "dpkg-buildpackage made no $deb" >&2; exit 1; }
echo "$deb"
