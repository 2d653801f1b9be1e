#!/bin/sh
# Installs what is needed, builds and runs every test: first a normal build,
# then one with AddressSanitizer and UndefinedBehaviorSanitizer, then the
# threaded libraries under ThreadSanitizer, then the fuzz targets for a
# minute each.
#   scripts/test.sh            all four
#   scripts/test.sh --quick    the normal build only
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

"$root/scripts/setup.sh"

# The tests pin the locales they need; start them all from the same place.
unset LANGUAGE LC_ALL LC_MESSAGES LC_TIME LC_CTYPE
export LANG=C.UTF-8

"$root/scripts/build.sh" "$root/build"
ctest --test-dir "$root/build" --output-on-failure -j "$jobs"

if [ "${1:-}" != "--quick" ]; then
  "$root/scripts/build.sh" "$root/build-sanitize" -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=ON
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir "$root/build-sanitize" --output-on-failure -j "$jobs"
  threaded="DIO_tests THR_tests TUI_tests TUI_qt_tests ERR_tests vm_xfer_tests vm_wizard_tests"
  cmake -S "$root" -B "$root/build-tsan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELMORA_TSAN=ON >/dev/null
  # shellcheck disable=SC2086
  cmake --build "$root/build-tsan" --target $threaded
  # Processor faults are turned into exceptions inside their signal
  # handler, which is not async-signal-safe by design. Qt itself is not
  # instrumented (tests/tsan.supp). Of the wizard, the transfers run here.
  export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:report_signal_unsafe=0:suppressions=$root/tests/tsan.supp"
  ctest --test-dir "$root/build-tsan" --output-on-failure -j "$jobs" -L '^(DIO|THR|TUI|TUI_qt|ERR|vm_xfer)$'
  ctest --test-dir "$root/build-tsan" --output-on-failure -j "$jobs" -R '^(Transfer|SlowCard)\.'
  "$root/scripts/fuzz.sh" 60
fi
