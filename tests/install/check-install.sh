#!/usr/bin/env bash
# Installs the build into a temporary folder as a package would (prefix /usr) and checks the tree:
# exactly the expected files, each valid for the tools desktops and software centres use, and a
# program that runs and reports the project's version.   Usage: check-install.sh BUILD_DIR VERSION
set -euo pipefail
build=$1 version=$2
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
DESTDIR=$dest cmake --install "$build" --prefix /usr >/dev/null
cd "$dest/usr"
fail() { echo "FAIL: $*" >&2; exit 1; }

id=org.vexmira.Vexmira
expected=(bin/vexmira share/applications/$id.desktop share/metainfo/$id.metainfo.xml
  share/icons/hicolor/scalable/apps/$id.svg share/man/man1/vexmira.1 lib/udev/rules.d/60-vexmira-dmx.rules
  share/doc/vexmira/LICENSE)
for size in 16 32 48 64 128 256; do expected+=("share/icons/hicolor/${size}x$size/apps/$id.png"); done
diff <(printf '%s\n' "${expected[@]}" | sort) <(find . -type f -printf '%P\n' | sort) ||
  fail "installed files (<) expected, (>) installed"

desktop-file-validate "share/applications/$id.desktop" || fail "desktop entry"
grep -qx "Icon=$id" "share/applications/$id.desktop" || fail "the desktop entry names another icon"
grep -qx "Exec=vexmira" "share/applications/$id.desktop" || fail "the desktop entry starts another program"
grep -qx "Exec=vexmira --interface virtual --monitor" "share/applications/$id.desktop" ||
  fail "the desktop entry has no action that tries the program without hardware"
# validate-tree also checks that the launchable desktop entry is installed beside the metadata.
appstreamcli validate-tree --no-net . || fail "AppStream metadata"
[[ $(grep -o '<release version="[^"]*"' "share/metainfo/$id.metainfo.xml" | head -n 1) == "<release version=\"$version\"" ]] ||
  fail "the metadata's newest release is not $version"

warnings=$(LC_ALL=C.UTF-8 groff -man -ww -z -Tutf8 share/man/man1/vexmira.1 2>&1)
[[ -z $warnings ]] || fail "manual page: $warnings"
grep -q "^\.TH VEXMIRA 1 .*\"Vexmira $version\"" share/man/man1/vexmira.1 || fail "manual page version"

[[ $(bin/vexmira --version) == "vexmira $version" ]] || fail "installed program: $(bin/vexmira --version 2>&1)"
echo "installed tree OK"
