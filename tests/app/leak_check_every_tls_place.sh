#!/usr/bin/env bash
# The leak check of a sanitizer build must survive wherever the dynamic TLS block of Qt's platform plug-in lands (a
# runtime that intercepts __tls_get_addr misreads a block 16 bytes past a page boundary and dies). Each QT_PLUGIN_PATH
# entry past the third is one more 64-byte allocation before the block, so 70 lengths put it at every place in a page.
# Usage: leak_check_every_tls_place.sh ZARVIK_PRINT PPD
set -uo pipefail
config=$(mktemp -d)
trap 'rm -rf "$config"' EXIT
export QT_QPA_PLATFORM=offscreen CUPS_SERVER=127.0.0.1:1 XDG_CONFIG_HOME="$config"  # no user settings, no server
for n in $(seq 70); do
  out=$(QT_PLUGIN_PATH="$(printf '/nonexistent/%d:' $(seq "$n"))" "$1" --ppd "$2" --no-gui --dry-run 2>&1 >/dev/null) ||
    { echo "with $n entries in QT_PLUGIN_PATH the run failed (ASAN_OPTIONS=${ASAN_OPTIONS:-}):"; echo "$out" | tail -5; exit 1; }
done
echo "70 runs passed (ASAN_OPTIONS=${ASAN_OPTIONS:-})"
