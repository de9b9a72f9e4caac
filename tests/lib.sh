# Shared set-up of the black-box tests: a fresh folder with its own HOME and
# XDG_CONFIG_HOME, the built programs, and small assertions.
set -u

BIN=${SORREL_BIN:?set SORREL_BIN to the folder of the built programs}
WORK=$(mktemp -d "${TMPDIR:-/tmp}/sorrel-blackbox-XXXXXX")
trap 'rm -rf "$WORK"' EXIT
export HOME=$WORK/home XDG_CONFIG_HOME=$WORK/config
mkdir -p "$HOME" "$XDG_CONFIG_HOME"
export SORREL_LANG=en
unset LC_ALL LC_MESSAGES
cd "$WORK"

failures=0
checks=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# expect_eq WHAT EXPECTED ACTUAL
expect_eq() {
  checks=$((checks + 1))
  [ "$2" == "$3" ] || fail "$1: expected [$2], got [$3]"
}

# expect_file FILE EXPECTED-BYTES (as printf format)
expect_file() {
  checks=$((checks + 1))
  local want
  want=$(printf "$2" | od -An -tx1 | tr -d ' \n')
  local got
  got=$(od -An -tx1 "$1" | tr -d ' \n')
  [ "$want" == "$got" ] || fail "$1: expected bytes $want, got $got"
}

finish() {
  echo "$((checks - failures)) passed, $failures failed"
  [ "$failures" -eq 0 ]
}

# The folder of the programs as another user (uid 65534) can run them: BIN
# itself, or a copy in WORK when BIN lies in a folder only its owner enters
# (a clone in a private temporary folder). Needs root.
programs_for_nobody() {
  if setpriv --reuid=65534 --regid=65534 --clear-groups test -x "$BIN/sorrelc"; then
    echo "$BIN"
    return
  fi
  chmod 755 "$WORK"
  mkdir -p "$WORK/programs"
  cp -r "$BIN/sorrel" "$BIN/sorrelc" "$BIN/libsorrel_qt.so" "$BIN/ms932-bestfit.cnv" \
    "$BIN/_RESOURCE" "$WORK/programs/"
  chmod -R a+rX "$WORK/programs"
  echo "$WORK/programs"
}
