# cmake --install puts both programs and a desktop entry that registers the
# zentavo: URL scheme, so a clinic's web page can start a print.
source "$(dirname "$0")/lib/common.sh"
: "${BUILD_DIR:?}"
command -v desktop-file-validate >/dev/null || skip "desktop-file-utils is not installed"
cmake --install "$BUILD_DIR" --prefix "$WORK/prefix" >/dev/null
for f in bin/zentavo bin/zreport share/applications/zentavo.desktop lib/zentavo/zentavo-cups.so \
  lib/zentavo/zentavo-gtk.so; do
  [ -e "$WORK/prefix/$f" ] || fail "not installed: $f"
done
entry="$WORK/prefix/share/applications/zentavo.desktop"
desktop-file-validate "$entry" || fail "desktop entry does not validate"
grep -qx 'MimeType=x-scheme-handler/zentavo;' "$entry" || fail "no zentavo: scheme handler"
grep -qx 'Exec=zentavo %u' "$entry" || fail "Exec does not pass the URL"
# The URL a browser hands over is a request like any other.
"$WORK/prefix/bin/zentavo" --explain 'zentavo:|2|x|' | grep -q '"|": \["2","x"\]' || fail "URL scheme request"
# The installed program takes its print system module from the prefix, not
# from the build tree it was built in.
loaded=$(loaded_files '/[^[:space:]=]*zentavo-cups\.so' "$WORK/prefix/bin/zentavo" --list-printers)
expect_eq "$loaded" "$WORK/prefix/lib/zentavo/zentavo-cups.so" "module loaded by the installed program"
echo "install: ok"
