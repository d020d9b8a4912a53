#!/usr/bin/env bash
# Benchmarks of the file operations, each as a ratio to a baseline measured in the same run:
#   the name matcher vs glibc fnmatch(FNM_CASEFOLD) over 100,000 names (native);
#   listing 10,000 files with a pattern under Wine vs a bare FindFirstFileW/FindNextFileW walk of the
#   same folder in the same process, and vs find -maxdepth 1 -iname on it.
# Usage: bench/file_operations.sh [BUILD_DIR]   (default: build/, made by tools/build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
cmake -S "$root" -B "$build/native" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build/native" -j2 --target mask_bench_build >/dev/null
cmake -S "$root" -B "$build/windows" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" >/dev/null
cmake --build "$build/windows" -j2 --target listing_bench >/dev/null

echo "== matcher: 100,000 names"
"$build/native/bench/mask_bench"

echo "== listing: 10,000 files"
folder=$(mktemp -d /tmp/kestrane-listing.XXXXXX)
trap 'rm -rf "$folder"' EXIT
python3 - "$folder" <<'PY'
import os, random, sys
random.seed(7)
stems = ["tav", "setup", "report", "Menu", "config", "libcore", "Invoice", "ledger"]
exts = [".exe", ".dll", ".txt", ".EXE", ".bak", ".cfg", ".exe.bak", ".pdf"]
for i in range(10000):
    name = f"{random.choice(stems)}_{i}{random.choice(exts)}"
    open(os.path.join(sys.argv[1], name), "w").close()
os.mkdir(os.path.join(sys.argv[1], "sub.exe"))
PY
pattern='*.exe'
export WINEPREFIX=$build/windows/wine/bench
read -r listed listing_ms bare_ms < <("$root/tools/wine-run" "$build/windows/bench/listing_bench.exe" "Z:${folder//\//\\}" "$pattern" 20 | tr -d '\r')
found=$(find "$folder" -maxdepth 1 -type f -iname "$pattern" | wc -l)
hyperfine --warmup 3 --min-runs 30 -N --export-json "$folder.json" \
  "find $folder -maxdepth 1 -iname $pattern" >/dev/null 2>&1
find_ms=$(python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["results"][0]["min"] * 1000)' "$folder.json")
rm -f "$folder.json"
echo "listed $listed files in ${listing_ms} ms (best of 20, in process, under Wine;" \
  "a bare FindFirstFileW/FindNextFileW walk takes ${bare_ms} ms of it)"
echo "find matched $found files in ${find_ms} ms (best, whole process)"
python3 -c 'import sys; print("listing/find ratio: %.2f" % (float(sys.argv[1]) / float(sys.argv[2])))' "$listing_ms" "$find_ms"
python3 -c 'import sys; print("listing/bare ratio: %.2f" % (float(sys.argv[1]) / float(sys.argv[2])))' "$listing_ms" "$bare_ms"
