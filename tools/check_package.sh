#!/usr/bin/env bash
# Builds the Debian package from the normal build folder, unpacks it into a temporary root and runs
# the programs from there as a new user would on a first start: a home folder of their own, no
# database beside them. Then validates the desktop entry and the AppStream file it installs.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="$here/${1:-build}"

cd "$build"
rm -f quorvane-lt_*.deb
cpack -G DEB >/dev/null
deb="$(ls quorvane-lt_*.deb)"
echo "package: $build/$deb"

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
root="$scratch/root"
home="$scratch/home"
mkdir -p "$root" "$home"
dpkg-deb -x "$deb" "$root"

bin="$root/usr/bin"
docs="$root/usr/share/doc/quorvane-lt"
for f in "$bin/quorvane-lt" "$bin/quorvane-mkdb" "$root/usr/share/applications/quorvane-lt.desktop" \
         "$root/usr/share/icons/hicolor/scalable/apps/quorvane-lt.svg" \
         "$root/usr/share/metainfo/org.quorvane.QuorvaneLt.metainfo.xml" \
         "$root/usr/share/mime/packages/quorvane-lt.xml" "$root/usr/share/man/man1/quorvane-lt.1.gz" \
         "$docs/examples/loading-port-hedland.json"; do
  [ -e "$f" ] || { echo "package check: ${f#$root} is missing" >&2; exit 1; }
done

# The unpacked programs, with nothing of the build's around them.
run() {
  env -i PATH=/usr/bin:/bin HOME="$home" LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen \
    ASAN_OPTIONS="${ASAN_OPTIONS:-}" LD_LIBRARY_PATH="$root/usr/lib:$root/usr/lib/x86_64-linux-gnu" "$@"
}
run "$bin/quorvane-mkdb" --examples
run "$bin/quorvane-lt" --survey "$docs/examples/loading-port-hedland.json" --pdf "$scratch/loading.pdf"

data="$home/.local/share/quorvane-lt"
[ -d "$data" ] || { echo "package check: no data folder $data" >&2; exit 1; }
[ -s "$data/DS.dat" ] && [ -s "$data/DS.lib" ] || { echo "package check: no database in $data" >&2; exit 1; }
if [ "$(head -c 15 "$data/DS.dat")" = "SQLite format 3" ]; then
  echo "package check: $data/DS.dat is not encrypted" >&2
  exit 1
fi
[ "$(head -c 5 "$scratch/loading.pdf")" = "%PDF-" ] || { echo "package check: no PDF written" >&2; exit 1; }
[ -z "$(ls -A "$bin" | grep -v '^quorvane-')" ] || { echo "package check: files beside the programs" >&2; exit 1; }

desktop-file-validate "$root/usr/share/applications/quorvane-lt.desktop"
appstreamcli validate --no-net "$root/usr/share/metainfo/org.quorvane.QuorvaneLt.metainfo.xml"
echo "package check: $deb installs, writes its database into the user's folder and a report"
