# Files the programs write: a full disk loses no label silently and leaves no
# empty or partial file; a symbolic link planted in the output folder is
# never followed.

# A file system that fills up: a 64 KiB tmpfs, mounted as root or else inside
# a user and mount namespace of our own.
if [ -z "${OUTPUT_FILES_NAMESPACE:-}" ]; then
  probe=$(mktemp -d)
  if mount -t tmpfs -o size=64k tmpfs "$probe" 2>/dev/null; then
    umount "$probe"
    rmdir "$probe"
  else
    rmdir "$probe"
    if unshare -rm true 2>/dev/null; then
      OUTPUT_FILES_NAMESPACE=1 exec unshare -rm bash "$0" "$@"
    fi
  fi
fi

source "$(dirname "$0")/lib/common.sh"
PNGPIXELS="$(dirname "$0")/lib/pngpixels.py"
FULL="$WORK/full"
mkdir -p "$FULL"
mounted=0
trap '[ "$mounted" = 1 ] && umount "$FULL"; rm -rf "$WORK"' EXIT

# ---------------------------------------------------------------- symbolic links
# A link under the name the next file would take: the file goes to the next
# free name and nothing is written through the link, whether it points at a
# file (which stays as it was) or at nothing (which is not created).
echo "victim" > "$WORK/victim"
request='|1|L|F|P|D|PR|X|B|S|T1|a|111|T2|b|222|'
for format in pdf png ps; do
  links="$WORK/links-$format"
  mkdir -p "$links"
  ln -s "$WORK/victim" "$links/T1_111.$format"
  ln -s "$WORK/made-through-link-$format" "$links/T2_222.$format"
  run_zentavo 0 --output "$links" --format "$format" "$request"
  expect_eq "$OUT" "$links/T1_111-2.$format"$'\n'"$links/T2_222-2.$format" "$format: the next free names"
  expect_eq "$(cat "$WORK/victim")" "victim" "$format: the file behind the link is untouched"
  [ ! -e "$WORK/made-through-link-$format" ] || fail "$format: a file was created through a dangling link"
  [ -L "$links/T1_111.$format" ] && [ -L "$links/T2_222.$format" ] || fail "$format: the planted links stay links"
  for f in "$links/T1_111-2.$format" "$links/T2_222-2.$format"; do
    [ -f "$f" ] && [ ! -L "$f" ] && [ -s "$f" ] || fail "$format: $f is not a written file"
  done
done
# The report file job's copy too.
printf '%%PDF-1.4 audiometry report\n' > "$WORK/r.pdf"
mkdir -p "$WORK/copies"
ln -s "$WORK/victim" "$WORK/copies/r.pdf"
run_zentavo 0 --output "$WORK/copies" --job file "\$x\$y\$$WORK/r.pdf\$"
expect_eq "$OUT" "$WORK/copies/r-2.pdf" "the copy takes the next free name"
cmp -s "$WORK/r.pdf" "$WORK/copies/r-2.pdf" || fail "the copy differs from the report"
expect_eq "$(cat "$WORK/victim")" "victim" "the copy is not written through the link"

# ---------------------------------------------------------------- a full disk
if ! mount -t tmpfs -o size=64k tmpfs "$FULL" 2>/dev/null; then
  skip "a full disk: cannot mount a 64 KiB tmpfs (neither as root nor in a user namespace)"
fi
mounted=1

# 60 triples: 51 labels, far more than 64 KiB hold in any format.
request='|1|L|F|P|D|PR|X|B|S|'
labels=""
for i in $(seq 1 60); do
  request+="T$i|Test|$((5000 + i))|"
  [ "$i" -le 51 ] && labels+="T${i}_$((5000 + i))"$'\n'
done
labels=${labels%$'\n'}

# complete FORMAT FILE NUMBER: FILE is a whole file of its format, the label
# with barcode NUMBER.
complete() {
  case $1 in
    pdf) grep -qF "$3 / PR" <<<"$(pdftotext "$2" - 2>/dev/null)" ;;
    png) python3 "$PNGPIXELS" "$2" size >/dev/null 2>&1 ;;
    ps) [ "$(head -c 4 "$2")" = "%!PS" ] && [ "$(tail -n 1 "$2")" = "%%EOF" ] ;;
  esac
}

for format in pdf png ps; do
  find "$FULL" -mindepth 1 -delete
  run_zentavo 1 --output "$FULL" --format "$format" "$request"
  # One line per label that did not reach the disk, naming it and its file.
  failed=$(sed -n "s|^zentavo: The label \(T[0-9]*_[0-9]*\) was not printed: Cannot write $FULL/\1\.$format: No space left on device\$|\1|p" <<<"$ERR")
  others=$(grep -v '^zentavo: label [0-9]* of 51$' <<<"$ERR" | grep -vc ' was not printed: Cannot write ' || true)
  expect_eq "$others" "0" "$format: no other messages: $ERR"
  [ -n "$failed" ] || fail "$format: no label failed on a 64 KiB disk: $ERR"
  empty=$(find "$FULL" -type f -empty)
  expect_eq "$empty" "" "$format: no empty file"
  expect_eq "$(ls -A "$FULL" | grep -c '^\.' || true)" "0" "$format: no hidden leftovers"
  kept=$(ls "$FULL" | sed "s/\.$format\$//")
  for name in $kept; do
    complete "$format" "$FULL/$name.$format" "${name#*_}" || fail "$format: $name.$format is not a whole label"
  done
  expect_eq "$(sort <<<"$OUT")" "$(ls "$FULL" | sed "s|^|$FULL/|" | sort)" "$format: stdout lists the files kept"
  # Every label is either a whole file or a failure line, never both.
  expect_eq "$(printf '%s\n%s\n' "$kept" "$failed" | grep -v '^$' | sort)" "$(sort <<<"$labels")" \
    "$format: each of the 51 labels kept or reported"
done

# zreport: a PNG page that does not fit takes the pages written before it
# along: the small first page fits, the large second one (some 56 KiB) not.
cat >"$WORK/two.xml" <<'XML'
<?xml version="1.0" encoding="utf-8"?>
<TfrxReport Name="Two">
  <TfrxReportPage Name="Page1" PaperWidth="50" PaperHeight="30"/>
  <TfrxReportPage Name="Page2" PaperWidth="400" PaperHeight="400"/>
</TfrxReport>
XML
# command  second page's file
while read -r command second; do
  find "$FULL" -mindepth 1 -delete
  dd if=/dev/zero of="$FULL/filler" bs=16k count=1 2>/dev/null
  rc=0
  "$ZREPORT" "$command" "$WORK/two.xml" --dpi 254 -o "$FULL/two.png" >"$WORK/.stdout" 2>"$WORK/.stderr" || rc=$?
  expect_eq "$rc" "1" "zreport $command: two pages that do not fit"
  expect_eq "$(cat "$WORK/.stderr")" "zreport $command: Cannot write $FULL/$second: No space left on device" \
    "zreport $command: the page that did not fit"
  expect_eq "$(ls -A "$FULL")" "filler" "zreport $command: the first page goes too"
done <<'ROWS'
render two-2.png
draw two-2.png
ROWS

# zreport: a render or drawing that does not fit reports it, exits 1 and
# leaves no file; an older file of that name stays as it was.
find "$FULL" -mindepth 1 -delete
echo "older render" > "$FULL/old.pdf"
echo "older prepared" > "$FULL/old.xml"
dd if=/dev/zero of="$FULL/filler" bs=4k 2>/dev/null || true
for command in render draw; do
  for format in pdf png ps; do
    for target in new old; do
      rc=0
      "$ZREPORT" "$command" LabBarkod3050 -o "$FULL/$target.$format" >"$WORK/.stdout" 2>"$WORK/.stderr" || rc=$?
      expect_eq "$rc" "1" "zreport $command -o $target.$format on a full disk"
      expect_eq "$(cat "$WORK/.stderr")" "zreport $command: Cannot write $FULL/$target.$format: No space left on device" \
        "zreport $command: the message"
      expect_eq "$(cat "$WORK/.stdout")" "" "zreport $command: no file named as written"
    done
  done
done
# A prepared report that does not fit: the same.
for target in new old; do
  rc=0
  "$ZREPORT" prepare LabBarkod3050 -o "$FULL/$target.xml" >"$WORK/.stdout" 2>"$WORK/.stderr" || rc=$?
  expect_eq "$rc" "1" "zreport prepare -o $target.xml on a full disk"
  grep -qF "Cannot write $FULL/$target.xml: No space left on device" "$WORK/.stderr" ||
    fail "zreport prepare: the message: $(cat "$WORK/.stderr")"
done
expect_eq "$(ls -A "$FULL" | tr '\n' ' ')" "filler old.pdf old.xml " "zreport leaves no file behind"
expect_eq "$(cat "$FULL/old.pdf")" "older render" "a failed render leaves the older file as it was"
expect_eq "$(cat "$FULL/old.xml")" "older prepared" "a failed save leaves the older file as it was"
echo "output files: ok"
