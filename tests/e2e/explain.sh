# zentavo --explain: the decoded request, its fields and the job it starts.
source "$(dirname "$0")/lib/common.sh"

# Turkish letters, encoded separators, plus and caret blanks, a tab, and
# malformed escapes (%zz, %00 and a lone % at the end) in one request.
run_zentavo 0 --explain '|1|%C5%9Fi%C5%9Fli+%C4%B0zmir|%C4%B1%7CAli^Veli|a%09b|%zzx%00y|%C3%A9|Hâle|%'
expect_eq "$OUT" '{
  "request": "|1|şişli İzmir|ı|Ali Veli|a_b|xy|é|Hâle|",
  "dispatch": "automatic",
  "fields": {
    "|": ["1","şişli İzmir","ı","Ali Veli","a_b","xy","é","Hâle"],
    "$": []
  }
}' "Turkish letters, separators, blanks and malformed escapes"

# Dispatch: only a field 1 of exactly "1" is automatic.
while IFS='	' read -r request dispatch why; do
  run_zentavo 0 --explain "$request"
  got=$(printf '%s\n' "$OUT" | sed -n 's/.*"dispatch": "\(.*\)".*/\1/p')
  expect_eq "$got" "$dispatch" "dispatch of '$request' ($why)"
done <<'ROWS'
|1|	automatic	field 1 is 1
1|1|	automatic	field 1 lies between the first two separators
|1|LAB|	automatic	further fields
|2|	window	field 1 is 2
|01|	window	no numeric comparison
| 1|	window	no trimming
1||	window	field 1 is empty
|1	window	field 1 has no closing separator
$x$y$/tmp/r.pdf$	window	a button request
ROWS
run_zentavo 0 --explain ''
[[ "$OUT" == *'"dispatch": "window"'* ]] || fail "an empty request starts no job"

# Both separators are listed; fields end at the last separator.
run_zentavo 0 --explain '$prn$Memo1$Memo2$'
expect_eq "$OUT" '{
  "request": "$prn$Memo1$Memo2$",
  "dispatch": "window",
  "fields": {
    "|": [],
    "$": ["prn","Memo1","Memo2"]
  }
}' "button request fields"

# Control characters and quotes are escaped in the JSON.
run_zentavo 0 --explain '|"q"|b\s|%01|'
expect_eq "$OUT" '{
  "request": "|\"q\"|b\\s|\u0001|",
  "dispatch": "window",
  "fields": {
    "|": ["\"q\"","b\\s","\u0001"],
    "$": []
  }
}' "JSON escaping"
echo "explain: ok"
