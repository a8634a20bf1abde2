#!/usr/bin/env bash
# Start-up of the main program on the large database: from launch until the main window
# is ready (start-up sequence done), beside a bare program reading the same rows.
# usage: bench/startup.sh [bin-dir] [database]   (median of 5 runs each)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bin=${1:-$here/../build/bin}
db=${2:-$here/out/large.db}
[ -f "$db" ] || { echo "missing $db: run bench/run-all (or $bin/generate $db) first"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$db" "$work/archivio.db"
printf '%s\n' "$work/archivio.db" > "$work/percorso.txt"

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
# Whole-process wall time in ms, launch to exit.
wall() { local s e; s=$(date +%s%N); "$@" >/dev/null 2>&1; e=$(date +%s%N); echo $(( (e - s) / 1000000 )); }
app=$(for i in 1 2 3 4 5; do
  VASTREL_HOME=$work VASTREL_NONINTERACTIVE=1 QT_QPA_PLATFORM=offscreen wall "$bin/vastrel" --exit-when-ready
done | median)
bare=$(for i in 1 2 3 4 5; do wall "$bin/startup_bare" "$work/archivio.db"; done | median)
ratio=$(awk -v a="$app" -v b="$bare" 'BEGIN {printf "%.2f", a / b}')
echo "start-up to ready: ${app} ms (target <= 1500 ms); bare read of the same rows: ${bare} ms; ratio ${ratio} (target <= 3)"
