#!/usr/bin/env bash
# Takes a picture of the main window after it scored a folder of synthetic
# fields of view, for the README: scripts/screenshot.sh [out.png]
# (after make build)
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-docs/main-window.png}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build/cli/strandex-cli synth --out "$work/fields" --fields 4 --seed 3 >/dev/null
mkdir -p "$(dirname "$out")"
printf '[main]\r\nThresholdBar=40\r\nFullSpectrumButton=1\r\n' >"$work/strandex.ini"
STRANDEX_HOME="$work" XDG_DATA_HOME="$work/data" STRANDEX_NO_ABOUT=1 QT_QPA_PLATFORM=offscreen \
  STRANDEX_SCREENSHOT="$out" STRANDEX_SCREENSHOT_IMAGE="$work/fields/field_01.png" \
  STRANDEX_SCREENSHOT_SCORE=1 build/app/strandex
echo "$out"
