#!/usr/bin/env bash
# Takes the pictures of the manual (app/manual/) and of the README (docs/)
# from the real window on the offscreen platform, so they always show what
# the program shows. Run it after `make build`, then look at every picture:
#
#   scripts/screenshot.sh            every picture of the table below
#   scripts/screenshot.sh field      only the pictures whose path contains "field"
#
# Every picture starts the window afresh with its own settings file, on a
# synthetic folder "slide1" (four fields of view, already scored at cutoff
# 40) with field_01.png selected and loaded.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
cli=$repo/build/cli/strandex-cli
app=$repo/build/app/strandex
[ -x "$cli" ] && [ -x "$app" ] || { echo "screenshot: build first (make build)" >&2; exit 1; }

# The pictures, one per line, fields separated by '|':
#   output path (from the repository root)
#   part of the window: "window", or the object name of a child widget or
#     dialog (FieldOfViewDisplayImage, ToolBar, ReviewArea, PreferencesForm, ...)
#   width in pixels the picture is scaled down to (0: as taken)
#   settings for [main] of strandex.ini, comma-separated key=value
# Lines starting with '#' are skipped. Add a line when the window gains
# something worth showing, and its <img> to app/strandex.html; the manual's
# check (ctest -R UserManual) fails when the manual names a picture that is
# missing.
PICTURES="
docs/main-window.png             | window                  | 0   | ThresholdBar=40,FullSpectrumButton=1
app/manual/main-window.png       | window                  | 900 | ThresholdBar=40
app/manual/toolbar.png           | ToolBar                 | 0   |
app/manual/toolbar-view.png      | ViewToolBar             | 0   |
app/manual/field-single-hue.png  | FieldOfViewDisplayImage | 480 | ThresholdBar=40,FullSpectrumButton=0
app/manual/field-full-spectrum.png | FieldOfViewDisplayImage | 480 | ThresholdBar=40,FullSpectrumButton=1
app/manual/preferences.png       | PreferencesForm         | 0   |
app/manual/review.png            | ReviewArea              | 900 | ThresholdBar=40,MetricComboBox=15
app/manual/grid-profiled.png     | CometGridScrollBox      | 900 | MetricComboBox=16,ImageModeComboBox=1
"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$cli" synth --out "$work/slide1" --fields 4 --seed 3 >/dev/null
STRANDEX_HOME="$work" "$cli" score "$work/slide1" --cutoff 40 --yes >/dev/null

trim() { local s=$1; s=${s#"${s%%[![:space:]]*}"}; echo "${s%"${s##*[![:space:]]}"}"; }

while IFS='|' read -r out part width settings; do
  out=$(trim "$out")
  [ -n "$out" ] && [[ "$out" != "#"* ]] || continue
  if [ $# -gt 0 ] && [[ "$out" != *"$1"* ]]; then continue; fi
  part=$(trim "$part")
  width=$(trim "$width")
  settings=$(trim "$settings")
  home="$work/home-$(basename "$out" .png)"
  mkdir -p "$home" "$(dirname "$repo/$out")"
  { echo "[main]"; tr ',' '\n' <<<"$settings" | sed '/^$/d'; } >"$home/strandex.ini"
  [ "$part" = window ] && part=""
  (cd "$work" && STRANDEX_HOME="$home" STRANDEX_NO_ABOUT=1 QT_QPA_PLATFORM=offscreen \
    STRANDEX_SCREENSHOT="$repo/$out" STRANDEX_SCREENSHOT_IMAGE="slide1/field_01.png" \
    STRANDEX_SCREENSHOT_WIDGET="$part" STRANDEX_SCREENSHOT_WIDTH="$width" \
    "$app" slide1/field_01.png)
  if [ ! -s "$repo/$out" ]; then
    echo "screenshot: no picture for $out; the end of the event log:" >&2
    tail -n 5 "$home"/strandex.log >&2
    exit 1
  fi
  echo "$out $(stat -c %s "$repo/$out") bytes"
done <<<"$PICTURES"
