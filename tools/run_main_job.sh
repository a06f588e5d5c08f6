#!/usr/bin/env bash
# The installer's main job: the real setup.exe installs the product silently into a fresh
# Wine prefix (Windows 7, code page 936, 64-bit), then what it wrote is shown and checked
# against the payload with the project's own tool.
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
yzz=$build/host/bin/yzz
payload=$build/win64/resources/ruzavar.yzz
setup=$build/win64/bin/setup.exe
echo "== payload $payload ($(stat -c %s "$payload") bytes, $("$yzz" list "$payload" | wc -l) lines listed)"

log=$(mktemp)
prefix=
cleanup() {
  rm -f "$log"
  if [ -n "$prefix" ]; then rm -rf "$prefix"; fi
}
trap cleanup EXIT
echo "== $setup kdczxumd27 in a fresh prefix"
set +e
"$root/tests/harness/wine_run.sh" --build-dir "$build/win64" --keep -- "$setup" kdczxumd27 2>"$log"
rc=$?
set -e
prefix=$(sed -n 's/^prefix kept: //p' "$log")
echo "   exit code $rc"
[ "$rc" = 0 ] && [ -d "$prefix" ] || { cat "$log" >&2; exit 1; }

install_dir="$prefix/drive_c/Program Files/yingzu"
echo "== C:\\Program Files\\yingzu\\ ($(find "$install_dir" -type f | wc -l) files)"
(cd "$install_dir" && find . -type f -printf '%10s  %P\n' | sort -k2)
(cd "$install_dir" && find . -mindepth 1 -type d -printf "   (folder)  %P\\\\\n")
for file in "$prefix/drive_c/windows/yingpath.yzh" "$prefix/drive_c/yingzu/yingpath.yzh"; do
  echo "== ${file#"$prefix/"} ($(stat -c %s "$file") bytes): $(cat "$file")"
done
echo "== verifying the installed files against the payload"
# The word library is compacted as it is unpacked, so its digest is not the stored one.
"$yzz" verify --exclude "yingcyzk.bak " "$payload" "$install_dir"
