#!/usr/bin/env bash
# Starts the desktop program on the sample portfolio (make run). Its working
# folder is <build>/run: Application.ini and Application.log live there. The
# first start writes the sample portfolio into <build>/bin/Example, next to
# the sample investment files made by the build.
set -euo pipefail
cd "$(dirname "$0")/.."

build="${1:-build}"
shift || true
bin="$(cd "$build/bin" && pwd)"
run="$(pwd)/$build/run"
program="$bin/brisden"

if [ ! -x "$program" ]; then
  echo "run-sample: $program is missing; build first (make build)" >&2
  exit 1
fi
mkdir -p "$run"

# A settings file of its own whose default portfolio is the sample one. A
# settings file from an earlier run is kept as the user left it.
ini="$run/Application.ini"
if [ ! -f "$ini" ] || ! grep -qi '^DefaultPortfolio=' "$ini"; then
  printf '[General]\r\nDefaultPortfolio=%s\r\n' "$bin/Example/SamplePortfolio.def" >> "$ini"
fi

cd "$run"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  if command -v xvfb-run >/dev/null; then
    echo "run-sample: no display; starting Brisden on a virtual one (xvfb-run)." >&2
    exec xvfb-run -a "$program" "$@"
  fi
  echo "run-sample: no display to show the window on" >&2
  exit 1
fi
exec "$program" "$@"
