#!/usr/bin/env bash
# Measures the launcher's figures under Wine and writes bench/RESULTS.md.
#   bash bench/run.sh [--short]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export QM_BUILD_DIR="${QM_BUILD_DIR:-$root/build}"
bash "$root/scripts/setup.sh"
bash "$root/scripts/configure.sh"
trap 'bash "$root/scripts/wine-session.sh" stop "$QM_BUILD_DIR" >/dev/null 2>&1 || true' EXIT
bash "$root/scripts/wine-session.sh" start "$QM_BUILD_DIR"
table=$("$root/scripts/wine-run.sh" "$QM_BUILD_DIR/bench/qmbench.exe" "$@" | tr -d '\r')
echo "$table"
{
  echo "# Benchmark results"
  echo
  echo "Measured on $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, Wine $(wine --version 2>/dev/null) under Xvfb,"
  echo "with cefsim standing in for CEF, all figures from one run on one Wine prefix${1:+ ($1)}."
  echo
  echo "$table"
  echo
  echo "Rerun with \`bash bench/run.sh\` (or \`--short\` for fewer runs); it rewrites this file."
  echo "Under Wine, GetGuiResources answers 0 and private bytes are not reported, so the"
  echo "process's memory is read from Linux (/proc) instead."
} > "$root/bench/RESULTS.md"
