#!/usr/bin/env bash
# Opens the greenie board built from the sample log and sheets in headless Chromium: the page
# must run without a script error, show one square per pass in each of its two views, and show
# the hostile carrier name as text (the page's own inline script is its only script).
#   board_render_test.sh CORVANE_CLI DATA_DIR
set -euo pipefail
cli="$1"
data="$2"
if ! command -v chromium >/dev/null; then
  echo "Installing Chromium for the board's rendering test"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get install -y --no-install-recommends chromium >/dev/null ||
    { $SUDO apt-get update >/dev/null && $SUDO apt-get install -y --no-install-recommends chromium >/dev/null; }
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/corvane-board.XXXXXX")
trap 'rm -rf "$work"' EXIT
cp -r "$data"/. "$work/"
cd "$work"
report=$("$cli" --board CorvaneLog.csv board.html)
passes=$(sed -n 's/.*: \([0-9]*\) passes.*/\1/p' <<<"$report")
[ -n "$passes" ] || { echo "FAIL: corvane-cli said: $report"; exit 1; }

chromium --headless --no-sandbox --disable-gpu --enable-logging=stderr --v=0 \
  --user-data-dir="$work/profile" --dump-dom "file://$work/board.html" >dom.html 2>chromium.log
fail=0
if grep -E "CONSOLE.*(Uncaught|Error)" chromium.log; then
  echo "FAIL: the page raised a script error"
  fail=1
fi
squares=$(grep -o '<a class="sq ' dom.html | wc -l)
if [ "$squares" -ne $((2 * passes)) ]; then
  echo "FAIL: $squares squares drawn for $passes passes in two views"
  fail=1
fi
scripts=$(grep -o '<script' dom.html | wc -l)
if [ "$scripts" -ne 1 ] || ! grep -q '&lt;script&gt;alert' dom.html; then
  echo "FAIL: the carrier name <script>... is not text ($scripts script elements)"
  fail=1
fi
[ "$fail" -eq 0 ] && echo "board renders: $squares squares for $passes passes"
exit "$fail"
