// Showing control characters instead of sending them.
#include "platform/Escaping.h"

namespace zentavo {
namespace {

constexpr char kHex[] = "0123456789ABCDEF";

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

void AppendEscaped(std::string& out, std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t n = ControlCharacterAt(text, i);
    if (n == 0) {
      out += text[i++];
      continue;
    }
    const auto code = static_cast<unsigned char>(text[i + n - 1]);
    out += n == 1 ? "\\x" : "\\u00";
    out += kHex[code >> 4];
    out += kHex[code & 15];
    i += n;
  }
}

}  // namespace

std::size_t ControlCharacterAt(std::string_view text, std::size_t at) {
  const auto c = static_cast<unsigned char>(text[at]);
  if (c < 0x20 || c == 0x7F) return 1;
  if (c == 0xC2 && at + 1 < text.size()) {
    const auto next = static_cast<unsigned char>(text[at + 1]);
    if (next >= 0x80 && next <= 0x9F) return 2;
  }
  return 0;
}

std::string EscapeControls(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  AppendEscaped(out, text);
  return out;
}

std::string EscapeControlsByLine(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t start = 0;;) {
    const std::size_t end = text.find('\n', start);
    AppendEscaped(out, text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    if (end == std::string_view::npos) break;
    out += '\n';
    start = end + 1;
  }
  return out;
}

std::string SingleLineTitle(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t n = ControlCharacterAt(text, i);
    if (n == 0) {
      out += text[i++];
      continue;
    }
    if (out.empty() || out.back() != ' ') out += ' ';
    i += n;
  }
  return out;
}

std::string_view Utf8Prefix(std::string_view text, std::size_t maxBytes) {
  if (text.size() <= maxBytes) return text;
  std::size_t end = maxBytes;
  // Step back over the continuation bytes of a character the cut would split.
  while (end > 0 && IsContinuation(static_cast<unsigned char>(text[end]))) --end;
  return text.substr(0, end);
}

std::string_view Utf8Suffix(std::string_view text, std::size_t minBytes) {
  if (text.size() <= minBytes) return text;
  std::size_t start = text.size() - minBytes;
  while (start > 0 && IsContinuation(static_cast<unsigned char>(text[start]))) --start;
  return text.substr(start);
}

}  // namespace zentavo
