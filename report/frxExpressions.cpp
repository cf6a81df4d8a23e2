// Finding, splitting and replacing the expressions of report text.
#include "report/frxExpressions.h"

namespace zentavo {

namespace {

bool At(std::u16string_view text, std::size_t pos, std::u16string_view part) {
  return !part.empty() && text.compare(pos, part.size(), part) == 0;
}

}  // namespace

ExpressionDelimiters SplitDelimiters(std::string_view delimiters) {
  std::size_t comma = delimiters.find(',');
  if (comma == std::string_view::npos) return {SingleByteToUtf16(delimiters), u""};
  return {SingleByteToUtf16(delimiters.substr(0, comma)), SingleByteToUtf16(delimiters.substr(comma + 1))};
}

DelimitedPart FindClosing(std::u16string_view text, std::size_t start, std::u16string_view open,
                          std::u16string_view close) {
  DelimitedPart part;
  part.end = start;
  if (start >= text.size() || !At(text, start, open)) return part;
  int depth = 0;
  bool inDouble = false, inSingle = false;
  std::size_t p = start;
  for (; p < text.size(); ++p) {
    if (!inDouble && !inSingle) {
      if (At(text, p, open))
        ++depth;
      else if (At(text, p, close))
        --depth;
    }
    if (text[p] == u'"' && !inSingle)
      inDouble = !inDouble;
    else if (text[p] == u'\'' && !inDouble)
      inSingle = !inSingle;
    if (depth == 0) break;
  }
  // Never closed: the expression runs to the last character (the text's
  // final line feed), which it leaves out.
  if (p >= text.size()) p = text.size() - 1;
  // Nothing is found when the part would end where it starts: an opening
  // delimiter that is the text's last character (without a closing
  // delimiter the part could not even end, and the scan would not move on).
  const std::size_t last = p + close.size();
  if (last <= start + 1) return part;
  std::size_t from = std::min(start + open.size(), p);
  part.expression.assign(text.substr(from, p - from));
  part.end = std::min(text.size(), last);
  return part;
}

BracketText SplitDisplayFormat(const std::string& bracket) {
  BracketText out;
  std::size_t mark = bracket.find(" #");
  if (mark == std::string::npos || bracket.find(')', mark + 2) != std::string::npos) {
    out.expression = bracket;
    return out;
  }
  out.expression = bracket.substr(0, mark);
  std::string format = bracket.substr(mark + 2);
  TfrxFormat f;
  if (!format.empty()) {
    switch (format[0]) {
      case 'B':
      case 'b': f.Kind = TfrxFormatKind::fkBoolean; break;
      case 'D':
      case 'd':
      case 'T':
      case 't': f.Kind = TfrxFormatKind::fkDateTime; break;
      case 'N':
      case 'n':
        f.Kind = TfrxFormatKind::fkNumeric;
        for (char& c : format)
          if (c == ',' || c == '-') {
            f.DecimalSeparator = std::string(1, c);
            c = '.';
          }
        break;
      default: break;
    }
    f.FormatStr = format.substr(1);
  }
  out.format = f;
  return out;
}

std::u16string ExpandExpressions(std::u16string_view text, const ExpressionDelimiters& delimiters,
                                 const std::function<std::string(const std::string&)>& evaluate) {
  const std::u16string& open = delimiters.open;
  const std::u16string& close = delimiters.close;
  if (open.empty() || text.find(open) == std::u16string_view::npos) return std::u16string(text);
  std::u16string s(text);
  std::size_t i = 0;
  while (!s.empty()) {
    // The last character never starts a delimited part.
    while (i + 1 < s.size() && !At(s, i, open)) ++i;
    DelimitedPart part = FindClosing(s, i, open, close);
    if (part.end == i) break;
    std::u16string value = SingleByteToUtf16(evaluate(Utf16ToSingleByte(part.expression)));
    s.replace(i, part.end - i, value);
    i += value.size();
  }
  return s;
}

}  // namespace zentavo
