#!/bin/sh
# Cards and files as a hostile or unlucky user leaves them: each case ends in
# the program's own message, with nothing on the card or beside it lost.
#   card_safety_test.sh PATH_TO_VELMORA_CLI
cli=$1
. "$(cd "$(dirname "$0")" && pwd)/checks.sh"
mounted=
finish() {
  [ -z "$mounted" ] || umount -l "$mounted" 2>/dev/null
}

# same NAME A B: two files or trees hold the same.
same() {
  if diff -r "$2" "$3" >/dev/null 2>&1; then echo "ok   $1"; else echo "FAIL $1: $2 and $3 differ"; failures=$((failures + 1)); fi
}
fail() {
  echo "FAIL $1"; failures=$((failures + 1))
}
damaged="The aviation database update file you are attempting to write to your storage device appears to be corrupted.  Please return to Telvan's website, download the update again, and repeat this process.  If you continue to experience problems, please contact Telvan support."
in_the_way() {
  echo "The storage device holds \"$1\" where the update must write a file or folder of its own.  Please move it off the storage device, then try again."
}
not_copyable() {
  echo "\"$1\" is not a file that can be copied to the storage device.  Please check the file and try again."
}

printf 'navigation data' > nav.bin
"$cli" pack -o update.vlm --device D --database N --major 1 --minor 1 1=nav.bin || exit 1

# The card given is a file, a pipe or a device: it stays what it was.
printf 'my notes' > notes.txt
expect card-is-a-file 1 '' 'System Error Code: 20
Not a directory
Path: notes.txt' "$cli" program --card notes.txt update.vlm
[ "$(cat notes.txt)" = "my notes" ] || fail "card-is-a-file: the file changed"
mkfifo card.fifo
expect card-is-a-pipe 1 '' 'System Error Code: 20
Not a directory
Path: card.fifo' timeout 10 "$cli" program --card card.fifo update.vlm
[ -p card.fifo ] || fail "card-is-a-pipe: the pipe is gone"

# What stands where the layout wants a folder or a file is left alone.
mkdir -p elsewhere card1 card2
printf 'a file of mine' > card1/ldr_sys
ln -s "$work/elsewhere" card2/ldr_sys
like file-in-the-way 1 "$(in_the_way ldr_sys)" "$cli" program --card card1 update.vlm
[ "$(cat card1/ldr_sys)" = "a file of mine" ] || fail "file-in-the-way: the file changed"
like link-in-the-way 1 "$(in_the_way ldr_sys)" "$cli" program --card card2 update.vlm
[ -z "$(ls elsewhere)" ] || fail "link-in-the-way: written through the link"

# Pipes never hold a command up: as the update file, a chart or the
# configuration file.
mkfifo pipe.vlm
for command in info verify; do
  expect "pipe-as-update-$command" 1 '' 'Unable to open the input file, please check the file and try again.' \
    timeout 10 "$cli" "$command" pipe.vlm
done
mkdir -p charted/charts card3/sl_tpc/charts
printf 'old chart' > card3/sl_tpc/charts/old.tpc
printf 'chart' > charted/charts/a.tpc
printf 'index' > index.bin
"$cli" pack -o charted/update.vlm --device D --database N --major 1 --minor 1 20=index.bin 2>/dev/null || exit 1
mkfifo charted/charts/b.tpc
cp -r card3 card3.before
like pipe-as-chart 1 "$damaged" timeout 10 "$cli" program --card card3 charted/update.vlm
same pipe-as-chart-keeps-the-card card3 card3.before
rm charted/charts/b.tpc

# A chart that links to a secret of the computer never reaches the card.
printf 'root:secret' > shadow
ln -s "$work/shadow" charted/charts/b.tpc
like linked-chart 1 "$damaged" "$cli" program --card card3 charted/update.vlm
same linked-chart-keeps-the-card card3 card3.before
rm charted/charts/b.tpc

# Nor does a chart folder that is a link to one of the computer's folders.
mkdir -p secrets linked
printf 'root:secret' > secrets/shadow.tpc
cp charted/update.vlm linked/
ln -s "$work/secrets" linked/charts
like linked-chart-folder 1 "$damaged" "$cli" program --card card3 linked/update.vlm
same linked-chart-folder-keeps-the-card card3 card3.before

# An update kept in the card's chart folder is not erased by its own transfer.
mkdir -p card4/sl_tpc/charts
cp charted/update.vlm card4/sl_tpc/ && cp charted/charts/a.tpc card4/sl_tpc/charts/
cp -r card4 card4.before
like update-in-erased-folder 1 'The update file, or files that go with it, lie in "sl_tpc/" on the storage device, which the update replaces.  Please copy the update file and the files beside it to another folder, then try again.' \
  "$cli" program --card card4 card4/sl_tpc/update.vlm
same update-in-erased-folder-keeps-the-card card4 card4.before

# Configuration files: a pipe or a folder is refused before the script runs,
# and so is a card where the file cannot go.
printf '[unit]\n' > unit7.ini
printf 'echo ran > "$1/ran"\n' > prepare.sh
mkdir card5 folder.ini
mkfifo pipe.ini
for name in pipe.ini folder.ini; do
  expect "configuration-$name" 1 '' "$(not_copyable "$name")" \
    timeout 10 "$cli" program --card card5 "$name" --batch "$work/prepare.sh"
done
mkdir card9
printf 'a file of mine' > card9/cfg
expect configuration-in-the-way 1 '' "$(in_the_way cfg/)" "$cli" program --card card9 unit7.ini --batch "$work/prepare.sh"
[ "$(cat card9/cfg)" = "a file of mine" ] || fail "configuration-in-the-way: the file changed"
[ -e card5/ran ] || [ -e card9/ran ] && fail "configuration: the script ran"
expect configuration-card-is-a-file 1 '' 'System Error Code: 20
Not a directory
Path: notes.txt' "$cli" program --card notes.txt unit7.ini --batch "$work/prepare.sh"
[ "$(cat notes.txt)" = "my notes" ] || fail "configuration-card-is-a-file: the script ran"

# A script that leaves a child running: the child is ended with the script,
# before the card is finalized, and holds no output of the caller open.
cat > lingering.sh <<'SCRIPT'
(sleep 60; echo late > "$1/late") &
echo $! > "$1/child"
SCRIPT
mkdir card6
if timeout 20 sh -c '"$0" program --card card6 unit7.ini --batch "$1" | cat >/dev/null' "$cli" "$work/lingering.sh" 2>/dev/null; then
  child=$(cat card6/child)
  if [ -r "/proc/$child/stat" ] && [ "$(sed 's/.*) \(.\).*/\1/' "/proc/$child/stat")" != Z ]; then
    fail "lingering-child: still running"
  else
    echo "ok   lingering-child"
  fi
else
  fail "lingering-child: the run did not end, or failed"
fi

# A second transfer onto a card that another one holds is refused at once.
mkdir card7
flock card7 sleep 30 &
holder=$!
sleep 0.3
expect second-transfer 1 '' 'Another transfer is writing to this storage device.  Please wait until it has finished, then try again.' \
  "$cli" program --card card7 update.vlm
[ -z "$(ls card7)" ] || fail "second-transfer: the card changed"
kill "$holder"
wait "$holder" 2>/dev/null
# A configuration transfer holds the card while its script runs.
cat > waiting.sh <<'SCRIPT'
touch "$1/../started"
while [ ! -e "$1/../go" ]; do sleep 0.05; done
SCRIPT
mkdir -p slow/card
"$cli" program --card slow/card unit7.ini --batch "$work/waiting.sh" >/dev/null 2>&1 &
configuring=$!
for _ in $(seq 500); do [ -e slow/started ] && break; sleep 0.02; done
expect second-transfer-during-a-script 1 '' 'Another transfer is writing to this storage device.  Please wait until it has finished, then try again.' \
  "$cli" program --card slow/card update.vlm
touch slow/go
wait "$configuring" || fail "second-transfer-during-a-script: the configuration transfer failed"
[ ! -e slow/card/ldr_sys ] || fail "second-transfer-during-a-script: the update was written"

# A run killed in the middle leaves no copy of the block for ever, and no
# card file that shows its full size before its bytes are there.
# Bytes that holes (which read as zeros) cannot pass for.
head -c 200000000 /dev/zero | tr '\0' v > big.bin
"$cli" pack -o big.vlm --device D --database N --major 1 --minor 1 1=big.bin || exit 1
temporary="$TMPDIR/Velmora-$(id -u)"
mkdir card8
"$cli" program --card card8 big.vlm >/dev/null 2>&1 &
run=$!
for _ in $(seq 3000); do [ -s card8/ldr_sys/avtn_db.bin ] && break; sleep 0.02; done
kill -KILL "$run"
wait "$run" 2>/dev/null
if [ ! -e card8/ldr_sys/avtn_db.bin ]; then
  fail "killed-run: the card file was never begun"
else
  # Whatever size it shows, every byte of it must be there (the database's
  # own, without the trailer that follows them).
  size=$(stat -c %s card8/ldr_sys/avtn_db.bin)
  [ "$size" -le 200000000 ] || size=200000000
  if cmp -s -n "$size" card8/ldr_sys/avtn_db.bin big.bin; then
    echo "ok   killed-run-card-file"
  else
    fail "killed-run: a card file with bytes missing"
  fi
fi
"$cli" verify update.vlm >/dev/null || fail "killed-run: the next run failed"
if ls "$temporary" | grep -q '^rgn'; then fail "killed-run: a copy of the block is left"; else echo "ok   killed-run-temporary"; fi

# A card unmounted in the middle of the transfer is never reported as
# programmed, and nothing lands in the bare mount point.
mkdir mnt
if mount -t tmpfs -o size=400m tmpfs mnt 2>/dev/null; then
  mounted=$work/mnt
  "$cli" program --card mnt big.vlm >out 2>err &
  run=$!
  for _ in $(seq 3000); do [ -s mnt/ldr_sys/avtn_db.bin ] && break; sleep 0.02; done
  umount -l mnt
  mounted=
  wait "$run"
  status=$?
  if [ "$status" -ne 1 ] || grep -q 'Update Complete' out; then
    fail "vanished-card: exit $status; $(cat out err)"
  elif ! grep -q 'No such device' err; then
    fail "vanished-card: $(cat err)"
  elif [ -n "$(ls mnt)" ]; then
    fail "vanished-card: files landed in the mount point"
  else
    echo "ok   vanished-card"
  fi
else
  skip vanished-card "a tmpfs cannot be mounted here"
fi

exit "$failures"
