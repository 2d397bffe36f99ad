#!/usr/bin/env bash
# Checks that no source file of src/ includes a header of a module above its own.
# The order comes from the vx_add_module lines of CMakeLists.txt; a module may include its own
# headers and those of every module it links, directly or through another module.
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A direct
modules=()
while read -r name deps; do
  modules+=("$name")
  direct[$name]=$(grep -o 'vx_[a-z_]*' <<<"$deps" | sed 's/^vx_//' | tr '\n' ' ' || true)
done < <(sed -n 's/^vx_add_module(\([a-z_]*\) *DEPS\(.*\))$/\1 \2/p' CMakeLists.txt)

reachable() {  # prints the module and every module below it
  local seen=" $1 " queue=("$1") m d
  while ((${#queue[@]})); do
    m=${queue[0]}; queue=("${queue[@]:1}")
    for d in ${direct[$m]}; do
      [[ $seen == *" $d "* ]] || { seen+="$d "; queue+=("$d"); }
    done
  done
  echo "$seen"
}

status=0
for m in "${modules[@]}"; do
  [ -d "src/$m" ] || continue
  allowed=$(reachable "$m")
  while IFS=: read -r file line text; do
    target=$(sed -n 's/.*#include "\([a-z_]*\)\/.*/\1/p' <<<"$text")
    [[ " ${modules[*]} " == *" $target "* ]] || continue
    if [[ $allowed != *" $target "* ]]; then
      echo "$file:$line: $m includes $target, which is above it" >&2
      status=1
    fi
  done < <(grep -rn '#include "' "src/$m" || true)
done
exit $status
