#!/usr/bin/env bash
# Takes a picture of the main window with a synthetic field of view, for
# the README: scripts/screenshot.sh [out.png]   (after make build)
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-docs/main-window.png}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build/cli/strandex-cli synth --out "$work/fields" --fields 1 --seed 3 >/dev/null
mkdir -p "$(dirname "$out")"
STRANDEX_HOME="$work" STRANDEX_NO_ABOUT=1 QT_QPA_PLATFORM=offscreen \
  STRANDEX_SCREENSHOT="$out" STRANDEX_SCREENSHOT_IMAGE="$work/fields/field_01.png" \
  build/app/strandex "$work/fields/field_01.png"
echo "$out"
