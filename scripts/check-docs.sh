#!/usr/bin/env bash
# Keeps README.md and docs/architecture.md true (ctest: docs.examples).
#
#   scripts/check-docs.sh PANELHOST
#
# Every fenced block of the two files follows a marker comment, <!-- example: KIND [FILE] -->:
#   script FILE   a script quoted from FILE: FILE holds its lines in a row, and the block run
#                 alone (beside FILE, so relative paths resolve alike) exits with status 0;
#   readout FILE  lines of FILE's readout: running FILE prints them in a row;
#   shell         cheap commands, one a line: each is run as written and must exit with 0;
#   shell-long    commands not run (minutes long, installing, or changing the tree): the
#                 repository files they name must exist;
#   text          grammar and formats, not examples.
# Everything runs in a copy of the repository (without build directories) whose
# build/linux/panelhost is PANELHOST, so examples may write files. Also checked: paths named in
# backquotes exist, nothing outside the repository is named, and the README's list of Linux-only
# scenarios is the scenarios' own.
set -uo pipefail

[ $# -eq 1 ] || { echo "usage: scripts/check-docs.sh PANELHOST" >&2; exit 2; }
root=$(cd "$(dirname "$0")/.." && pwd)
host=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
[ -x "$host" ] || { echo "check-docs: $1 is not an executable" >&2; exit 2; }
docs=(README.md docs/architecture.md)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
tree=$work/tree
mkdir -p "$tree" "$work/blocks"
for e in "$root"/* "$root"/.ci; do
  [ -e "$e" ] || continue
  case $(basename "$e") in build|build-*|build_*) continue ;; esac
  cp -R "$e" "$tree/"
done
mkdir -p "$tree/build/linux"
ln -s "$host" "$tree/build/linux/panelhost"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
ok() { echo "ok:   $*"; }

# Lines of file $1 appear in a row in file $2.
in_a_row() {
  awk 'NR == FNR { want[n++] = $0; next }
       { have[m++] = $0 }
       END {
         for (i = 0; i + n <= m; i++) {
           for (j = 0; j < n && have[i + j] == want[j]; j++) ;
           if (j == n) exit 0
         }
         exit 1
       }' "$1" "$2"
}

# Repository files a command line names must exist.
named_files_exist() {
  local where=$1 line=$2 p
  for p in $(printf '%s\n' "$line" | grep -oE '(^|[ "=])(scripts|cmake|scenarios|panels|resources|docs|bench)/[A-Za-z0-9_./-]+' |
             sed -E 's/^[ "=]//'); do
    [ -e "$root/$p" ] || fail "$where: names $p, which does not exist"
  done
}

# Splits the fenced blocks of each document into files, with an index: id, doc:line, kind, arg.
index=$work/index
: > "$index"
for doc in "${docs[@]}"; do
  [ -f "$root/$doc" ] || { fail "$doc is missing"; continue; }
  awk -v doc="$doc" -v dir="$work/blocks" -v start="$(wc -l < "$index")" '
    BEGIN { id = start }
    /^<!-- example: .* -->$/ && !inside {
      marker = $0; sub(/^<!-- example: /, "", marker); sub(/ -->$/, "", marker); next
    }
    /^```/ {
      if (!inside) {
        inside = 1; id++; file = dir "/" id; printf "" > file
        split(marker, m, " ")
        printf "%d\t%s:%d\t%s\t%s\n", id, doc, NR, (marker == "" ? "-" : m[1]), (m[2] == "" ? "-" : m[2])
        marker = ""
      } else {
        inside = 0; close(file)
      }
      next
    }
    inside { print > file; next }
    NF { marker = "" }
  ' "$root/$doc" >> "$index"
done

while IFS=$'\t' read -r id where kind arg; do
  block=$work/blocks/$id
  case $kind in
    script)
      if [ ! -f "$root/$arg" ]; then fail "$where: $arg does not exist"; continue; fi
      if ! in_a_row "$block" "$root/$arg"; then fail "$where: not quoted verbatim from $arg"; continue; fi
      copy=$(dirname "$tree/$arg")/.docs-example-$id.kr
      cp "$block" "$copy"
      if out=$(cd "$tree" && build/linux/panelhost "${copy#"$tree"/}" 2>&1 >/dev/null); then
        ok "$where: script from $arg runs"
      else
        fail "$where: the script from $arg, run alone, exits with status $?: $out"
      fi
      rm -f "$copy" ;;
    readout)
      if [ ! -f "$root/$arg" ]; then fail "$where: $arg does not exist"; continue; fi
      (cd "$tree" && build/linux/panelhost "$arg") > "$work/readout" 2>&1
      if in_a_row "$block" "$work/readout"; then
        ok "$where: readout of $arg"
      else
        fail "$where: the readout of $arg does not hold these lines:"; sed 's/^/    /' "$block"
      fi ;;
    shell)
      while IFS= read -r line; do
        case $line in ''|'#'*) continue ;; esac
        named_files_exist "$where" "$line"
        if out=$(cd "$tree" && bash -c "$line" 2>&1); then
          ok "$where: $line"
        else
          fail "$where: \`$line\` exits with status $?:"; printf '%s\n' "$out" | tail -n 10 | sed 's/^/    /'
        fi
      done < "$block" ;;
    shell-long)
      while IFS= read -r line; do named_files_exist "$where" "$line"; done < "$block"
      ok "$where: shell-long block (not run; the files it names exist)" ;;
    text) ;;
    -) fail "$where: a fenced block without an <!-- example: KIND --> marker" ;;
    *) fail "$where: unknown example kind \"$kind\"" ;;
  esac
done < "$index"

# Paths in backquotes exist (lower-case paths under a top-level folder; globs allowed).
for doc in "${docs[@]}"; do
  [ -f "$root/$doc" ] || continue
  while IFS= read -r span; do
    case $span in
      /*|~*) fail "$doc: \`$span\` lies outside the repository" ; continue ;;
    esac
    [[ $span =~ ^[a-z0-9_.-]+/[a-z0-9_./*-]*$ ]] || continue
    top=${span%%/*}
    # build/ holds what the scripts make; a fresh checkout has none of it yet.
    [ "$top" = build ] && continue
    [ -d "$root/$top" ] || continue
    # shellcheck disable=SC2086
    if compgen -G "$root/${span%/}" > /dev/null; then :; else fail "$doc: \`$span\` does not exist"; fi
  done < <(grep -oE '`[^`]+`' "$root/$doc" | tr -d '`')
  if grep -nE 'DESIGN\.md|shared folder|/work/' "$root/$doc"; then
    fail "$doc names a file outside the repository (lines above)"
  fi
done

# The README's Linux-only scenarios are those whose first line says so.
section=$(awk '/^## Scenarios that run on Linux only/ { on = 1; next } /^## / { on = 0 } on' "$root/README.md")
listed=$(printf '%s\n' "$section" | grep -oE 'scenarios/[A-Za-z0-9_-]+\.kr' | sort -u)
actual=$(for s in "$root"/scenarios/*.kr; do
           head -1 "$s" | grep -q 'linux-only' && echo "scenarios/$(basename "$s")"; done | sort -u)
if [ "$listed" = "$actual" ]; then
  ok "README: Linux-only scenarios: $(echo $actual)"
else
  fail "README lists Linux-only scenarios \"$(echo $listed)\"; the scenarios say \"$(echo $actual)\""
fi

if [ $failures -gt 0 ]; then
  echo "check-docs: $failures failure(s)"
  exit 1
fi
echo "check-docs: README.md and docs/architecture.md hold"
