#!/usr/bin/env bash
# The Debian package, as a user's workstation gets it: builds it with CPack in the build folder,
# lets lintian look at it (no error allowed), unpacks it into a temporary root and runs the
# unpacked sonivera-cli there, validates the menu entry, checks that the file types recognise a
# renamed scene and effect by their content, and that the manual page and the bash completion
# name every subcommand and option the program's own help names.
#   tests/packaging/package-test.sh BUILD_FOLDER
set -euo pipefail
build=$(readlink -f "$1")
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
fail() {
  echo "package-test: FAILED: $*" >&2
  exit 1
}

(cd "$build" && cpack -G DEB >/dev/null) || fail "cpack could not build the package"
deb=$(ls "$build"/sonivera_*.deb | head -n 1)
echo "package-test: $(basename "$deb"), $(stat -c %s "$deb") bytes"

lint=$(lintian "$deb" 2>&1 | grep -v "running with root privileges" || true)
[ -n "$lint" ] && echo "$lint"
if echo "$lint" | grep -q "^E:"; then
  fail "lintian reports errors"
fi

dpkg-deb -x "$deb" "$root/unpacked"
cli="$root/unpacked/usr/bin/sonivera-cli"
version=$("$cli" --version) || fail "the unpacked sonivera-cli --version failed"
[[ $version == "sonivera-cli "* ]] || fail "unexpected version text: $version"
editor="$root/unpacked/usr/bin/sonivera"
# The editor answers --version and --help like the command-line tool, without a display.
[ "$(env -u DISPLAY -u WAYLAND_DISPLAY "$editor" --version)" = "sonivera ${version#sonivera-cli }" ] ||
  fail "sonivera --version does not print its version"
env -u DISPLAY -u WAYLAND_DISPLAY "$editor" --help | grep -q "^Usage: sonivera" ||
  fail "sonivera --help does not print its usage"
dpkg-deb -f "$deb" Recommends | grep -q bash-completion ||
  fail "the package does not recommend bash-completion"
examples="$root/unpacked/usr/share/sonivera/examples"
"$cli" effect "$examples/room.3d" -o "$root/room.e3d" >/dev/null ||
  fail "the unpacked sonivera-cli could not calculate an example"
echo "package-test: unpacked $version calculated examples/room.3d"

desktop-file-validate "$root/unpacked/usr/share/applications/sonivera.desktop" ||
  fail "the desktop entry does not validate"

# The file types, in a data folder of their own: a scene and an effect with a foreign name.
mkdir -p "$root/data/mime/packages"
cp "$root/unpacked/usr/share/mime/packages/sonivera.xml" "$root/data/mime/packages/"
update-mime-database "$root/data/mime" 2>/dev/null || fail "the MIME declaration does not load"
cp "$examples/room.3d" "$root/renamed-scene.bin"
cp "$root/room.e3d" "$root/renamed-effect.bin"
query() { XDG_DATA_HOME="$root/data" XDG_DATA_DIRS="$root/data:/usr/share" xdg-mime query filetype "$1"; }
[ "$(query "$root/renamed-scene.bin")" = application/x-sonivera-scene ] ||
  fail "a renamed scene is not recognised ($(query "$root/renamed-scene.bin"))"
[ "$(query "$root/renamed-effect.bin")" = application/x-sonivera-effect ] ||
  fail "a renamed effect is not recognised"
echo "package-test: a renamed scene is $(query "$root/renamed-scene.bin")"

page=$(zcat "$root/unpacked/usr/share/man/man1/sonivera-cli.1.gz")
completion="$root/unpacked/usr/share/bash-completion/completions/sonivera-cli"
[ -f "$root/unpacked/usr/share/man/man1/sonivera.1.gz" ] || fail "no manual page of sonivera"
for manual in "$root"/unpacked/usr/share/man/man1/*.1.gz; do
  wide=$(MANWIDTH=80 man -l "$manual" 2>/dev/null | awk 'length > 80' | wc -l)
  [ "$wide" -eq 0 ] || fail "$(basename "$manual") has $wide lines past 80 columns"
done
subcommands=$("$cli" --help | awk '/^Subcommands:/ {on = 1; next} on && NF {print $1}')
for sub in $subcommands; do
  grep -qx ".SS $sub" <<<"$page" || fail "the manual page does not describe $sub"
  grep -q "subcommands=.*\b$sub\b" "$completion" || fail "the completion does not offer $sub"
  for option in $("$cli" "$sub" --help | grep -oE '^ +(-[a-z],)?--[a-z-]+' | sed -E 's/^ +//; s/^-[a-z],//'); do
    awk -v s="$sub)" '$1 == s' "$completion" | grep -q -- "$option" ||
      fail "the completion of $sub does not offer $option"
  done
done
echo "package-test: the manual page and the completion name every subcommand and option"
