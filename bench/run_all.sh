#!/usr/bin/env bash
# Runs every peer comparison in one go, so that a regression anywhere shows:
#   bench/run_all.sh [--cpu=N] [--wall]
# Build first with scripts/build bench. Exits non-zero when a goal is missed.
set -uo pipefail
cd "$(dirname "$0")/.."
status=0
for name in thumbnail_bench xml_bench http_download_bench gif_bench drawing_bench statistic_bench export_bench; do
  echo "== $name"
  build/bench/bench/$name "$@" || status=1
  echo
done
exit $status
