#!/bin/sh
# The German language module at work: velmora-cli started with
# LANG=de_DE.UTF-8 tells the system's messages, its progress and its
# completion texts in German, exactly as res/strings/DEU.txt has them.
#   language_test.sh PATH_TO_VELMORA_CLI
cli=$1
. "$(cd "$(dirname "$0")/../../cli/tests" && pwd)/checks.sh"
unset LANGUAGE LC_ALL LC_MESSAGES
export LANG=de_DE.UTF-8

printf 'navigation data' > nav.bin
printf 'terrain' > terrain.tdb
"$cli" pack -o update.vlm --device "Skyline 400" --database "North Atlantic" --major 8 --minor 13 \
  1=nav.bin 33=terrain.tdb 2>/dev/null || { echo "FAIL pack"; exit 1; }
cp update.vlm corrupt.vlm
printf 'X' | dd of=corrupt.vlm bs=1 seek=120 conv=notrunc 2>/dev/null

missing='Die Eingabedatei kann nicht geöffnet werden. Bitte prüfen Sie die Datei und versuchen Sie es erneut.'
expect missing 1 '' "$missing" "$cli" info missing.vlm
expect corrupt 1 '' 'Die Eingabedatei ist beschädigt. Bitte besorgen Sie sich eine neue Kopie der Datei und versuchen Sie es erneut.' \
  "$cli" verify corrupt.vlm
expect short-path 1 '' 'Der Befehlszeilenparameter für die Aktualisierungsdatei fehlt. Bitte versuchen Sie es erneut mit einem gültigen Dateipfad.' \
  "$cli" info .vlm
expect extension 1 '' 'Der Befehlszeilenparameter für die Aktualisierungsdatei hat eine unbekannte Dateiendung. Bitte versuchen Sie es erneut mit einem gültigen Dateipfad.' \
  "$cli" program --card . update.bin

mkdir card
expect program 0 'Aktualisierung abgeschlossen
Die Aktualisierung war erfolgreich.' 'Datenbank(en) werden kopiert...
Datenbanksignatur wird geprüft...
Datenbank(en) werden vorbereitet...
Daten werden übertragen (Aktualisierung 1 von 2)
Datenbank(en) werden übertragen...
Datenbank(en) werden vorbereitet...
Daten werden übertragen (Aktualisierung 2 von 2)
Datenbank(en) werden übertragen...
Übertragung wird abgeschlossen...' "$cli" program --card card update.vlm
mkdir card2 card2/ldr_sys
mkfifo card2/ldr_sys/avtn_db.bin
expect program-refused 1 '' 'Datenbank(en) werden kopiert...
Datenbanksignatur wird geprüft...
Auf dem Speichermedium befindet sich „ldr_sys/avtn_db.bin“ an einer Stelle, an der die Aktualisierung eine eigene Datei oder einen eigenen Ordner anlegen muss.  Bitte entfernen Sie es vom Speichermedium und versuchen Sie es dann erneut.' \
  "$cli" program --card card2 update.vlm

# The module of the first language named that has one: Austrian German
# falls back to German; LC_ALL comes before LANG, LANGUAGE before both, and
# English, the program's own language, ends the search.
expect de-AT 1 '' "$missing" env LANG=de_AT.UTF-8 "$cli" info missing.vlm
expect lc-all 1 '' 'Unable to open the input file, please check the file and try again.' \
  env LC_ALL=en_US.UTF-8 "$cli" info missing.vlm
expect language 1 '' 'Unable to open the input file, please check the file and try again.' \
  env LANGUAGE=en_US:de_DE LC_ALL=de_DE.UTF-8 "$cli" info missing.vlm
expect language-german 1 '' "$missing" env LANGUAGE=fr_FR:de_DE LANG=en_US.UTF-8 "$cli" info missing.vlm
exit "$failures"
