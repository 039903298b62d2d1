#!/bin/sh
# Runs a command with GNUstep daemons of its own. GNUstep keeps one pasteboard daemon (gpbs) and one notification
# daemon (gdnc) per user, found by name in its temporary folder; the first program that needs one starts it on that
# program's display, and it goes when that display closes. Two tests under their own xvfb-run side by side then share a
# gpbs that can vanish mid-call (NSPasteboardCommunicationException when the field editor copies its selection). Here
# each run has its own folder ($TEMP, and $HOME for the user defaults) and daemons without a display, stopped by pid.
# Usage: own_gnustep_daemons.sh COMMAND [ARGUMENT...]
set -eu
folder=$(mktemp -d "${TMPDIR:-/tmp}/zarvik-gnustep.XXXXXX")
export TEMP="$folder" HOME="$folder"
env -u DISPLAY gpbs --no-fork >"$folder/gpbs.log" 2>&1 &
gpbs=$!
env -u DISPLAY gdnc --no-fork >"$folder/gdnc.log" 2>&1 &
gdnc=$!
stop() { kill "$gpbs" "$gdnc" 2>/dev/null || true; wait "$gpbs" "$gdnc" 2>/dev/null || true; rm -rf "$folder"; }
trap stop EXIT
trap 'exit 143' TERM INT
# Both are ready once their names are registered (base64 file names); a program that found neither would start its own.
names="$folder/NSMessagePort/names"
tries=0
until [ -e "$names/R05Vc3RlcEdTUGFzdGVib2FyZFNlcnZlcg==" ] && [ -e "$names/R0ROQ1NlcnZlcg==" ]; do
  tries=$((tries + 1))
  if [ "$tries" -gt 600 ]; then
    echo "own_gnustep_daemons.sh: gpbs or gdnc did not start in 60 s:" >&2
    cat "$folder/gpbs.log" "$folder/gdnc.log" >&2
    exit 1
  fi
  sleep 0.1
done
"$@"
