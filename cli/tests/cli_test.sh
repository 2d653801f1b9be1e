#!/bin/sh
# Checks velmora-cli from outside: what it prints and its exit codes.
#   cli_test.sh PATH_TO_VELMORA_CLI
cli=$1
schema=$(cd "$(dirname "$0")/../../res/schemas" && pwd)/ApplicationErrors.xsd
. "$(cd "$(dirname "$0")" && pwd)/checks.sh"
full_error='velmora-cli: write error: No space left on device'

like version 0 '^Velmora [0-9][0-9]*\.[0-9][0-9]*\.[0-9][0-9]*' "$cli" --version
like help 0 '^Usage: velmora-cli COMMAND' "$cli" --help
# COMMAND --help is the command's part of the whole help, word for word.
"$cli" --help >help.txt
for command in $(sed -n '/^Commands:/,/^$/s/^  \([a-z][a-z]*\).*/\1/p' help.txt); do
  if ! "$cli" "$command" --help >command.txt; then
    echo "FAIL help-$command: exit $?"; failures=$((failures + 1)); continue
  fi
  sed -n '1s/^Usage: velmora-cli //p; 2,/^$/s/^ *\(..*\)/\1/p' command.txt >synopsis.txt
  sed -n '/^$/,/^$/s/^\(..*\)/\1/p' command.txt >description.txt
  missing=$(cat synopsis.txt description.txt | while IFS= read -r line; do
    grep -qF -- "$line" help.txt || echo "$line"
  done)
  if [ -n "$missing" ] || [ ! -s description.txt ]; then
    echo "FAIL help-$command: not in --help: ${missing:-its description}"; failures=$((failures + 1))
  else
    echo "ok   help-$command"
  fi
done
full version-full "$full_error" "$cli" --version
full help-full "$full_error" "$cli" --help
like no-command 2 '^Usage: velmora-cli COMMAND' "$cli"
like unknown-command 2 "unknown command 'frobnicate'" "$cli" frobnicate

printf 'navigation data' > nav.bin
printf 'terrain' > terrain.tdb
expect pack 0 '' '' "$cli" pack -o update.vlm --device "Skyline 400" --database "North Atlantic" \
  --major 8 --minor 13 1=nav.bin 33=terrain.tdb
expect info 0 'Device: Skyline 400
Database: North Atlantic
Cycle: 0813
Region: offset 89 length 73' '' "$cli" info update.vlm
expect info-json 0 '{"device":"Skyline 400","database":"North Atlantic","cycle":"0813","regionOffset":89,"regionLength":73,"databases":[{"kind":1,"offset":28,"length":19,"cardFile":"ldr_sys/avtn_db.bin"},{"kind":33,"offset":62,"length":11,"cardFile":"terrain.tdb"}]}' '' \
  "$cli" info --json update.vlm
expect verify 0 'kind 1: ok
kind 33: ok' '' "$cli" verify update.vlm
full info-full "$full_error" "$cli" info update.vlm
full info-json-full "$full_error" "$cli" info --json update.vlm
full verify-full "$full_error" "$cli" verify update.vlm
expect verify-closed-output 1 '' 'velmora-cli: write error: Bad file descriptor' sh -c '"$0" verify update.vlm >&-' "$cli"
like verify-usage 2 'verify: needs one update file' "$cli" verify

# put FILE OFFSET HEX: writes one byte.
put() {
  printf "\\$(printf %o "0x$3")" | dd of="$1" bs=1 seek="$2" conv=notrunc 2>/dev/null
}
# resign FILE: signs the file anew after a change, so that the check behind
# the signature is reached. The signature holds the CRC-32 of everything
# before its record (the last 25 bytes), most significant byte first, in its
# bytes 2, 9, 12 and 17; gzip's trailer starts with that CRC, least
# significant byte first.
resign() {
  size=$(($(wc -c < "$1") - 25))
  set -- "$1" "$size" $(head -c "$size" "$1" | gzip -c | tail -c 8 | head -c 4 | od -An -tx1)
  put "$1" $(($2 + 5 + 2)) "$6"
  put "$1" $(($2 + 5 + 9)) "$5"
  put "$1" $(($2 + 5 + 12)) "$4"
  put "$1" $(($2 + 5 + 17)) "$3"
}
cp update.vlm damaged.vlm
put damaged.vlm $((89 + 62)) 58  # the first byte of the terrain database
resign damaged.vlm
expect damaged-info 0 'Device: Skyline 400
Database: North Atlantic
Cycle: 0813
Region: offset 89 length 73' '' "$cli" info damaged.vlm
expect damaged-verify 1 '' "The aviation database update file you are attempting to write to your storage device appears to be corrupted.  Please return to Telvan's website, download the update again, and repeat this process.  If you continue to experience problems, please contact Telvan support." \
  "$cli" verify damaged.vlm

cp update.vlm corrupt.vlm
printf 'X' | dd of=corrupt.vlm bs=1 seek=120 conv=notrunc 2>/dev/null
expect corrupt 1 '' 'The input file is corrupted, please get a new copy of the file and try again.' "$cli" info corrupt.vlm
expect missing 1 '' 'Unable to open the input file, please check the file and try again.' "$cli" info missing.vlm
expect short-path 1 '' 'The update file command line parameter was missing, please try again with the valid file path name.' \
  "$cli" info .vlm
expect extension 1 '' 'The update file command line parameter has an unrecognized extension, please try again with the valid file path name.' \
  "$cli" info update.bin
like configuration-file 2 "is not an update file" "$cli" info card.ini

like pack-needs-output 2 'needs -o' "$cli" pack --device D --database N --major 1 --minor 1
like pack-bad-number 2 'needs a number' "$cli" pack -o x.vlm --device D --database N --major x --minor 1
like pack-bad-kind 2 'needs a number up to 65535' "$cli" pack -o x.vlm --device D --database N --major 1 --minor 1 70000=nav.bin
like pack-not-ascii 2 'plain ASCII' "$cli" pack -o x.vlm --device "Caf$(printf '\303\251')" --database N --major 1 --minor 1
expect pack-missing-database 1 '' "velmora-cli: cannot read or write $work/none.bin: No such file or directory" \
  "$cli" pack -o x.vlm --device D --database N --major 1 --minor 1 1="$work/none.bin"
if [ -e x.vlm ] || [ -e x.vlm.part ]; then
  echo "FAIL pack-missing-database: left a file behind"; failures=$((failures + 1))
fi
expect pack-duplicate-kind 2 '' "velmora-cli: pack: kind 33 is given twice
Try 'velmora-cli --help'." \
  "$cli" pack -o x.vlm --device D --database N --major 1 --minor 1 33=terrain.tdb 1=nav.bin 33=nav.bin
# Kinds that no card takes are packed all the same, with a warning each.
expect pack-unsupported-kind 0 '' 'velmora-cli: warning: no card takes kind 7; it is packed all the same
velmora-cli: warning: no card takes kind 4000; it is packed all the same' \
  "$cli" pack -o odd.vlm --device D --database N --major 1 --minor 1 4000=nav.bin 1=nav.bin 7=terrain.tdb
expect pack-unsupported-kind-info 0 'Device: D
Database: N
Cycle: 011
Region: offset 66 length 107' '' "$cli" info odd.vlm

# pack's outputs: OUT.part is made new, never written through what is
# there; OUT is a file or a link (the link itself is replaced), never a
# folder or a special file. Nothing planted changes.
pack_to() {
  "$cli" pack -o "$1" --device D --database N --major 1 --minor 1 1=nav.bin
}
printf 'victim' > victim
ln -s "$work/victim" planted.vlm.part
expect pack-part-link 1 '' "velmora-cli: cannot write planted.vlm: planted.vlm.part is in the way (left by a run that stopped, or a link); remove it and pack again" \
  pack_to planted.vlm
ln -s "$work/nowhere" dangling.vlm.part
expect pack-part-dangling-link 1 '' "velmora-cli: cannot write dangling.vlm: dangling.vlm.part is in the way (left by a run that stopped, or a link); remove it and pack again" \
  pack_to dangling.vlm
printf 'left' > left.vlm.part
expect pack-part-file 1 '' "velmora-cli: cannot write left.vlm: left.vlm.part is in the way (left by a run that stopped, or a link); remove it and pack again" \
  pack_to left.vlm
if [ "$(cat victim)" != victim ] || [ ! -L planted.vlm.part ] || [ -e planted.vlm ] || [ -e nowhere ] ||
  [ "$(cat left.vlm.part)" != left ] || [ -e left.vlm ]; then
  echo "FAIL pack-part: a planted .part was changed or followed"; failures=$((failures + 1))
fi
mkfifo fifo.vlm
expect pack-fifo 1 '' 'velmora-cli: cannot write fifo.vlm: it is a FIFO, device or socket, not a file' pack_to fifo.vlm
mkdir folder.vlm
expect pack-folder 1 '' 'velmora-cli: cannot write folder.vlm: it is a folder' pack_to folder.vlm
if [ ! -p fifo.vlm ] || [ ! -d folder.vlm ] || [ -e fifo.vlm.part ] || [ -e folder.vlm.part ]; then
  echo "FAIL pack-special: the FIFO or the folder was replaced"; failures=$((failures + 1))
fi
printf 'kept' > kept.vlm
ln -s "$work/kept.vlm" link.vlm
expect pack-link 0 '' '' pack_to link.vlm
if [ -L link.vlm ] || [ "$(cat kept.vlm)" != kept ] || ! "$cli" info link.vlm >/dev/null; then
  echo "FAIL pack-link: the link's file was written, or the link kept"; failures=$((failures + 1))
fi

# drives, on a fixture machine: a system disk, a labelled card in a reader
# whose disk is removable, a tmpfs and /proc.
mkdir -p sys/devices/pci0/block/sda sys/devices/pci0/block/sdb/sdb1 sys/class/block by-label
echo 0 > sys/devices/pci0/block/sda/removable
echo 1 > sys/devices/pci0/block/sdb/removable
echo 1 > sys/devices/pci0/block/sdb/sdb1/partition
ln -s ../../devices/pci0/block/sda sys/class/block/sda
ln -s ../../devices/pci0/block/sdb/sdb1 sys/class/block/sdb1
ln -s ../../sdb1 'by-label/MY\x20CARD'
cat > mountinfo <<'TABLE'
21 1 8:0 / / rw - ext4 /dev/sda rw
22 21 0:22 / /proc rw - proc proc rw
23 21 8:17 / /media/alice/MY\040CARD rw,nosuid shared:5 - vfat /dev/sdb1 rw
24 21 0:40 / /run/user rw - tmpfs tmpfs rw
TABLE
VELMORA_MOUNTINFO=$work/mountinfo VELMORA_SYSFS=$work/sys VELMORA_BY_LABEL=$work/by-label
export VELMORA_MOUNTINFO VELMORA_SYSFS VELMORA_BY_LABEL
tab=$(printf '\t')
expect drives 0 "/media/alice/MY CARD${tab}MY CARD (/media/alice/MY CARD)" '' "$cli" drives
expect drives-all 0 "/${tab}Local Disk (/)
/media/alice/MY CARD${tab}MY CARD (/media/alice/MY CARD)
/run/user${tab}RAM Disk (/run/user)" '' "$cli" drives --all
expect drives-json 0 '[{"root":"/media/alice/MY CARD","label":"MY CARD","type":"removable","displayText":"MY CARD (/media/alice/MY CARD)","removable":true}]' '' \
  "$cli" drives --json
expect drives-all-json 0 '[{"root":"/","label":null,"type":"fixed","displayText":"Local Disk (/)","removable":false},{"root":"/media/alice/MY CARD","label":"MY CARD","type":"removable","displayText":"MY CARD (/media/alice/MY CARD)","removable":true},{"root":"/run/user","label":null,"type":"ramdisk","displayText":"RAM Disk (/run/user)","removable":false}]' '' \
  "$cli" drives --all --json
full drives-full "$full_error" "$cli" drives --all
full drives-json-full "$full_error" "$cli" drives --json
like drives-unknown-option 2 "drives: unknown option '--removable'" "$cli" drives --removable
like drives-argument 2 'drives: takes no arguments' "$cli" drives /media
like drives-no-table 1 "Path: $work/none" env VELMORA_MOUNTINFO="$work/none" "$cli" drives
unset VELMORA_MOUNTINFO VELMORA_SYSFS VELMORA_BY_LABEL
like drives-system 0 '' "$cli" drives --all

# program: the very transfer of the wizard, onto card folders.
mkdir card
expect program 0 'Update Complete
The update was successful.' 'Copying database(s)...
Verifying Database Signature...
Preparing database(s)...
Transferring Data (update 1 of 2)
Transferring database(s)...
Preparing database(s)...
Transferring Data (update 2 of 2)
Transferring database(s)...
Finalizing transfer...' "$cli" program --card card update.vlm
if [ "$(cat card/ldr_sys/avtn_db.bin | head -c 15)" != "navigation data" ] || [ ! -f card/terrain.tdb ]; then
  echo "FAIL program: the card lacks its databases"; failures=$((failures + 1))
fi
mkdir card2
expect program-damaged 1 '' "Copying database(s)...
Verifying Database Signature...
The aviation database update file you are attempting to write to your storage device appears to be corrupted.  Please return to Telvan's website, download the update again, and repeat this process.  If you continue to experience problems, please contact Telvan support." \
  "$cli" program --card card2 damaged.vlm
if [ -n "$(ls card2)" ]; then
  echo "FAIL program-damaged: the card was written"; failures=$((failures + 1))
fi
mkdir card-full
full program-full "Copying database(s)...
Verifying Database Signature...
Preparing database(s)...
Transferring Data (update 1 of 2)
Transferring database(s)...
Preparing database(s)...
Transferring Data (update 2 of 2)
Transferring database(s)...
Finalizing transfer...
$full_error" "$cli" program --card card-full update.vlm
like program-no-card 2 'program: needs --card DIR' "$cli" program update.vlm

# Names are bytes: an update file whose name holds the byte 0xE9 alone
# (Latin-1 "e acute") in a folder whose name holds 0xFF is read, and a chart
# of such a name beside it reaches the card under the very same bytes. A
# name shown to the user has U+FFFD for each byte that is not UTF-8.
e9=$(printf '\351') ff=$(printf '\377') fffd=$(printf '\357\277\275')
mkdir -p "latin$ff/charts" card6
head -c 160 /dev/urandom > chart-index.dat
"$cli" pack -o charts.vlm --device D --database N --major 1 --minor 1 1=nav.bin 20=chart-index.dat
cp charts.vlm "latin$ff/caf$e9.vlm"
printf 'chart e9' > "latin$ff/charts/caf$e9.tpc"
printf 'chart plain' > "latin$ff/charts/plain.tpc"
expect latin1-info 0 'Device: D
Database: N
Cycle: 011
Region: offset 66 length 226' '' "$cli" info "latin$ff/caf$e9.vlm"
expect latin1-verify 0 'kind 1: ok
kind 20: ok' '' "$cli" verify "latin$ff/caf$e9.vlm"
expect latin1-program 0 'Update Complete
The update was successful.' 'Copying database(s)...
Verifying Database Signature...
Preparing database(s)...
Transferring Data (update 1 of 4)
Transferring database(s)...
Preparing database(s)...
Transferring Data (update 2 of 4)
Transferring database(s)...
Transferring Chart(s)...
Transferring Data (update 3 of 4)
Transferring Data (update 4 of 4)
Finalizing transfer...' "$cli" program --card card6 "latin$ff/caf$e9.vlm"
if ! cmp -s "latin$ff/charts/caf$e9.tpc" "card6/sl_tpc/charts/caf$e9.tpc" ||
  ! cmp -s "latin$ff/charts/plain.tpc" card6/sl_tpc/charts/plain.tpc ||
  [ "$(ls card6/sl_tpc/charts | wc -l)" -ne 2 ]; then
  echo "FAIL latin1-program: the card lacks the charts under their names"; failures=$((failures + 1))
fi
expect latin1-shown 1 '' "velmora-cli: cannot read or write $work/latin$fffd/none$fffd.bin: No such file or directory" \
  "$cli" pack -o x.vlm --device D --database N --major 1 --minor 1 1="$work/latin$ff/none$e9.bin"

# Configuration cards: the script gets the card's root; run mode 1 (.ini)
# writes into cfg/, run mode 2 (.qza) into the root.
printf '[unit]\nid=7\n' > unit7.ini
printf 'map' > unit7.qza
printf 'echo "$1" > "$1/prepared"\n' > prepare.sh
printf 'exit 1\n' > failing.sh
mkdir card3 card4 card5
expect program-ini 0 'Update Complete
The update was successful.' 'Preparing data card...
Preparing database(s)...
Transferring database(s)...
Finalizing transfer...' "$cli" program --card "$work/card3" unit7.ini --batch "$work/prepare.sh"
if [ "$(cat card3/prepared)" != "$work/card3" ] || [ "$(cat card3/cfg/unit7.ini)" != "$(cat unit7.ini)" ]; then
  echo "FAIL program-ini: card3 holds the wrong files"; failures=$((failures + 1))
fi
expect program-qza 0 'Update Complete
The update was successful.' 'Preparing data card...
Preparing database(s)...
Transferring database(s)...
Finalizing transfer...' "$cli" program --card "$work/card4" unit7.qza --batch "$work/prepare.sh"
if [ "$(cat card4/unit7.qza)" != "map" ]; then
  echo "FAIL program-qza: card4 lacks the file in its root"; failures=$((failures + 1))
fi
expect program-script-fails 1 '' 'Preparing data card...
Velmora encountered a problem with the batch script provided to initialize the card.' \
  "$cli" program --card "$work/card5" unit7.ini --batch "$work/failing.sh"
expect program-no-script 1 '' 'Preparing data card...
Velmora encountered a problem with the batch script provided to initialize the card.' \
  "$cli" program --card "$work/card5" unit7.ini

# A stop while the script's children and grandchildren run: exit 130, and
# the whole tree ends.
cat > slow.sh <<'SCRIPT'
sleep 60 &
echo $! >> "$1/pids"
sh -c 'sleep 60 & echo $! >> "$1/pids"; wait' sh "$1" &
echo $! >> "$1/pids"
sleep 0.2
echo started > "$1/started"
wait
SCRIPT
# alive PID: runs, and is no zombie waiting to be reaped.
alive() {
  [ -r "/proc/$1/stat" ] && [ "$(sed 's/.*) \(.\).*/\1/' "/proc/$1/stat" 2>/dev/null)" != Z ]
}
"$cli" program --card "$work/card5" unit7.ini --batch "$work/slow.sh" >/dev/null 2>&1 &
pid=$!
for _ in $(seq 100); do [ -f card5/started ] && break; sleep 0.1; done
kill -INT "$pid"
wait "$pid"
status=$?
sleep 0.2
left=""
for child in $(cat card5/pids); do alive "$child" && left="$left $child"; done
if [ "$status" -ne 130 ]; then
  echo "FAIL program-stop: exit $status, expected 130"; failures=$((failures + 1))
elif [ "$(wc -l < card5/pids)" -ne 3 ] || [ -n "$left" ]; then
  echo "FAIL program-stop: still running:$left"; failures=$((failures + 1))
else
  echo "ok   program-stop"
fi

# crash: the whole fatal path of a real processor fault, on the main thread
# and on a worker; every error lands in the error log, oldest first, as a
# report that the program's schema accepts.
log="$TMPDIR/Telvan Error Reporting-$(id -u)/ErrorReport.xml"
# report NAME FILE...: the log validates and holds errors of these source
# files, in this order.
report() {
  name=$1
  shift
  files=$(sed -n 's:.*<SourceFileName>\(.*\)</SourceFileName>.*:\1:p' "$log" | tr '\n' ' ')
  if ! xmllint --noout --schema "$schema" "$log" 2>"$work/xmllint"; then
    echo "FAIL $name: the log does not validate"; cat "$work/xmllint"; failures=$((failures + 1))
  elif [ "$files" != "$* " ]; then
    echo "FAIL $name: the log holds errors of $files, expected $*"; failures=$((failures + 1))
  else
    echo "ok   $name-log"
  fi
}
# From an empty log: failures above (drives-no-table) were fatal too.
rm -f "$log"
like crash 1 '^Write access violation at data address 0x0,$' "$cli" crash
report crash MAIN.CPP
like crash-dialog 1 '^Error Information:$' "$cli" crash --worker
report crash-worker MAIN.CPP XFERTHREAD.CPP
# Both faults carry their program address and stack trace.
if [ "$(grep -c '<ProgramAddress>' "$log")" -ne 2 ] || [ "$(grep -c '<StackTrace>' "$log")" -ne 2 ]; then
  echo "FAIL crash-worker: a fault lacks its program address or stack trace"; failures=$((failures + 1))
else
  echo "ok   crash-addresses"
fi
like crash-usage 2 "crash: unknown argument '--main'" "$cli" crash --main

# A damaged log gives way to a report of the new error alone.
printf '<ErrorReport xmlns="http://www.telvan.example/xmlschemas/ApplicationErrors/v1"><Error>' > "$log"
like crash-damaged-log 1 '^MAIN.CPP-' "$cli" crash
report crash-damaged-log MAIN.CPP

# An error reporter beside the program takes the report: nothing is shown.
mkdir bin
cp "$cli" bin/velmora-cli
cat > bin/ErrorReporter <<SCRIPT
#!/bin/sh
printf '%s|' "\$@" > "$work/reporter.tmp" && mv "$work/reporter.tmp" "$work/reporter"
SCRIPT
chmod +x bin/ErrorReporter
expect crash-reporter 1 '' '' bin/velmora-cli crash
for _ in $(seq 50); do [ -f reporter ] && break; sleep 0.1; done
if [ "$(cat reporter 2>/dev/null)" != "/Mode|0|/AppName|Velmora|" ]; then
  echo "FAIL crash-reporter: the reporter got '$(cat reporter 2>/dev/null)'"; failures=$((failures + 1))
else
  echo "ok   crash-reporter-arguments"
fi
report crash-reporter MAIN.CPP MAIN.CPP

# A reporter that the registry names but that will not start: message 5602,
# then the program's own dialog.
mkdir -p machine/Telvan
printf 'Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\Software\\Telvan\\ErrorReporter]\n"InstallDir"="%s"\n' \
  "$work/nowhere" > machine/Telvan/system.reg
"$cli" crash >/dev/null 2>"$work/err"
status=$?
if [ "$status" -ne 1 ] || ! grep -q '^Velmora cannot start the error reporting application.  Please reinstall Velmora.$' "$work/err" ||
  ! grep -q '^Program Address: ' "$work/err"; then
  echo "FAIL crash-reporter-missing: exit $status"; cat "$work/err"; failures=$((failures + 1))
else
  echo "ok   crash-reporter-missing"
fi
rm machine/Telvan/system.reg

# A log folder that is a link is not used: the report is only shown.
mkdir elsewhere tmp2
ln -s "$work/elsewhere" "tmp2/Telvan Error Reporting-$(id -u)"
like crash-linked-folder 1 '^Sub ID: 0x' env TMPDIR="$work/tmp2" "$cli" crash
if [ -n "$(ls elsewhere)" ]; then
  echo "FAIL crash-linked-folder: wrote into the link's target"; failures=$((failures + 1))
fi

exit "$failures"
