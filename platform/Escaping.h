// Text that leaves the program for a terminal, a log or a print spooler:
// control characters are shown, never obeyed. Requests carry arbitrary bytes,
// and an ESC sequence copied into a message could retitle or clear the
// terminal that shows it, or a line break forge a line of a log.
#pragma once

#include <string>
#include <string_view>

namespace zentavo {

// The length of the control character at `at`: 1 for a C0 control or DEL,
// 2 for a C1 control in UTF-8 (U+0080 to U+009F), 0 for anything else.
std::size_t ControlCharacterAt(std::string_view text, std::size_t at);

// Every C0 control (line breaks and tabs too), DEL and every C1 control
// (U+0080 to U+009F in UTF-8) becomes "\xHH" (a C1 control "\u00HH").
// Other bytes stay as they are, whatever their encoding.
std::string EscapeControls(std::string_view text);

// The same, line by line: the line breaks of a message of several lines stay
// line breaks, everything else is escaped.
std::string EscapeControlsByLine(std::string_view text);

// A title for a print job: each control character, or run of them, becomes
// one space, so a job name is always a single line.
std::string SingleLineTitle(std::string_view text);

// The longest prefix of `text` of at most `maxBytes` bytes that does not
// end inside a UTF-8 sequence.
std::string_view Utf8Prefix(std::string_view text, std::size_t maxBytes);

// The shortest suffix that starts at a character and holds at least the last
// `minBytes` bytes, or the whole text.
std::string_view Utf8Suffix(std::string_view text, std::size_t minBytes);

}  // namespace zentavo
