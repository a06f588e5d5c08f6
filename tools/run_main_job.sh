#!/usr/bin/env bash
# The installer's main job as far as it exists: the built payload, listed, unpacked and
# verified with the project's own tool.
set -euo pipefail
build=${1:-build}
yzz=$build/host/bin/yzz
payload=$build/win64/resources/ruzavar.yzz
echo "== payload $payload ($(stat -c %s "$payload") bytes)"
"$yzz" list "$payload"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$yzz" unpack "$payload" "$out"
echo "== unpacked $(ls "$out" | wc -l) files into a scratch folder; verifying"
# The word library is compacted as it is unpacked, so its digest is not the stored one.
"$yzz" verify --exclude "yingcyzk.bak " "$payload" "$out"
