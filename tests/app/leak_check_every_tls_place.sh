#!/usr/bin/env bash
# The leak check of a sanitizer build must survive wherever the dynamic TLS
# block of Qt's platform plug-in lands. A runtime that intercepts
# __tls_get_addr misreads a block that starts 16 bytes past a page boundary
# and its leak check dies ("Tracer caught signal 11"); such a block is a
# 64-byte allocation, and each QT_PLUGIN_PATH entry past the third is one
# more before it, so 70 lengths put it at every place in a page.
# Usage: leak_check_every_tls_place.sh ZARVIK_PRINT PPD
set -uo pipefail
program="$1" ppd="$2"
config=$(mktemp -d)
trap 'rm -rf "$config"' EXIT
# No settings of the user's, no print server.
export QT_QPA_PLATFORM=offscreen CUPS_SERVER=127.0.0.1:1 XDG_CONFIG_HOME="$config"
died=0
for n in $(seq 70); do
  path=$(printf '/nonexistent/%d:' $(seq "$n"))
  if ! out=$(QT_PLUGIN_PATH="$path" "$program" --ppd "$ppd" --no-gui --dry-run 2>&1 >/dev/null); then
    echo "with $n entries in QT_PLUGIN_PATH the run failed:"
    echo "$out" | tail -5
    died=$((died + 1))
  fi
done
echo "70 runs, $died failed (ASAN_OPTIONS=${ASAN_OPTIONS:-})"
[ "$died" -eq 0 ]
