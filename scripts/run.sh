#!/usr/bin/env bash
# One command from a fresh Debian 12 machine to the running program: installs what is
# missing, builds, and starts vondrel with the arguments given.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
    echo "vondrel needs a display; without one start it as 'xvfb-run scripts/run.sh' or 'QT_QPA_PLATFORM=offscreen scripts/run.sh'." >&2
    exit 1
fi

"$root/scripts/build.sh"
build_dir=${VONDREL_BUILD_DIR:-$root/build}
exec "$build_dir/app/vondrel" "$@"
