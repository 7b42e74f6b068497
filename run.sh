#!/usr/bin/env bash
# Sets up what is missing, builds, and opens Lumoskop on a photo (the project's sample when
# none is given): ./run.sh [/path/to/photo.jpg]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
photo="${1:-$here/samples/lumoskop-sample.jpg}"
# The photo path is taken as the user typed it, relative to where they stand.
case "$photo" in /*) ;; *) photo="$PWD/$photo" ;; esac
"$here/scripts/install-deps.sh"
"$here/scripts/build.sh" --target lumoskop
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display found (DISPLAY is not set): start ./run.sh from a desktop session." >&2
  exit 1
fi
exec "$here/build/lumoskop" "$photo"
