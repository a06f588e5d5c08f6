#!/usr/bin/env bash
# The installer's main job: the real setup.exe installs the product silently into a fresh
# Wine prefix (Windows 7, code page 936, 64-bit), as a user starts it; the boxes of the
# companion it starts are answered. Then what it wrote is shown and the files are checked
# against the payload with the project's own tool.
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
yzz=$build/host/bin/yzz
payload=$build/win64/resources/ruzavar.yzz
setup=$build/win64/bin/setup.exe
answering_run=$build/win64/bin/answering_run.exe
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
"$root/tests/harness/wine_run.sh" --build-dir "$build/win64" --keep -- "$answering_run" setup.exe kdczxumd27 2>"$log"
rc=$?
set -e
prefix=$(sed -n 's/^prefix kept: //p' "$log")
echo "   exit code $rc"
[ "$rc" = 0 ] && [ -d "$prefix" ] || { cat "$log" >&2; exit 1; }

install_dir="$prefix/drive_c/Program Files/yingzu"
echo "== C:\\Program Files\\yingzu\\ ($(find "$install_dir" -type f | wc -l) files)"
(cd "$install_dir" && find . -type f -printf '%10s  %P\n' | sort -k2)
(cd "$install_dir" && find . -mindepth 1 -type d -printf "   (folder)  %P\\\\\n")
windows="$prefix/drive_c/windows"
for dir in system32 syswow64; do
  echo "== C:\\windows\\$dir"
  for name in yingzu4.ime yingzu2.ime yingzu1.ime yingdel.exe; do
    if [ -f "$windows/$dir/$name" ]; then
      printf '%10s  %s  %s\n' "$(stat -c %s "$windows/$dir/$name")" \
        "$(md5sum < "$windows/$dir/$name" | cut -c1-32)" "$name"
    fi
  done
done
echo "== registry"
reg_query() {
  local out
  out=$(LOCPATH=$build/win64/wine/locale LC_ALL=zh_CN.UTF-8 WINEPREFIX=$prefix WINEDEBUG=-all \
        /usr/lib/wine/wine64 reg query "$@" 2>/dev/null | iconv -f GBK -t UTF-8 | tr -d '\r' |
        sed '/^$/d; /^reg:/d; s/^/   /') || true
  echo "${out:-   $1: (none)}"
}
reg_query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Run' /v yzyzsjgl
reg_query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\duzezuz'
reg_query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Internet Settings\User Agent\Post Platform'
reg_query 'HKLM\System\CurrentControlSet\Control\Keyboard Layouts' /s | grep -B2 -A2 'yingzu4' || true
reg_query 'HKCU\Keyboard Layout\Preload'
WINEPREFIX=$prefix /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
for file in "$windows/yingpath.yzh" "$prefix/drive_c/yingzu/yingpath.yzh"; do
  echo "== ${file#"$prefix/"} ($(stat -c %s "$file") bytes): $(cat "$file")"
done
echo "== verifying the installed files against the payload"
# The files the installation changes after unpacking: relabelled, compacted, renamed or
# removed variants.
"$yzz" verify --exclude "ying320.ime ying321.ime ying640.ime ying641.ime yzszsj43.yzh setupw64.exe yingcyzk.bak vivadidu.exe yinglum6.exe " "$payload" "$install_dir"
