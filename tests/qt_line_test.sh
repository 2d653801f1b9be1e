#!/bin/sh
# The Qt line: Qt is a leaf. No program of the engine (velmora-cli, the
# engine's test programs, the test tools) may link a Qt library; only the
# wizard and the tests of its window code (AFX, GDI, the qt/ folders, the
# wizard itself) may. An engine library that linked Qt would bring it into
# every program built on it, so the programs tell.
#   qt_line_test.sh BIN_DIR
set -u
bin=$1
failures=0
checked=0
for program in "$bin"/*; do
  [ -f "$program" ] && [ -x "$program" ] || continue
  name=$(basename "$program")
  case "$name" in
    velmora | AFX_* | GDI_* | *_qt_* | vm_wizard*) continue ;;
  esac
  # Scripts and resource modules are no programs.
  readelf -d "$program" >/dev/null 2>&1 || continue
  checked=$((checked + 1))
  qt=$(readelf -d "$program" | sed -n 's/.*(NEEDED).*\[\(libQt[^]]*\)\].*/\1/p' | tr '\n' ' ')
  if [ -n "$qt" ]; then
    echo "FAIL $name links $qt"
    failures=$((failures + 1))
  fi
done
if [ ! -x "$bin/velmora-cli" ]; then
  echo "FAIL velmora-cli is not in $bin"
  failures=$((failures + 1))
fi
echo "qt-line: $((checked - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
