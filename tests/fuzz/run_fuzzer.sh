#!/usr/bin/env bash
# Fuzzes the archive walk with clang's libFuzzer under AddressSanitizer and UBSan.
#   tests/fuzz/run_fuzzer.sh [SECONDS]   (default 60)
# Builds into build/fuzz, grows a working corpus there from tests/fuzz/corpus (which is
# only read), and leaves any crashing input in build/fuzz as crash-*. Exit code 0 when the
# time ran out without a finding.
set -euo pipefail

seconds=${1:-60}
root=$(cd "$(dirname "$0")/../.." && pwd)
out=$root/build/fuzz
mkdir -p "$out/corpus"

sources=()
for f in "$root"/archive/*.cpp; do
  case "$f" in *_win32.cpp) continue ;; esac
  sources+=("$f")
done

# clang takes no -fexec-charset other than UTF-8: the one GBK text of the archive code, the
# verification report's closing line, is then UTF-8 here, which changes nothing it checks.
echo "building $out/archive_fuzz"
clang++ -std=c++17 -g -O1 -Wall -Wextra -Werror \
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$root" "${sources[@]}" "$root/tests/fuzz/archive_fuzz.cpp" \
  -lz -lmd -o "$out/archive_fuzz"

echo "fuzzing for $seconds s"
cd "$out"
./archive_fuzz -max_total_time="$seconds" -max_len=8192 -timeout=20 -rss_limit_mb=2048 \
  -print_final_stats=1 -artifact_prefix="$out/" "$out/corpus" "$root/tests/fuzz/corpus"
