#!/usr/bin/env bash
# Writes the user guide from its template: every "@run COMMAND" line of docs/guide.template.md
# becomes the command and what it printed, run in a new empty folder (a "@fail" line shows a
# command that must be refused, with its exit status). The guide is made from the program
# itself, so it never goes stale: run this after changing a command's output. An "@shot VIEW
# FILE [TEST]" line renders a view of the desktop application on the demo experiment into
# images/FILE.png beside the guide (velantrix-gui --screenshot) and shows it.
#   scripts/make-guide.sh [VELANTRIX [OUT]]   (defaults: build/apps/velantrix/velantrix, docs/guide.md)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=$(realpath "${1:-$root/build/apps/velantrix/velantrix}")
out=$(realpath -m "${2:-$root/docs/guide.md}")
template=$root/docs/guide.template.md
gui=$(realpath -m "$(dirname "$bin")/../velantrix-gui/velantrix-gui")
images=$(dirname "$out")/images
[[ -x $bin ]] || { echo "make-guide.sh: no program at $bin (build it first)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work" "$out.part"' EXIT
cd "$work"
# The guide shows a new user's first runs, in English, whatever the settings and locale of the
# person making it (and without changing that person's settings).
export XDG_CONFIG_HOME=$work/.config LANG=C.UTF-8
unset LC_ALL LC_MESSAGES
velantrix() { "$bin" "$@"; }

# The corners of the arena that "arena suggest" found, for the command that adds it (ARENA).
arena=""

# Prints one command and its output as a block; fails the script when the command's status is
# not the expected kind (success or warnings for @run, a refusal for @fail).
show() {
  local kind=$1 command=${2//ARENA/$arena} output status
  set +e
  output=$(eval "$command" 2>&1)
  status=$?
  set -e
  if [[ $kind == run && $status -ne 0 && $status -ne 4 ]] || [[ $kind == fail && $status -eq 0 ]]; then
    printf 'make-guide.sh: "%s" exited with %d:\n%s\n' "$command" "$status" "$output" >&2
    return 1
  fi
  output=${output//$work\//}  # the folder is a new one each time: paths are shown relative to it
  printf '```\n$ %s\n%s\n```\n' "$command" "$output"
  [[ $kind == fail ]] && printf '\nExit status %d: nothing was written.\n' "$status"
  if [[ $command == "velantrix arena suggest"* ]]; then
    arena=$(sed -n 's/.*left \([0-9]*\), top \([0-9]*\), right \([0-9]*\), bottom \([0-9]*\).*/\1,\2,\3,\4/p' <<<"$output")
  fi
  return 0
}

# Renders one view of the demo experiment and links the picture.
shot() {
  local view=$1 file=$2 test=${3:-1}
  [[ -x $gui ]] || { echo "make-guide.sh: no desktop program at $gui (build it first)" >&2; return 1; }
  mkdir -p "$images"
  if ! QT_QPA_PLATFORM=offscreen "$gui" demo/demo.vxdb --screenshot "$view" --test "$test" --size 1000x640 \
       --out "$images/$file.png" 2>"$work/shot.err"; then
    printf 'make-guide.sh: the screenshot of "%s" failed:\n' "$view" >&2
    cat "$work/shot.err" >&2
    return 1
  fi
  printf '![The %s view](images/%s.png)\n' "$view" "$file"
}

{
  echo "<!-- Made by scripts/make-guide.sh from docs/guide.template.md: edit the template, then run the script. -->"
  echo
  while IFS= read -r line || [[ -n $line ]]; do
    case $line in
      "@run "*) show run "${line#@run }" || exit 1 ;;
      "@fail "*) show fail "${line#@fail }" || exit 1 ;;
      "@shot "*) shot ${line#@shot } || exit 1 ;;
      *) printf '%s\n' "$line" ;;
    esac
  done < <(sed 's/\r$//' "$template")
} > "$out.part"
mv "$out.part" "$out"
