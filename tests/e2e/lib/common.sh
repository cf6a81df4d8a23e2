# Shared helpers of the end-to-end tests. Source it first.
set -euo pipefail

: "${ZENTAVO:?run through ctest, which sets ZENTAVO}"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
# Logs of the runs under test go to a private state folder.
export XDG_STATE_HOME="$WORK/state"
unset DISPLAY WAYLAND_DISPLAY

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

skip() {
  echo "SKIPPED: $*"
  exit 77
}

# expect_eq ACTUAL EXPECTED WHAT
expect_eq() {
  if [ "$1" != "$2" ]; then
    printf 'FAIL: %s\n  expected: %s\n  actual:   %s\n' "$3" "$2" "$1" >&2
    exit 1
  fi
}

# run_zentavo STATUS ARGS...: runs zentavo, keeps stdout/stderr in $OUT/$ERR,
# fails unless it exits with STATUS.
# run_zreport STATUS ARGS...: runs zreport in $WORK, expecting STATUS;
# its output in OUT and ERR.
run_zreport() {
  local want=$1
  shift
  local rc=0
  (cd "$WORK" && "$ZREPORT" "$@") >"$WORK/.stdout" 2>"$WORK/.stderr" || rc=$?
  OUT=$(cat "$WORK/.stdout")
  ERR=$(cat "$WORK/.stderr")
  [ "$rc" = "$want" ] || fail "zreport $* exited $rc, expected $want: $ERR"
}

run_zentavo() {
  local want=$1
  shift
  local rc=0
  "$ZENTAVO" "$@" >"$WORK/.stdout" 2>"$WORK/.stderr" || rc=$?
  OUT=$(cat "$WORK/.stdout")
  ERR=$(cat "$WORK/.stderr")
  if [ "$rc" != "$want" ]; then
    printf 'FAIL: zentavo %s exited %s, expected %s\n%s\n' "$*" "$rc" "$want" "$ERR" >&2
    exit 1
  fi
}

use_private_cups() {
  export CUPS_SERVER="$CUPS_TEST_DIR/cups.sock"
  [ -S "$CUPS_SERVER" ] || fail "the private cupsd is not running at $CUPS_SERVER"
}

# Number of jobs the private cupsd has taken so far.
job_count() { "$CUPSJOBS" | wc -l; }

# The newest job's line: id, queue, title, format (tab separated).
last_job() { "$CUPSJOBS" | tail -n 1; }

# The document of job ID as the spooler stored it.
spool_document() { printf '%s/spool/d%05d-001' "$CUPS_TEST_DIR" "$1"; }

# loaded_files REGEX COMMAND...: the shared objects matching REGEX (grep -E)
# that the dynamic loader opened while COMMAND ran, each once, sorted.
loaded_files() {
  local regex=$1
  shift
  LD_DEBUG=files "$@" 2>&1 >/dev/null | grep -Eo "$regex" | sort -u || true
}
