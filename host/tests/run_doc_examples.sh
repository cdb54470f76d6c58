#!/bin/sh
# Runs every ```sh block of a Markdown page, in order, in one shell with set -e: the working
# directory a new empty folder, DAVHOST_MACHINE a machine folder "m" in it (not made yet),
# davhost from DAVHOST_DIR on the PATH, EXAMPLES the project's examples folder.
#   run_doc_examples.sh PAGE.md
set -eu
page=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
awk '/^```sh$/ { inside = 1; next } /^```/ { inside = 0; next } inside { print }' "$page" \
  > "$work/examples.sh"
test -s "$work/examples.sh" || { echo "no sh blocks in $page" >&2; exit 1; }
cd "$work"
export DAVHOST_MACHINE="$work/m" PATH="$DAVHOST_DIR:$PATH"
sh -e -x "$work/examples.sh" > "$work/output.txt" 2>&1 || {
  cat "$work/output.txt"
  echo "an example of $page failed" >&2
  exit 1
}
