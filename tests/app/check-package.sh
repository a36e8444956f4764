#!/usr/bin/env bash
# Unpacks the Debian package into a scratch root, checks what it installs and
# what it depends on, then starts its zanbo offscreen with a home of its own
# and ends it as a desktop session would: its settings must land in that home.
# Usage: check-package.sh PACKAGE.deb
set -euo pipefail
deb=$1
fail() { echo "check-package: $*" >&2; exit 1; }
[ -f "$deb" ] || fail "no package at $deb"

scratch=$(mktemp -d)
pid=""
cleanup() {
  [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
root=$scratch/root
dpkg -x "$deb" "$root"

for file in usr/bin/zanbo \
  usr/share/applications/example.quindle.zanbo.desktop \
  usr/share/icons/hicolor/scalable/apps/zanbo.svg \
  usr/share/metainfo/example.quindle.zanbo.metainfo.xml \
  usr/share/zanbo/zanbol6.txt usr/share/zanbo/zanboml.txt usr/share/zanbo/zanbol7.txt; do
  [ -f "$root/$file" ] || fail "the package lacks $file"
done
# The desktop entry and the metainfo as installed, checked together.
appstreamcli validate-tree --no-net "$root" >/dev/null || fail "appstreamcli validate-tree failed"

depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6svg6 libqt6sql6-sqlite qt6-qpa-plugins libqt6widgets6 libcurl4; do
  [[ ", $depends," == *", $package"[\ ,]* ]] || fail "Depends lacks $package: $depends"
done

home=$scratch/home
data=$home/.local/share/Zanbo
mkdir -p "$home"
env -u XDG_DATA_HOME -u XDG_CONFIG_HOME HOME="$home" QT_QPA_PLATFORM=offscreen \
  "$root/usr/bin/zanbo" &
pid=$!
# The data folder is made before the window opens: from then on the program
# takes SIGTERM as a close.
for _ in $(seq 1 200); do
  [ -d "$data" ] && break
  kill -0 "$pid" 2>/dev/null || fail "zanbo ended before it made $data"
  sleep 0.05
done
[ -d "$data" ] || fail "zanbo made no $data"
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
pid=""
[ "$status" -eq 0 ] || fail "zanbo ended with status $status"
grep -q '^KAI=10' "$data/zanbo.ini" || fail "no settings written to $data/zanbo.ini"
# A first start puts the samples in the empty data folder, so the board has patterns.
for sample in zanbol6.txt zanboml.txt zanbol7.txt; do
  cmp -s "$root/usr/share/zanbo/$sample" "$data/$sample" || fail "no sample $sample in $data"
done
[ "$(ls -A "$root/usr/bin")" = zanbo ] || fail "zanbo wrote beside itself in usr/bin"
echo "check-package: $(basename "$deb") installs, depends on Qt's SVG plugins, puts its samples and keeps its settings in $data"
