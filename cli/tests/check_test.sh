#!/bin/sh
# velmora-cli check: cards programmed by program, then damaged in each way,
# against the update; the check tells every file that is wrong, and never
# changes the card.
#   check_test.sh PATH_TO_VELMORA_CLI
cli=$1
. "$(cd "$(dirname "$0")" && pwd)/checks.sh"
fail() {
  echo "FAIL $1"; failures=$((failures + 1))
}

# An update with every kind of card file: databases, a chart index with its
# charts and a raster index with a raster in a folder below the update's.
mkdir -p up/charts up/north
printf 'navigation data' > nav.bin
printf 'terrain' > terrain.tdb
head -c 300 /dev/urandom > charts.dat
printf '<rasters/>' > rasters.xml
printf 'chart a' > up/charts/a.tpc
printf 'chart b' > up/charts/b.tpc
printf 'raster' > up/north/r1.jnx
"$cli" pack -o up/u.vlm --device D --database N --major 1 --minor 1 \
  1=nav.bin 33=terrain.tdb 20=charts.dat 26=rasters.xml || exit 1
printf '[unit]\nid=7\n' > unit7.ini
printf 'map' > unit7.qza
printf 'true\n' > prepare.sh

# fresh CARD [FILE]: a card folder programmed with the update (or FILE).
fresh() {
  rm -rf "$1" && mkdir "$1" &&
    "$cli" program --card "$1" "${2:-up/u.vlm}" --batch "$work/prepare.sh" >/dev/null 2>&1 ||
    fail "fresh $1: the card could not be programmed"
}
# listing CARD: every entry with its kind, size, mode and times of change.
listing() {
  find "$1" -printf '%p %y %s %m %T@ %C@\n' | sort
}
# flip FILE OFFSET: one byte of the file changed in place.
flip() {
  byte=$(od -An -tu1 -j "$2" -N1 "$1" | tr -d ' ')
  printf "\\$(printf %o $(((byte + 1) % 256)))" | dd of="$1" bs=1 seek="$2" conv=notrunc 2>/dev/null
}

fresh card
expect clean 0 'The card holds the update.' 'Verifying Database Signature...
Checking file 1 of 7
Checking file 2 of 7
Checking file 3 of 7
Checking file 4 of 7
Checking file 5 of 7
Checking file 6 of 7
Checking file 7 of 7' "$cli" check --card card up/u.vlm

# Each damage, on a card of its own: what the check prints on standard
# output (the databases in kind order, each followed by the files it copies
# in the order of their names), and the card as the check left it.
while IFS='|' read -r name damage printed; do
  [ -n "$name" ] || continue
  fresh "$name"
  (cd "$name" && eval "$damage") || fail "$name: the damage could not be done"
  before=$(listing "$name")
  "$cli" check --card "$name" up/u.vlm >out 2>err
  status=$?
  expected=$(printf '%b' "$printed" | sed "s|CARD|$name|g")
  if [ -z "$printed" ]; then
    want=0 expected='The card holds the update.'
  else
    want=1
  fi
  if [ "$status" -ne "$want" ] || [ "$(cat out)" != "$expected" ]; then
    echo "FAIL $name: exit $status, expected $want; stdout:"; cat out; cat err
    failures=$((failures + 1))
  elif [ "$(listing "$name")" != "$before" ]; then
    fail "$name: the check changed the card"
  else
    echo "ok   $name"
  fi
done <<'TABLE'
flipped-byte|flip ldr_sys/avtn_db.bin 3|CARD/ldr_sys/avtn_db.bin: differs
flipped-trailer|flip terrain.tdb 10|CARD/terrain.tdb: differs
truncated-database|truncate -s 5 terrain.tdb|CARD/terrain.tdb: length 5, expected 11
longer-database|printf x >> ldr_sys/avtn_db.bin|CARD/ldr_sys/avtn_db.bin: length 20, expected 19
missing-database|rm ldr_sys/avtn_db.bin|CARD/ldr_sys/avtn_db.bin: missing
flipped-chart-index|flip sl_tpc/sl_tpc.dat 100|CARD/sl_tpc/sl_tpc.dat: differs
missing-chart|rm sl_tpc/charts/a.tpc|CARD/sl_tpc/charts/a.tpc: missing
chart-differs|printf 'chart X' > sl_tpc/charts/b.tpc|CARD/sl_tpc/charts/b.tpc: differs
chart-truncated|truncate -s 3 sl_tpc/charts/b.tpc|CARD/sl_tpc/charts/b.tpc: length 3, expected 7
chart-is-a-folder|rm sl_tpc/charts/a.tpc && mkdir sl_tpc/charts/a.tpc|CARD/sl_tpc/charts/a.tpc: not a file
chart-is-a-link|rm sl_tpc/charts/a.tpc && ln -s "$work/up/charts/a.tpc" sl_tpc/charts/a.tpc|CARD/sl_tpc/charts/a.tpc: not a file
chart-is-a-pipe|rm sl_tpc/charts/a.tpc && mkfifo sl_tpc/charts/a.tpc|CARD/sl_tpc/charts/a.tpc: not a file
missing-raster|rm rasters/north/r1.jnx|CARD/rasters/north/r1.jnx: missing
folder-gone|rm -r sl_tpc|CARD/sl_tpc/sl_tpc.dat: missing\nCARD/sl_tpc/charts/a.tpc: missing\nCARD/sl_tpc/charts/b.tpc: missing
several|rm terrain.tdb && flip ldr_sys/avtn_db.bin 0|CARD/ldr_sys/avtn_db.bin: differs\nCARD/terrain.tdb: missing
extra-files|printf 'mine' > notes.txt && printf 'old' > sl_tpc/charts/old.tpc && printf 'alt' > terrain.tdb2|
TABLE

# Configuration files: in cfg/ for .ini, in the root for .qza.
fresh ini unit7.ini
expect ini 0 'The card holds the update.' 'Verifying Database Signature...
Checking file 1 of 1' "$cli" check --card ini unit7.ini
rm ini/cfg/unit7.ini
expect ini-missing 1 'ini/cfg/unit7.ini: missing' 'Verifying Database Signature...
Checking file 1 of 1' "$cli" check --card ini unit7.ini
fresh qza unit7.qza
printf 'pam' > qza/unit7.qza
expect qza-differs 1 'qza/unit7.qza: differs' 'Verifying Database Signature...
Checking file 1 of 1' "$cli" check --card qza unit7.qza
expect ini-on-qza-card 1 'qza/cfg/unit7.ini: missing' 'Verifying Database Signature...
Checking file 1 of 1' "$cli" check --card qza unit7.ini

# A card that is not there, or no folder; an update that is not.
expect no-card 1 '' "System Error Code: 2
No such file or directory
Path: nowhere" "$cli" check --card nowhere up/u.vlm
printf 'my notes' > notes.txt
expect card-is-a-file 1 '' "System Error Code: 20
Not a directory
Path: notes.txt" "$cli" check --card notes.txt up/u.vlm
expect no-update 1 '' 'Unable to open the input file, please check the file and try again.' \
  "$cli" check --card card missing.vlm
# Charts the update needs but lacks: the update is damaged, as for program.
mkdir -p bare
cp up/u.vlm bare/
expect no-charts 1 '' "The aviation database update file you are attempting to write to your storage device appears to be corrupted.  Please return to Telvan's website, download the update again, and repeat this process.  If you continue to experience problems, please contact Telvan support." \
  "$cli" check --card card bare/u.vlm
# What the transfer refuses beside the update, the check refuses too: a
# chart that is a link, a configuration file that is a pipe.
mkdir -p linked/charts
cp up/u.vlm linked/ && cp up/charts/a.tpc linked/charts/
ln -s "$work/up/charts/b.tpc" linked/charts/b.tpc
expect linked-chart 1 '' "The aviation database update file you are attempting to write to your storage device appears to be corrupted.  Please return to Telvan's website, download the update again, and repeat this process.  If you continue to experience problems, please contact Telvan support." \
  "$cli" check --card card linked/u.vlm
mkfifo pipe.ini
expect configuration-pipe 1 '' '"pipe.ini" is not a file that can be copied to the storage device.  Please check the file and try again.' \
  timeout 10 "$cli" check --card ini pipe.ini

like check-no-card 2 'check: needs --card DIR' "$cli" check up/u.vlm
like check-no-file 2 'check: needs an update or configuration file' "$cli" check --card card
like check-two-cards 2 'check: one card only' "$cli" check --card card --card ini up/u.vlm
like check-unknown-option 2 "check: unknown option '--fast'" "$cli" check --fast --card card up/u.vlm
like check-help 0 '^  check --card DIR FILE \[--json\]$' "$cli" --help

exit "$failures"
