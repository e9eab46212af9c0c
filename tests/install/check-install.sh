#!/usr/bin/env bash
# Installs the build into a scratch DESTDIR and checks that every file is
# where the desktop expects it, that the installed command line runs, that
# the desktop entry is valid, and (unless told to skip it) that the Debian
# package holds the same files and names its dependencies.
# usage: check-install.sh BUILD_DIR [skip-package]
set -euo pipefail
build=$1
skip_package=${2:-0}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

fail() { echo "check-install: $*" >&2; exit 1; }

DESTDIR="$scratch/root" cmake --install "$build" --prefix /usr/local >/dev/null
prefix="$scratch/root/usr/local"
expected=(
  bin/strandex
  bin/strandex-cli
  share/applications/strandex.desktop
  share/icons/hicolor/scalable/apps/strandex.svg
  share/man/man1/strandex-cli.1
  share/doc/strandex/strandex.html
  "share/doc/strandex/Strandex Release Notes.pdf"
)
for f in "${expected[@]}"; do
  [ -f "$prefix/$f" ] || fail "missing $f after install"
done
[ -x "$prefix/bin/strandex-cli" ] || fail "strandex-cli is not executable"
# The pictures the manual shows lie beside it.
pictures=$(grep -o 'src="[^"]*"' "$prefix/share/doc/strandex/strandex.html" | sed 's/^src="//; s/"$//')
[ -n "$pictures" ] || fail "the installed manual shows no pictures"
for picture in $pictures; do
  [ -f "$prefix/share/doc/strandex/$picture" ] || fail "missing share/doc/strandex/$picture after install"
done

version=$(STRANDEX_HOME="$scratch/home" "$prefix/bin/strandex-cli" version)
[[ "$version" =~ [0-9]+\.[0-9]+\.[0-9]+\.[0-9]+ ]] || fail "installed strandex-cli version printed '$version'"
# Without STRANDEX_HOME an installed program keeps its log and settings in
# the XDG folders, even where it could write beside itself.
where=$(env -u STRANDEX_HOME HOME="$scratch" XDG_STATE_HOME="$scratch/state" \
  XDG_CONFIG_HOME="$scratch/config" "$prefix/bin/strandex-cli" version)
grep -qF "Event log: $scratch/state/strandex/strandex-cli.log" <<<"$where" ||
  fail "the installed program's log is not in XDG_STATE_HOME: $where"
grep -qF "Settings:  $scratch/config/strandex/strandex.ini" <<<"$where" ||
  fail "the installed program's settings are not in XDG_CONFIG_HOME: $where"
[ ! -e "$prefix/bin/strandex-cli.log" ] || fail "the installed program wrote its log into bin/"

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/strandex.desktop" || fail "invalid desktop entry"
else
  fail "desktop-file-validate is missing (Debian package desktop-file-utils)"
fi
grep -q '^Exec=strandex --open %F$' "$prefix/share/applications/strandex.desktop" || fail "Exec line"
grep -q '^Categories=Science;Biology;$' "$prefix/share/applications/strandex.desktop" ||
  fail "Categories line"

if [ "$skip_package" = 1 ]; then
  echo "check-install: installed files checked; Debian package skipped for this build"
  exit 0
fi
(cd "$build" && cpack -G DEB -B "$scratch/package" >/dev/null) || fail "cpack -G DEB failed"
deb=$(ls "$scratch"/package/*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "cpack made no .deb"
contents=$(dpkg-deb --contents "$deb")
for f in "${expected[@]}"; do
  grep -qF "./usr/$f" <<<"$contents" || fail "package lacks /usr/$f"
done
for picture in $pictures; do
  grep -qF "./usr/share/doc/strandex/$picture" <<<"$contents" || fail "package lacks the manual's $picture"
done
depends=$(dpkg-deb --field "$deb" Depends)
for d in libqt6gui6 libqt6widgets6 libqt6svg6 xdg-utils qt6-image-formats-plugins; do
  grep -q "$d" <<<"$depends" || fail "package does not depend on $d (Depends: $depends)"
done
echo "check-install: installed files, desktop entry and $(basename "$deb") checked"
