#!/usr/bin/env bash
# Counts the lines of tests against the lines of code, per module and in total.
# A line counts when it is not blank and not a // comment, in C/C++ files tracked by git; test
# files are those under tests/ or fuzz/ or named *_test.*, everything else is code.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files '*.cpp' '*.cc' '*.c' '*.h' '*.hpp' | while read -r file; do
  lines=$(grep -cvE '^[[:space:]]*(//.*)?$' "$file" || true)
  case "$file" in
    tests/* | fuzz/* | *_test.*) kind=test ;;
    *) kind=code ;;
  esac
  case "$file" in
    src/*) area=$(cut -d/ -f2 <<<"$file") ;;
    apps/*) area=$(cut -d/ -f1-2 <<<"$file") ;;
    *) area=$(cut -d/ -f1 <<<"$file") ;;
  esac
  echo "$kind $lines $area"
done | awk '
  { lines[$1] += $2; by[$3, $1] += $2; areas[$3] = 1 }
  END {
    printf "%-22s %7s %7s %7s\n", "area", "code", "tests", "ratio"
    for (a in areas) {
      c = by[a, "code"]; t = by[a, "test"]
      printf "%-22s %7d %7d %7s\n", a, c, t, c ? sprintf("%.0f %%", 100 * t / c) : "-" | "sort"
    }
    close("sort")
    printf "%-22s %7d %7d %6.1f %%\n", "total", lines["code"], lines["test"], 100 * lines["test"] / lines["code"]
  }'
