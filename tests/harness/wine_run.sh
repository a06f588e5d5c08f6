#!/usr/bin/env bash
# Runs one Windows program in a fresh Wine prefix, as a given system, under Xvfb.
#   wine_run.sh --build-dir DIR [--winver win7|winxp64] [--codepage 936|950] [--bits 32|64]
#               [--keep] -- PROGRAM [ARGS...]
# The prefix is a copy of a template made once per build directory. The program's exit
# code is the script's. --keep leaves the prefix behind and prints its path.
set -euo pipefail

build_dir= winver=win7 codepage=936 bits=64 keep=0
while [ $# -gt 0 ]; do
  case "$1" in
    --build-dir) build_dir=$2; shift 2 ;;
    --winver) winver=$2; shift 2 ;;
    --codepage) codepage=$2; shift 2 ;;
    --bits) bits=$2; shift 2 ;;
    --keep) keep=1; shift ;;
    --) shift; break ;;
    *) echo "wine_run.sh: unknown option $1" >&2; exit 2 ;;
  esac
done
[ -n "$build_dir" ] && [ $# -gt 0 ] || { echo "wine_run.sh: need --build-dir and a program" >&2; exit 2; }

wine=/usr/lib/wine/wine64
wine_dir=$(realpath -m "$build_dir/wine")
template=$wine_dir/template
mkdir -p "$wine_dir"
export WINEDEBUG=-all WINEARCH=win64
# No Mono or Gecko installer dialogs in a test prefix.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

make_template() {
  rm -rf "$template"
  WINEPREFIX=$template "$wine" wineboot -i >/dev/null 2>&1
  WINEPREFIX=$template /usr/lib/wine/wineserver -w
  touch "$template/.ready"
}
(
  flock 9
  [ -f "$template/.ready" ] || make_template
) 9>"$wine_dir/template.lock"

prefix=$(mktemp -d "$wine_dir/prefix-XXXXXX")
cleanup() {
  WINEPREFIX=$prefix /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
  if [ "$keep" = 1 ]; then echo "prefix kept: $prefix" >&2; else rm -rf "$prefix"; fi
}
trap cleanup EXIT
cp -a "$template/." "$prefix/"
export WINEPREFIX=$prefix

# Wine takes the OEM and ANSI code pages from the locale name, but converts file names with
# the C library's charset for it: an unknown locale falls back to ASCII and no name outside
# ASCII can be created. A UTF-8 locale of that name, made once per build directory, keeps
# host file names UTF-8.
case "$codepage" in
  936) locale=zh_CN.UTF-8 locale_source=zh_CN ;;
  950) locale=zh_TW.UTF-8 locale_source=zh_TW ;;
  *) echo "wine_run.sh: code page $codepage is not one of 936, 950" >&2; exit 2 ;;
esac
export LOCPATH=$wine_dir/locale
(
  flock 9
  if [ ! -d "$LOCPATH/$locale" ]; then
    mkdir -p "$LOCPATH"
    localedef -i "$locale_source" -f UTF-8 "$LOCPATH/$locale" >/dev/null 2>&1 || true
  fi
) 9>"$wine_dir/locale.lock"
[ -d "$LOCPATH/$locale" ] || { echo "wine_run.sh: cannot make the locale $locale" >&2; exit 2; }
# A 32-bit Windows has no WOW64 folder: the setup tells the two apart by it.
if [ "$bits" = 32 ]; then
  mv "$prefix/drive_c/windows/syswow64" "$prefix/drive_c/windows/syswow64.hidden"
fi

# Inside the X server: the system version, then the program; the exit code is the program's.
inner='
  "$wine" reg add "HKCU\\Software\\Wine" /v Version /t REG_SZ /d "$winver" /f >/dev/null 2>&1
  LC_ALL=$locale "$wine" "$@"
  rc=$?
  /usr/lib/wine/wineserver -k >/dev/null 2>&1
  exit $rc'
export wine winver locale
set +e
xvfb-run -a -n $((100 + RANDOM % 800)) -s "-screen 0 1024x768x24" bash -c "$inner" inner "$@"
