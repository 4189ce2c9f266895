#!/usr/bin/env bash
# Runs every benchmark; each prints our time, the other tool's and the ratio.
set -euo pipefail
build=${1:-build}
here=$(dirname "$0")
for script in "$here"/*/*.sh; do
  bash "$script" "$build"
done
