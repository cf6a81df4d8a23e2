# Writes one C++ source holding the given files as byte arrays, reached
# through the function named FUNCTION.
set(body "")
set(table "")
set(index 0)
foreach(file IN LISTS FILES)
  file(RELATIVE_PATH key ${SOURCE_DIR} ${file})
  file(READ ${file} hex HEX)
  string(LENGTH "${hex}" hexlen)
  math(EXPR size "${hexlen} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND body "static const unsigned char kData${index}[] = {${bytes} 0};\n")
  string(APPEND table "  {\"${key}\", {reinterpret_cast<const char*>(kData${index}), ${size}}},\n")
  math(EXPR index "${index} + 1")
endforeach()
file(WRITE ${OUTPUT}.tmp
"// Generated at build time from the data files; do not edit.
#include \"platform/Embedded.h\"
namespace zentavo {
namespace {
${body}
const EmbeddedFile kFiles[] = {
${table}  {nullptr, {}},
};
}  // namespace
const EmbeddedFile* ${FUNCTION}() { return kFiles; }
}  // namespace zentavo
")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)
