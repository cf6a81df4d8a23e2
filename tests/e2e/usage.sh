# zentavo's command line: help, version, usage errors and their exit statuses.
source "$(dirname "$0")/lib/common.sh"

run_zentavo 0 --help
[[ "$OUT" == usage:* ]] || fail "--help prints the usage"
run_zentavo 0 --version
[[ "$OUT" =~ ^zentavo\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "--version: $OUT"

# status  arguments (tab separated)       why
while IFS='	' read -r status args why; do
  read -r -a argv <<<"$args"
  run_zentavo "$status" "${argv[@]}"
  [ "$status" = 0 ] || [ -n "$ERR" ] || fail "$why: no message on stderr"
done <<'ROWS'
2	|2| --explain	an option after the request
2	--bogus |1|	unknown option
2	--format gif --output x |1|	unknown format
2	--dpi 0 --output x |1|	resolution out of range
2	--dpi 300 |1|	--dpi without --output
2	--job print |1|	unknown job
2	--output	option without its value
2	|2|	no display and no job
2		no request, no display, no job
0	|1|	an automatic request without tests prints nothing
0	--explain -- --looks-like-an-option	after -- a word is the request, not an option
ROWS
echo "usage: ok"
