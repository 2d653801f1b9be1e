#!/bin/sh
# Qt stays above the line: of the programs in BIN_DIR only velmora and the
# tests of the window's libraries (AFX, GDI, the wizard) may load a Qt
# library; velmora-cli and every engine test run without a display.
#
# qt_line_test.sh BIN_DIR
set -u
bin=$1
failures=0 checked=0
for program in "$bin"/*; do
  [ -f "$program" ] && [ -x "$program" ] || continue
  head -c 4 "$program" | grep -q 'ELF' || continue
  name=$(basename "$program")
  case $name in
    velmora | AFX_tests | GDI_tests | vm_wizard_tests) continue ;;
  esac
  checked=$((checked + 1))
  qt=$(readelf -d "$program" | sed -n 's/.*Shared library: \[\(libQt[^]]*\)\].*/\1/p' | tr '\n' ' ')
  if [ -n "$qt" ]; then
    echo "FAIL $name loads $qt"
    failures=$((failures + 1))
  fi
done
if [ "$checked" -eq 0 ]; then
  echo "FAIL no programs in $bin"
  exit 1
fi
echo "$checked programs without Qt checked, $failures load it"
[ "$failures" -eq 0 ]
