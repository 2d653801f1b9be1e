#!/bin/sh
# velmora-cli program onto several cards at once, and the JSON lines of
# program, verify and check, read back by a JSON parser.
#   cards_test.sh PATH_TO_VELMORA_CLI
cli=$1
lines="python3 $(cd "$(dirname "$0")" && pwd)/json_lines.py"
. "$(cd "$(dirname "$0")" && pwd)/checks.sh"
mounted=
finish() {
  [ -z "$mounted" ] || umount -l "$mounted" 2>/dev/null
}
fail() {
  echo "FAIL $1"; failures=$((failures + 1))
}
# json NAME STATUS SUMMARY COMMAND...: the command's standard output is JSON
# lines only, whose summary (json_lines.py) is as given, and it exits with
# STATUS.
json() {
  name=$1 status=$2 summary=$3
  shift 3
  "$@" >"$work/out" 2>"$work/err"
  got=$?
  $lines <"$work/out" >"$work/summary"
  if [ "$got" -ne "$status" ] || [ "$(cat "$work/summary")" != "$summary" ]; then
    echo "FAIL $name: exit $got, expected $status; summary:"; cat "$work/summary"; cat "$work/err"
    failures=$((failures + 1))
  else
    echo "ok   $name"
  fi
}

# An update of 3 MB, with charts.
mkdir -p up/charts
head -c 3000000 /dev/urandom > big.bin
head -c 300 /dev/urandom > charts.dat
printf 'chart a' > up/charts/a.tpc
printf 'chart b' > up/charts/b.tpc
"$cli" pack -o up/u.vlm --device D --database N --major 1 --minor 1 1=big.bin 20=charts.dat || exit 1
too_small='The data card does not have enough free space to complete the transfer successfully.'

# One card alone prints as it always did; several print the same, each line
# after its card's path.
mkdir solo
"$cli" program --card solo up/u.vlm >solo.out 2>solo.err || fail "solo: the card was not programmed"
mkdir a b
"$cli" program --card a --card b up/u.vlm >out 2>err
status=$?
for card in a b; do
  if [ "$(grep "^$card: " err | sed "s/^$card: //")" != "$(cat solo.err)" ] ||
    [ "$(grep "^$card: " out | sed "s/^$card: //")" != "$(cat solo.out)" ]; then
    fail "several-$card: its lines differ from a card's alone"; cat out err
  fi
done
if [ "$status" -ne 0 ] || [ "$(grep -cv '^[ab]: ' err out)" != "err:0
out:0" ]; then
  fail "several: exit $status, or lines that name no card"; cat out err
else
  echo "ok   several"
fi
expect several-a-holds 0 'The card holds the update.' '' sh -c '"$0" check --card a up/u.vlm 2>/dev/null' "$cli"
expect several-b-holds 0 'The card holds the update.' '' sh -c '"$0" check --card b up/u.vlm 2>/dev/null' "$cli"

# One card too small: the others are written all the same, and the run
# fails naming the small card.
mkdir small c d
if mount -t tmpfs -o size=1m tmpfs small 2>/dev/null; then
  mounted=$work/small
  "$cli" program --card c --card small --card d up/u.vlm >out 2>err
  status=$?
  shortage=$(grep -F "small: $too_small" err | sed 's/^small: //')
  if [ "$status" -ne 1 ]; then
    fail "small-card: exit $status, expected 1"
  elif ! grep -qF "small: $too_small" err || [ "$(grep -c "^small: " out)" -ne 0 ]; then
    fail "small-card: the small card's failure is not told as its own"; cat out err
  elif [ "$(sort out)" != "c: The update was successful.
c: Update Complete
d: The update was successful.
d: Update Complete" ]; then
    fail "small-card: the other cards did not complete"; cat out err
  elif [ -n "$(ls small)" ]; then
    fail "small-card: the small card was written"
  else
    echo "ok   small-card"
  fi
  expect small-card-c-holds 0 'The card holds the update.' '' sh -c '"$0" check --card c up/u.vlm 2>/dev/null' "$cli"
  expect small-card-d-holds 0 'The card holds the update.' '' sh -c '"$0" check --card d up/u.vlm 2>/dev/null' "$cli"
  expect small-card-lacks 1 "small/ldr_sys/avtn_db.bin: missing
small/sl_tpc/sl_tpc.dat: missing
small/sl_tpc/charts/a.tpc: missing
small/sl_tpc/charts/b.tpc: missing" '' sh -c '"$0" check --card small up/u.vlm 2>/dev/null' "$cli"
  rm -rf c d && mkdir c d
  json small-card-json 1 "phases c 1 8 2 10 2 10 9 13 14
phases d 1 8 2 10 2 10 9 13 14
phases small 1 8
result c ok 0 Update Complete | The update was successful.
result d ok 0 Update Complete | The update was successful.
result small failed 1 $shortage
end - failed 1 null" "$cli" program --json --card c --card small --card d up/u.vlm
else
  skip small-card "a tmpfs cannot be mounted here"
fi

# The same card twice: the second transfer is refused while the first
# writes, and the first completes.
mkdir same
"$cli" program --card same --card same up/u.vlm >out 2>err
status=$?
if [ "$status" -ne 1 ] || [ "$(cat out)" != "same: Update Complete
same: The update was successful." ] ||
  [ "$(grep -c '^same: Another transfer is writing to this storage device.' err)" -ne 1 ]; then
  fail "same-card: exit $status"; cat out err
else
  echo "ok   same-card"
fi

# JSON lines: program, verify and check, each to its end.
mkdir e
json program-json 0 'phases e 1 8 2 10 2 10 9 13 14
end e ok 0 Update Complete | The update was successful.' "$cli" program --json --card e up/u.vlm
[ -s err ] && fail "program-json: standard error got $(cat err)"
json verify-json 0 'phases - 1 8
end - ok 0 kind 1: ok | kind 20: ok' "$cli" verify --json up/u.vlm
json check-json 0 'phases e 8
end e ok 0 The card holds the update.' "$cli" check --json --card e up/u.vlm
rm e/sl_tpc/charts/b.tpc
printf 'x' >> e/ldr_sys/avtn_db.bin
json check-json-damaged 1 'phases e 8
end e failed 1 e/ldr_sys/avtn_db.bin: length 3000005, expected 3000004 | e/sl_tpc/charts/b.tpc: missing
file e/ldr_sys/avtn_db.bin: length 3000005, expected 3000004
file e/sl_tpc/charts/b.tpc: missing' "$cli" check --json --card e up/u.vlm
json check-json-no-card 1 'end nowhere failed 1 System Error Code: 2 | No such file or directory | Path: nowhere' \
  "$cli" check --json --card nowhere up/u.vlm
json verify-json-missing 1 'end - failed 1 Unable to open the input file, please check the file and try again.' \
  "$cli" verify --json missing.vlm
json program-json-usage 2 'end - usage 2 program: needs --card DIR' "$cli" program --json up/u.vlm
json check-json-usage 2 "end - usage 2 check: unknown option '--fast'" "$cli" check --json --fast --card e up/u.vlm
[ "$(cat err)" = "velmora-cli: check: unknown option '--fast'
Try 'velmora-cli --help'." ] || fail "check-json-usage: standard error got $(cat err)"
full program-json-full 'velmora-cli: write error: No space left on device' "$cli" program --json --card e up/u.vlm

# A reader that goes away does not cut the transfer short: the card is
# written whole, and the lost output fails the run.
mkdir f
{
  "$cli" program --json --card f up/u.vlm 2>err
  echo $? >status
} | true
if [ "$(cat status)" -ne 1 ] || [ "$(cat err)" != 'velmora-cli: write error: Broken pipe' ]; then
  fail "broken-pipe: exit $(cat status); $(cat err)"
else
  echo "ok   broken-pipe"
fi
expect broken-pipe-card 0 'The card holds the update.' '' sh -c '"$0" check --card f up/u.vlm 2>/dev/null' "$cli"

# Names are bytes, and JSON strings are escaped: a quote, a control
# character and a byte that is not UTF-8 (U+FFFD) in a card's name.
odd=$(printf 'odd"\001\377x')
mkdir "$odd"
json odd-name 0 "$(printf 'phases odd"\001\357\277\275x 1 8 2 10 2 10 9 13 14\nend odd"\001\357\277\275x ok 0 Update Complete | The update was successful.')" \
  "$cli" program --json --card "$odd" up/u.vlm
escaped=$(printf '"card":"odd\\"\\u0001\357\277\275x"')
if ! grep -qF "$escaped" out; then
  fail "odd-name: the card's name is not escaped as it should be: $(head -1 out)"
fi

exit "$failures"
