# Sourced by the scripts that run Windows programs under Wine on a virtual display: a work folder of
# their own (its Wine prefix included), emptied and ended with the script, and a wait for a condition.
#   source scripts/wine-session.sh <name shown in failures>
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  WINEPREFIX=$work/wine wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
session_name=$1
fail() { echo "$session_name: $*" >&2; exit 1; }
waitFor() {  # seconds, command...
  local until=$((SECONDS + $1)); shift
  until "$@" >/dev/null 2>&1; do [ $SECONDS -lt $until ] || return 1; sleep 0.5; done
}
