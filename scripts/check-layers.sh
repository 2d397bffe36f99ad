#!/usr/bin/env bash
# Checks that no source file of src/ includes a header of a module above its own.
# The order comes from the vx_add_module lines of CMakeLists.txt; a module may include its own
# headers and those of every module it links, directly or through another module.
# One grep and one awk pass: a shell loop per include line took minutes on a loaded machine.
set -euo pipefail
cd "$(dirname "$0")/.."

sed -n 's/^vx_add_module(\([a-z_]*\) *DEPS\(.*\))$/\1 \2/p' CMakeLists.txt > "${TMPDIR:-/tmp}/vx-layers.$$"
trap 'rm -f "${TMPDIR:-/tmp}/vx-layers.$$"' EXIT

grep -rn '#include "[a-z_]*/' src | awk -v modules="${TMPDIR:-/tmp}/vx-layers.$$" '
  BEGIN {
    while ((getline line < modules) > 0) {
      n = split(line, words, /[ \t]+/)
      name = words[1]; known[name] = 1
      for (i = 2; i <= n; i++) if (words[i] ~ /^vx_/) deps[name] = deps[name] " " substr(words[i], 4)
    }
    for (m in known) {                      # every module below m, through any path
      reach[m, m] = 1; head = 1; tail = 1; queue[1] = m
      while (head <= tail) {
        k = split(deps[queue[head++]], d, " ")
        for (i = 1; i <= k; i++) if (!((m, d[i]) in reach)) { reach[m, d[i]] = 1; queue[++tail] = d[i] }
      }
    }
  }
  {
    split($0, parts, ":"); file = parts[1]; lineNo = parts[2]
    split(file, path, "/"); module = path[2]
    match($0, /#include "[a-z_]+\//); target = substr($0, RSTART + 10, RLENGTH - 11)
    if ((module in known) && (target in known) && !((module, target) in reach)) {
      print file ":" lineNo ": " module " includes " target ", which is above it" > "/dev/stderr"
      status = 1
    }
  }
  END { exit status }'
