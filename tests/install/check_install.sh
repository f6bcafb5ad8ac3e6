#!/usr/bin/env bash
# Installs the build into a temporary prefix, checks the files, validates the desktop entry when
# desktop-file-validate is there, and starts the installed program offscreen on a demo ROM: it must open the
# ROM, so it found the installed Data folder (nothing lies beside the installed executable).
#   check_install.sh BUILD_DIR MAKE_DEMO_ROM
set -euo pipefail
build=$1
make_demo_rom=$2
prefix=$(mktemp -d "${TMPDIR:-/tmp}/vornhal-install-XXXXXX")
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null

for file in bin/Vornhal bin/vornhal-cli share/vornhal/Data/Data.ini share/vornhal/Data/Items.txt \
  share/vornhal/Data/Abilities.txt share/vornhal/Data/Types.txt share/vornhal/Data/EggTypes.txt \
  share/vornhal/Data/Attacks.txt share/applications/vornhal.desktop \
  share/icons/hicolor/scalable/apps/vornhal.svg share/icons/hicolor/48x48/apps/vornhal.png \
  share/icons/hicolor/256x256/apps/vornhal.png share/doc/vornhal/LICENSE share/doc/vornhal/README.md; do
  [ -s "$prefix/$file" ] || fail "$file is not installed"
done
[ -x "$prefix/bin/Vornhal" ] || fail "bin/Vornhal is not executable"
[ ! -e "$prefix/bin/Data" ] || fail "a Data folder beside the installed program would hide the installed one"
grep -qx 'MimeType=application/x-gba-rom;' "$prefix/share/applications/vornhal.desktop" ||
  fail "the desktop entry does not offer .gba files"

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/vornhal.desktop" || fail "desktop-file-validate"
else
  echo "desktop-file-validate not found: the desktop entry is not validated"
fi

"$make_demo_rom" "$prefix/demo.gba" >/dev/null
# A home of its own, so the user's settings are neither read nor written.
output=$(env HOME="$prefix/home" XDG_CONFIG_HOME="$prefix/home/.config" QT_QPA_PLATFORM=offscreen \
  VORNHAL_TEST_QUIT_AFTER_MS=500 "$prefix/bin/Vornhal" "$prefix/demo.gba" 2>/dev/null) ||
  fail "the installed program exited with $?"
mapfile -t shown <<<"$output"
[ "${shown[0]}" = "Vornhal - [VRNH] - Demo (generated)" ] && [ "${shown[1]}" = "Opened demo.gba" ] &&
  [ "${shown[2]}" = "demo.gba  ·  Demo (generated)  ·  1 MiB" ] || fail "the installed program showed: $output"
info=$(env HOME="$prefix/home" XDG_CONFIG_HOME="$prefix/home/.config" "$prefix/bin/vornhal-cli" info \
  "$prefix/demo.gba") || fail "the installed vornhal-cli exited with $?: $info"
grep -q '^Section       \[VRNH\] Demo (generated)$' <<<"$info" || fail "the installed vornhal-cli showed: $info"
echo "installed into a temporary prefix; the program and vornhal-cli opened the demo ROM with the installed Data"
