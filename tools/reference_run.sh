#!/usr/bin/env bash
# Runs the bundled installation in a scratch directory with a fixed clock, so that the
# outputs of two builds can be compared with diff:
#   tools/reference_run.sh build/vesperluminal /tmp/ref-a
#   tools/reference_run.sh other-build/vesperluminal /tmp/ref-b
#   diff -r /tmp/ref-a /tmp/ref-b
# Further arguments are passed to the program (e.g. --set tilt=10 --set grid=2).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
program="$(realpath "${1:-$here/build/vesperluminal}")"
out="${2:-$(mktemp -d /tmp/vesperluminal-ref.XXXXXX)}"
shift $(( $# > 2 ? 2 : $# ))
mkdir -p "$out"
cp "$here"/data/* "$out"/
rm -f "$out/README.md"
cd "$out"
VESPERLUMINAL_CLOCK=20260101120000 "$program" --batch "$@" --start > console.txt 2> errors.txt < /dev/null || echo "exit status $?" >> errors.txt
echo "$out"
