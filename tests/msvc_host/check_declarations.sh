#!/bin/bash
# The C# and Delphi declarations in docs/ against the exports: each function of lumivexctl.def is
# declared in both, with as many parameters as the 32-bit decoration says (N/4 at 4 bytes each),
# and the C# file compiles with Debian's mono-mcs.
#   check_declarations.sh LUMIVEXCTL.DEF LUMIVEXCTL.CS LUMIVEXCTL.PAS
set -uo pipefail
def=$1 cs=$2 pas=$3
status=0
fail() { echo "declarations: $*" >&2; status=1; }

command -v mcs >/dev/null || { echo "declarations: mcs missing (scripts/setup.sh installs mono-mcs)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mcs -target:library -warnaserror+ -out:"$work/Lumivexctl.dll" "$cs" || fail "$cs does not compile"

# Parameters of a declaration: commas at depth one of its parentheses, joined over lines.
count_parameters() {  # text from the name on
  local list
  list=$(tr '\n' ' ' <<<"$1" | sed -e 's/^[^(]*(//' -e 's/).*//')
  if [ -z "$(tr -d ' ' <<<"$list")" ]; then echo 0; return; fi
  tr -cd ',;' <<<"$list" | wc -c | awk '{print $1 + 1}'
}

checked=0
while read -r name bytes; do
  expected=$((bytes / 4))
  cs_decl=$(grep -A4 "extern [^(]* $name(" "$cs" | sed -n '0,/;/p')
  pas_decl=$(grep -A3 -E "^(function|procedure) $name\b" "$pas" | sed -n '0,/stdcall/p')
  [ -n "$cs_decl" ] || { fail "$name is not declared in $cs"; continue; }
  [ -n "$pas_decl" ] || { fail "$name is not declared in $pas"; continue; }
  got=$(count_parameters "$cs_decl")
  [ "$got" = "$expected" ] || fail "$name: $got parameters in $cs, $expected exported"
  # Pascal groups parameters of one type (X, Y: Integer): commas and semicolons both separate.
  if grep -q '(' <<<"$pas_decl"; then got=$(count_parameters "$pas_decl"); else got=0; fi
  [ "$got" = "$expected" ] || fail "$name: $got parameters in $pas, $expected exported"
  checked=$((checked + 1))
done < <(sed -n 's/^  \(lvx_[a-z_0-9]*\)@\([0-9]*\).*/\1 \2/p' "$def")
[ "$checked" -gt 0 ] || fail "no functions read from $def"
[ $status -eq 0 ] && echo "declarations: $checked functions declared in C# and Delphi as exported; C# compiles"
exit $status
