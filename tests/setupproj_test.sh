#!/usr/bin/env bash
# The native setupproj on real files: normalize gives the canonical layout
# and is stable, dump reads what normalize wrote, and errors end with 1.
set -u
tool=$1
example=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; exit 1; }

"$tool" normalize "$example" "$work/a.ini" || fail "normalize of the example"
"$tool" normalize "$work/a.ini" "$work/b.ini" || fail "normalize of its own output"
cmp -s "$work/a.ini" "$work/b.ini" || fail "normalize is not stable"
head -c 20 "$work/a.ini" | grep -q '^\[Project Property\]' || fail "no canonical first section"
"$tool" dump "$work/a.ini" >"$work/dump.txt" || fail "dump"
grep -q '^Files.Count=[1-9]' "$work/dump.txt" || fail "dump lists no files"
"$tool" dump "$work/missing.ini" 2>"$work/err.txt" && fail "a missing input was accepted"
grep -q 'missing.ini' "$work/err.txt" || fail "the error does not name the file"
"$tool" normalize "$example" "$work/no/such/folder/x.ini" 2>/dev/null && fail "an unwritable output was accepted"
echo "setupproj: normalize, dump and errors on real files"
