#!/bin/sh
# Velmora's Debian package, built from the build tree and unpacked into a
# folder as dpkg would install it: the programs run from there and find
# their language modules, the desktop files pass their validators, lintian
# finds nothing wrong, update files are known by name and by content, the
# manual pages tell every command and option of the help, and the shell
# completion completes.
#   package_test.sh SOURCE_DIR BUILD_DIR
set -u
source=$1 build=$2

missing=""
for tool in cpack dpkg-deb dpkg-shlibdeps lintian desktop-file-validate update-desktop-database appstreamcli \
  update-mime-database xdg-mime mimetype identify man bash; do
  command -v "$tool" >/dev/null 2>&1 || missing="$missing $tool"
done
[ -r /usr/share/bash-completion/bash_completion ] || missing="$missing bash-completion"
if [ -n "$missing" ]; then
  echo "missing:$missing (scripts/setup.sh installs them)"
  if [ "${CI:-}" = true ]; then exit 1; fi
  exit 77
fi

failures=0
work=$(mktemp -d "${TMPDIR:-/tmp}/velmora-package.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL $1"
  failures=$((failures + 1))
}
ok() {
  echo "ok   $1"
}
# same NAME EXPECTED COMMAND...: standard output exactly as expected.
same() {
  name=$1 expected=$2
  shift 2
  got=$("$@" 2>&1)
  if [ "$got" = "$expected" ]; then ok "$name"; else fail "$name: '$got', expected '$expected'"; fi
}

package=$("$source/scripts/package.sh" "$build" "$work/out") || { echo "FAIL package: $package"; exit 1; }
ok "package: $(basename "$package")"
root=$work/root
dpkg-deb -x "$package" "$root" || { echo "FAIL dpkg-deb -x"; exit 1; }
share=$root/usr/share

# The programs, started through their links, as from a menu or a shell.
unset LANGUAGE LC_ALL LC_MESSAGES
cli=$root/usr/bin/velmora-cli
same "links" "../lib/velmora/velmora ../lib/velmora/velmora-cli" \
  sh -c 'echo $(readlink "$0/usr/bin/velmora") $(readlink "$0/usr/bin/velmora-cli")' "$root"
same "--version" "$("$build/bin/velmora-cli" --version)" "$cli" --version
printf 'navigation data' >"$work/nav.bin"
"$cli" pack -o "$work/nav.vlm" --device "Skyline 400" --database "North Atlantic" --major 26 --minor 3 \
  --revision B 1="$work/nav.bin" || fail "pack"
same "info" "Device: Skyline 400
Database: North Atlantic
Cycle: 26B3
Region: offset 89 length 47" "$cli" info "$work/nav.vlm"
same "German module" "Die Eingabedatei kann nicht geöffnet werden. Bitte prüfen Sie die Datei und versuchen Sie es erneut." \
  env LANG=de_DE.UTF-8 "$cli" info "$work/missing.vlm"
for module in velmoraDEU.res velmora-cliDEU.res; do
  [ -f "$root/usr/lib/velmora/$module" ] && ok "module $module" || fail "module $module: not installed"
done

# The desktop's files.
same "desktop-file-validate" "" desktop-file-validate "$share/applications/velmora.desktop"
if appstreamcli validate --no-net "$share"/metainfo/*.metainfo.xml >"$work/appstream" 2>&1; then
  ok "appstreamcli validate"
else
  fail "appstreamcli validate:"; cat "$work/appstream"
fi
for icon in 48x48 256x256; do
  same "icon $icon" "$icon" identify -format '%wx%h' "$share/icons/hicolor/$icon/apps/velmora.png"
done
[ -f "$share/icons/hicolor/scalable/apps/velmora.svg" ] && ok "icon scalable" || fail "icon scalable: missing"

lintian --fail-on error,warning "$package" >"$work/lintian" 2>&1
status=$?
grep -v 'running with root privileges' "$work/lintian"
if [ "$status" -eq 0 ]; then ok "lintian"; else fail "lintian: exit $status"; fi

# Update files by their name and, renamed, by their header; the wizard opens
# them. Only the unpacked share/ is asked, never the user's or the machine's.
XDG_DATA_DIRS="$share" update-mime-database "$share/mime" || fail "update-mime-database"
update-desktop-database "$share/applications" || fail "update-desktop-database"
cp "$work/nav.vlm" "$work/renamed.bin"
printf 'mLv.\145\000' >"$work/version101.bin"
printf 'plain text\n' >"$work/notes.bin"
mkdir "$work/data"
query() {
  env -u XDG_CURRENT_DESKTOP -u DESKTOP_SESSION -u KDE_FULL_SESSION -u GNOME_DESKTOP_SESSION_ID \
    XDG_DATA_DIRS="$share" XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/data" XDG_CONFIG_DIRS="$work/data" \
    xdg-mime query "$@"
}
for case in "nav.vlm application/x-velmora-update" "renamed.bin application/x-velmora-update" \
  "version101.bin application/octet-stream" "notes.bin text/plain"; do
  set -- $case
  same "filetype $1" "$2" query filetype "$work/$1"
done
same "opened with" "velmora.desktop" query default application/x-velmora-update

# Every command and option of the help is in the manual page.
man -l "$share/man/man1/velmora-cli.1.gz" 2>/dev/null >"$work/manual"
"$cli" --help >"$work/help"
words=$(sed -n 's/^  \([a-z][a-z]*\)\( .*\)\{0,1\}$/\1/p' "$work/help"; grep -o -- '[[ ]-[-a-z]*' "$work/help" | cut -c2-)
told=0
for word in $(printf '%s\n' $words | sort -u); do
  grep -qw -- "$word" "$work/manual" || fail "velmora-cli(1): no $word"
  told=$((told + 1))
done
echo "ok   velmora-cli(1) tells the $told commands and options of the help"
for variable in VELMORA_MOUNTINFO VELMORA_SYSFS VELMORA_BY_LABEL TMPDIR XDG_CONFIG_HOME XDG_CONFIG_DIRS; do
  for page in velmora velmora-cli; do
    man -l "$share/man/man1/$page.1.gz" 2>/dev/null | grep -q "$variable" || fail "$page(1): no $variable"
  done
done
for page in velmora velmora-cli; do
  warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z \
    "$share/man/man1/$page.1.gz" 2>&1 >/dev/null)
  [ -z "$warnings" ] && ok "$page(1)" || fail "$page(1): $warnings"
done

# The completion, as bash runs it on Tab.
mkdir -p "$work/tab/card" "$work/tab/folder"
touch "$work/tab/a.vlm" "$work/tab/b.VLM" "$work/tab/unit7.ini" "$work/tab/notes.txt"
cat >"$work/complete.sh" <<'SCRIPT'
. /usr/share/bash-completion/bash_completion
. "$1"
cd "$2" || exit 1
shift 2
# The words of the line; the last one is the word under the cursor.
COMP_WORDS=("$@")
COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
COMP_LINE="${COMP_WORDS[*]}"
COMP_POINT=${#COMP_LINE}
_velmora_cli velmora-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' '
SCRIPT
complete() {
  name=$1 expected=$2
  shift 2
  same "complete $name" "$expected" bash "$work/complete.sh" "$share/bash-completion/completions/velmora-cli" \
    "$work/tab" velmora-cli "$@"
}
complete commands "--help --version check crash drives info pack program verify " ""
complete command "check " ch
complete info "a.vlm b.VLM card folder " info ""
complete program "a.vlm b.VLM card folder unit7.ini " program ""
complete card "card folder " program --card ""
complete options "--batch --card --help --json " program -
complete check-options "--card --help --json " check -
complete pack-database "a.vlm b.VLM card folder notes.txt unit7.ini " pack 1 = ""

echo "$failures failures"
exit "$failures"
