#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package from a built tree and checks it as a user's
# machine would meet it: its file list and control fields, the desktop entry
# and metainfo validators, lintian, and both programs run from the unpacked
# package with HOME pointed into a temporary folder.
# usage: check_package.sh BUILD_DIR DESKTOP_ID "ICON_SIZES"
set -euo pipefail
build=$(cd "$1" && pwd)
id=$2
icon_sizes=$3

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

for tool in cpack dpkg-deb dpkg-shlibdeps file desktop-file-validate appstreamcli lintian; do
  command -v "$tool" >/dev/null || fail "$tool is missing (scripts/setup.sh installs it)"
done

# --- the package ------------------------------------------------------------
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/out" >"$tmp/cpack.log" 2>&1 ||
  { cat "$tmp/cpack.log" >&2; fail "cpack"; }
debs=("$tmp"/out/quadrelle_*.deb)
[ -f "${debs[0]}" ] || fail "no quadrelle_*.deb written"
deb=${debs[0]}

dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' >"$tmp/files"
required=(
  /usr/bin/quadrelle /usr/bin/qdl
  /usr/share/quadrelle/dat/qdlinit.ini /usr/share/quadrelle/dat/dili.ini /usr/share/quadrelle/dat/Quadrelle.html
  /usr/share/quadrelle/skins/Mx1.skn
  /usr/share/applications/$id.desktop /usr/share/metainfo/$id.metainfo.xml
  /usr/share/icons/hicolor/scalable/apps/$id.svg
  /usr/share/man/man1/quadrelle.1.gz /usr/share/man/man1/qdl.1.gz
  /usr/share/bash-completion/completions/qdl
  /usr/share/doc/quadrelle/copyright /usr/share/doc/quadrelle/changelog.gz
)
for s in ${icon_sizes//;/ }; do required+=("/usr/share/icons/hicolor/${s}x$s/apps/$id.png"); done
for f in "${required[@]}"; do grep -qxF "$f" "$tmp/files" || fail "package lacks $f"; done
if grep -E '^/usr/local/|buildfolder' "$tmp/files"; then fail "package holds build or /usr/local files"; fi

depends=$(dpkg-deb -f "$deb" Depends)
for d in libqt6widgets6 libqt6printsupport6 libsqlite3-0 fonts-arphic-uming qt6-translations-l10n; do
  [[ $depends == *"$d"* ]] || fail "Depends lacks $d: $depends"
done
for field in Section Maintainer Description; do
  [ -n "$(dpkg-deb -f "$deb" "$field")" ] || fail "control field $field is empty"
done

# --- validators -------------------------------------------------------------
root=$tmp/root
dpkg -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/$id.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml" >"$tmp/as.log" 2>&1 ||
  { cat "$tmp/as.log" >&2; fail "appstreamcli validate"; }
# Errors fail; warnings are listed in the log of the test.
lintian --fail-on error "$deb" || fail "lintian reports errors"

# --- the unpacked programs --------------------------------------------------
# Everything the programs write must land in this home, never in the tree
# they run from.
home=$tmp/home
mkdir -p -m 700 "$home" "$home/run"
export HOME=$home XDG_DATA_HOME=$home/.local/share XDG_CONFIG_HOME=$home/.config XDG_CACHE_HOME=$home/.cache \
  XDG_RUNTIME_DIR=$home/run
find "$root" | sort >"$tmp/tree.before"

cast=(cast --date 2004-06-15 --time 00:30 --idate 1 --longitude 116.4 --latitude 39.9 --place 北京市东城区
      --yuejiang 1 --gui 0 --wang 0 --leftpos 0)
"$root/usr/bin/qdl" "${cast[@]}" >"$tmp/cast.txt" || fail "unpacked qdl cast"
"$build/bin/qdl" "${cast[@]}" | cmp -s - "$tmp/cast.txt" || fail "unpacked qdl cast differs from the build's"
grep -q 人元 "$tmp/cast.txt" || fail "qdl cast printed no chart"

# The documentation hook casts, saves the window and quits by itself.
QT_QPA_PLATFORM=offscreen QUADRELLE_SCREENSHOT="$tmp/shot.png" QUADRELLE_MOMENT=2004-06-15-00-30 \
  timeout 60 "$root/usr/bin/quadrelle" || fail "unpacked quadrelle did not start and quit (status $?)"
[ -s "$tmp/shot.png" ] || fail "unpacked quadrelle saved no window picture"

user=$XDG_DATA_HOME/quadrelle/quadrelle
for f in dat/dili.ini dat/qdlinit.ini dat/Quadrelle.html dat/Quadrelle.db skins/Mx1.skn; do
  [ -e "$user/$f" ] || fail "per-user folder lacks $f"
done
find "$root" | sort | diff "$tmp/tree.before" - || fail "the program wrote into its installed tree"

echo "package check passed: $(basename "$deb")"
