# The report file job ("SFT Yazdır", --job file) against the private CUPS.
source "$(dirname "$0")/lib/common.sh"
use_private_cups

# A file whose name a shell would take apart: it must print as that very
# file, and nothing in its name may run (it would leave files in $WORK).
cd "$WORK"
dir="$WORK/reports"
mkdir -p "$dir"
nasty="$dir/"'rapor `touch ran` ; touch ran2 | "q" '"'"'s'"'"' & x.pdf'
# Only documents are printed: the bytes begin as a PDF does.
printf '%%PDF-1.4 spirometry report\n' > "$nasty"
head -c 3000 /dev/urandom >> "$nasty"
encoded=$(/usr/bin/python3 -c 'import sys, urllib.parse; print(urllib.parse.quote(sys.argv[1], safe=""))' "$nasty")

before=$(job_count)
run_zentavo 0 --job file "\$x\$y\$$encoded\$"
expect_eq "$(job_count)" "$((before + 1))" "one job submitted"
IFS='	' read -r id queue title format <<<"$(last_job)"
expect_eq "$queue" "Office" "the default destination takes the report"
expect_eq "$title" "$(basename "$nasty")" "document name is the file's base name"
cmp -s "$nasty" "$(spool_document "$id")" || fail "submitted document differs from the file"
grep -qx 'document-format-supplied=application/pdf' <<<"$("$CUPSJOBS" "$id")" ||
  fail "the job does not name the document's type: $("$CUPSJOBS" "$id")"
[ ! -e "$WORK/ran" ] && [ ! -e "$WORK/ran2" ] || fail "a command in the path was run"

# "$" separates the fields, so a path holding "$(...)" arrives cut at its "$":
# no such file, and still nothing runs.
printf 'x\n' > "$dir/"'a $(touch ran3).pdf'
before=$(job_count)
run_zentavo 1 --job file "\$x\$y\$$dir/a \$(touch ran3).pdf\$"
[[ "$ERR" == *"File not found: $dir/a "* ]] || fail "cut path: $ERR"
[ ! -e "$WORK/ran3" ] || fail "a command in the path was run"
expect_eq "$(job_count)" "$before" "the cut path submits nothing"

# Turkish letters in the path arrive as Windows-1254 and still name the file.
turkish="$dir/Şükrü Işık rapor.pdf"
printf '%%PDF-1.4 report\n' > "$turkish"
run_zentavo 0 --job file "\$x\$y\$$dir/%C5%9E%C3%BCkr%C3%BC+I%C5%9F%C4%B1k+rapor.pdf\$"
IFS='	' read -r id queue title format <<<"$(last_job)"
expect_eq "$title" "Şükrü Işık rapor.pdf" "Turkish document name"
cmp -s "$turkish" "$(spool_document "$id")" || fail "Turkish-named document differs"

# Paths that name no readable file: exit 1, one clear line, nothing submitted.
mkdir -p "$dir/folder.pdf"
printf 'secret\n' > "$dir/unreadable.pdf"
chmod 000 "$dir/unreadable.pdf"
before=$(job_count)
# field 3                       expected message             why
while IFS='	' read -r field message why; do
  if [ "$why" = "unreadable" ] && [ "$(id -u)" = 0 ]; then continue; fi  # root reads anything
  run_zentavo 1 --job file "\$x\$y\$$field\$"
  [[ "$ERR" == *"$message"* ]] || fail "$why: message was: $ERR"
  expect_eq "$(printf '%s\n' "$ERR" | wc -l)" "1" "$why: one line on stderr"
done <<ROWS
$dir/missing.pdf	File not found: $dir/missing.pdf	missing file
$dir/folder.pdf	is a folder, not a file	a folder
$dir/unreadable.pdf	Cannot read	unreadable
C:\\lab\\r.pdf	is a Windows path, not a file on this machine	Windows path
ROWS
run_zentavo 1 --job file '$x$y$$'
[[ "$ERR" == *"names no report file"* ]] || fail "empty field: $ERR"
expect_eq "$(job_count)" "$before" "failed jobs submit nothing"

# A web page can start a "$" request: what is not a report document is never
# printed, whatever the path says or links to. Refused: exit 1, one line,
# nothing submitted, well within a few seconds (a FIFO must not be waited on).
ln -s /proc/self/environ "$dir/environ.pdf"
ln -s /etc/passwd "$dir/passwd.pdf"
mkfifo "$dir/pipe.pdf"
printf 'Ad Soyad\tTetkik\n' > "$dir/notes.pdf"
: > "$dir/empty.pdf"
before=$(job_count)
# field 3                message                                      why
while IFS='	' read -r field message why; do
  [ -e "$field" ] || [ -L "$field" ] || continue  # a /sys file this kernel does not have
  rc=0
  timeout 20 "$ZENTAVO" --job file "\$x\$y\$$field\$" >"$WORK/.stdout" 2>"$WORK/.stderr" || rc=$?
  ERR=$(cat "$WORK/.stderr")
  expect_eq "$rc" "1" "$why: exit status"
  [[ "$ERR" == *"$message"* ]] || fail "$why: message was: $ERR"
  expect_eq "$(printf '%s\n' "$ERR" | wc -l)" "1" "$why: one line on stderr"
  rc=0
  timeout 20 "$ZENTAVO" --output "$WORK/refused" --job file "\$x\$y\$$field\$" >/dev/null 2>&1 || rc=$?
  expect_eq "$rc" "1" "$why: --output refuses it too"
done <<ROWS
/proc/self/environ	/proc/self/environ is a system file, not a report document	the process's environment
$dir/environ.pdf	$dir/environ.pdf is a system file, not a report document	a link to the environment
/sys/kernel/mm/transparent_hugepage/enabled	is a system file, not a report document	a kernel setting
/dev/zero	/dev/zero is a system file, not a report document	a device
/etc/passwd	/etc/passwd is not a printable document	a text file
$dir/passwd.pdf	$dir/passwd.pdf is not a printable document	a link to a text file
$dir/notes.pdf	is not a printable document	text named .pdf
$dir/empty.pdf	is not a printable document	an empty file
$dir/pipe.pdf	$dir/pipe.pdf is not a regular file	a FIFO
$dir	$dir is a folder, not a file	a folder
ROWS
expect_eq "$(job_count)" "$before" "refused files submit nothing"
[ ! -e "$WORK/refused" ] || [ -z "$(ls -A "$WORK/refused")" ] || fail "--output copied a refused file"

# Documents are printed with the type their bytes show, as file(1) reads it.
"$ZREPORT" draw LabBarkod3050 --format pdf -o "$dir/label.pdf"
pdftoppm -png -r 72 -singlefile "$dir/label.pdf" "$dir/label"
ln -s "$dir/label.png" "$dir/link to label.png"
# file                    why
while IFS='	' read -r file why; do
  before=$(job_count)
  run_zentavo 0 --job file "\$x\$y\$$file\$"
  expect_eq "$(job_count)" "$((before + 1))" "$why: one job"
  IFS='	' read -r id queue title format <<<"$(last_job)"
  expect_eq "$title" "$(basename "$file")" "$why: document name"
  cmp -s "$file" "$(spool_document "$id")" || fail "$why: submitted document differs from the file"
  grep -qx "document-format-supplied=$(file --brief --mime-type "$(realpath "$file")")" <<<"$("$CUPSJOBS" "$id")" ||
    fail "$why: the job's type: $("$CUPSJOBS" "$id" | grep document-format)"
done <<ROWS
$dir/label.pdf	a PDF
$dir/label.png	a PNG picture
$dir/link to label.png	a link to a picture
ROWS

# The log keeps time, job and error, mode 0600.
log="$XDG_STATE_HOME/zentavo/zentavo.log"
[ -f "$log" ] || fail "no log written"
expect_eq "$(stat -c %a "$log")" "600" "log file mode"
grep -q $'\tBtnSFTyazdirClick\t.*File not found' "$log" || fail "log lacks the job's error"

# --output copies the file instead, never overwriting.
before=$(job_count)
run_zentavo 0 --output "$WORK/out" --job file "\$x\$y\$$encoded\$"
run_zentavo 0 --output "$WORK/out" --job file "\$x\$y\$$encoded\$"
expect_eq "$(ls "$WORK/out" | wc -l)" "2" "two copies side by side"
for f in "$WORK/out"/*; do cmp -s "$nasty" "$f" || fail "copy $f differs"; done
expect_eq "$(job_count)" "$before" "--output submits nothing"
echo "report file job: ok"
