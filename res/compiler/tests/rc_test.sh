#!/bin/sh
# Checks that velmora-rc refuses string tables that would build a wrong
# module, naming the file and line.
#   rc_test.sh PATH_TO_VELMORA_RC
set -u
rc=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

refuse() {
  name=$1 table=$2 expected=$3
  printf '%b' "$table" > "$work/$name.txt"
  output=$("$rc" --output "$work/$name.res" --strings "$work/$name.txt" 2>&1)
  status=$?
  if [ "$status" -ne 1 ]; then
    echo "FAIL $name: exit $status, expected 1"
    failures=$((failures + 1))
  elif ! printf '%s\n' "$output" | grep -qF -- "$expected"; then
    echo "FAIL $name: '$output' does not say '$expected'"
    failures=$((failures + 1))
  else
    echo "ok   $name"
  fi
}

refuse duplicate '1 "a"\n2 "b"\n1 "c"\n' "duplicate.txt:3: id 1 is already on line 1"
refuse unknown-escape '1 "a\\qb"\n' "unknown-escape.txt:1: unknown escape \\q"
refuse not-utf8 '1 "caf\351"\n' "not-utf8.txt:1: the text is not UTF-8"
refuse empty '# nothing\n\n7 ""\n' "empty.txt:3: a string may not be empty"
refuse unclosed '1 "open\n' "unclosed.txt:1: the text is not closed"
refuse unquoted '1 text\n' "unquoted.txt:1: the text must be in double quotes"
refuse trailing '1 "a" b\n' "trailing.txt:1: text after the closing quote"
refuse bad-id 'x1 "a"\n' "bad-id.txt:1: 'x1' is not a number"

printf '1 "fine"\n' > "$work/fine.txt"
if "$rc" --output "$work/fine.res" --strings "$work/fine.txt" --file-version 1.2.3.4 && [ -s "$work/fine.res" ]; then
  echo "ok   fine"
else
  echo "FAIL fine: a good table was refused"
  failures=$((failures + 1))
fi

# Custom resources: ID:TYPE=FILE, each once, from a readable file that is
# not empty.
printf '<schema/>' > "$work/schema.xsd"
: > "$work/empty.xsd"
resource() {
  name=$1 given=$2 expected=$3
  output=$("$rc" --output "$work/$name.res" --strings "$work/fine.txt" --resource "$given" 2>&1)
  if [ $? -ne 1 ] || ! printf '%s\n' "$output" | grep -qF -- "$expected"; then
    echo "FAIL $name: '$output' does not say '$expected'"
    failures=$((failures + 1))
  else
    echo "ok   $name"
  fi
}
resource no-type "5603=$work/schema.xsd" "--resource needs ID:TYPE=FILE"
resource no-file "5603:XSD=" "--resource needs ID:TYPE=FILE"
resource bad-resource-id "x:XSD=$work/schema.xsd" "'x' is not a number"
resource missing-resource "5603:XSD=$work/none.xsd" "none.xsd: cannot be read"
resource empty-resource "5603:XSD=$work/empty.xsd" "empty.xsd: a resource may not be empty"
output=$("$rc" --output "$work/twice.res" --strings "$work/fine.txt" --resource "1:XSD=$work/schema.xsd" \
  --resource "1:XSD=$work/schema.xsd" 2>&1)
if [ $? -ne 1 ] || ! printf '%s\n' "$output" | grep -qF "resource given twice"; then
  echo "FAIL resource-twice: '$output'"
  failures=$((failures + 1))
else
  echo "ok   resource-twice"
fi
if "$rc" --output "$work/custom.res" --strings "$work/fine.txt" --resource "5603:XSD=$work/schema.xsd" &&
  grep -q '<schema/>' "$work/custom.res"; then
  echo "ok   custom-resource"
else
  echo "FAIL custom-resource: the schema is not in the module"
  failures=$((failures + 1))
fi

exit "$failures"
