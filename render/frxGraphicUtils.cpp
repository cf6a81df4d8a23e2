// The memo text engine: wrapping at the reference resolution and rendering
// the wrapped lines on a device with the rounding differences spread over
// character advances and line gaps.
#include "render/frxGraphicUtils.h"
#include "platform/Rounding.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

#include "platform/FontProvider.h"

namespace zentavo {
namespace {

constexpr double kReferenceDpi = 600;
constexpr double kScreenDpi = 96;
constexpr double kToReference = kReferenceDpi / kScreenDpi;  // 6.25

bool IsSpace(char16_t c) { return c == 32 || c == 160; }

// Hyphenation letter classes. Only Cyrillic words are hyphenated; words in
// other scripts (Turkish among them) break as without WordBreak.
constexpr std::u16string_view kVowels = u"АЕЁИОУЫЭЮЯ";
constexpr std::u16string_view kConsonants = u"БВГДЖЗЙКЛМНПРСТФХЦЧШЩЬЪ";
constexpr std::u16string_view kSigns = u"ЬЪ";

char16_t CyrillicUpper(char16_t c) {
  if (c >= 0x430 && c <= 0x44F) return static_cast<char16_t>(c - 0x20);
  if (c >= 0x450 && c <= 0x45F) return static_cast<char16_t>(c - 0x50);
  return c;
}
bool IsVowel(char16_t c) { return kVowels.find(c) != std::u16string_view::npos; }
bool IsConsonant(char16_t c) { return kConsonants.find(c) != std::u16string_view::npos; }
bool IsSign(char16_t c) { return kSigns.find(c) != std::u16string_view::npos; }

// Letters of the head of the word to put before a hyphen, at most fit - 1,
// or 0 when the word has no break position there.
int BreakWord(std::u16string_view word, int fit) {
  std::u16string up;
  for (char16_t c : word) up.push_back(CyrillicUpper(c));
  const int n = static_cast<int>(up.size());
  if (n < 4) return 0;
  auto hasVowel = [&](int from, int to) {
    for (int j = from; j < to; ++j)
      if (IsVowel(up[j])) return true;
    return false;
  };
  int best = 0;
  for (int k = 1; k < n; ++k) {  // break after letter k (1-based)
    const char16_t letter = up[k - 1];
    const char16_t next = up[k];
    bool candidate = false;
    if (IsConsonant(letter)) {
      candidate = !IsVowel(next) && !IsSign(next);
    } else if (IsVowel(letter)) {
      // A doubled consonant before a vowel stays with the vowel before it.
      const bool doubled = k + 2 < n && IsConsonant(next) && up[k + 1] == next && IsVowel(up[k + 2]);
      candidate = next != u'Й' && !doubled;
    }
    if (!candidate) continue;
    if (k < 2 || n - k < 2) continue;
    if (!hasVowel(0, k) || !hasVowel(k, n)) continue;
    if (k < fit) best = k;
  }
  return best;
}

bool IsWordEnd(char16_t c) { return c == u' ' || c == u'.' || c == u',' || c == u'-' || c == u';'; }

struct Trig {
  double sin;
  double cos;
};
Trig TrigOf(int degrees) {
  switch (degrees) {
    case 0: return {0, 1};
    case 90: return {1, 0};
    case 180: return {0, -1};
    case 270: return {-1, 0};
    default: {
      const double r = degrees * std::numbers::pi / 180.0;
      return {std::sin(r), std::cos(r)};
    }
  }
}

}  // namespace

int FontSizeOfHeight(int height) {
  if (height == 0) return 10;
  // Capped so the reference height and the sums over lines stay in range
  // whatever a template holds; drawing refuses fonts this large anyway.
  const double size = std::min(std::abs(static_cast<double>(height)) * 72.0 / kScreenDpi, 100000.0);
  return static_cast<int>(std::lround(size));
}

void Distribute(std::vector<int>& values, int first, int last, int count, int sign) {
  if (count <= 0 || first > last || first < 0 || last >= static_cast<int>(values.size())) return;
  count = std::min(count, last - first + 1);
  const int half = std::max(1, (last - first + 1) / 2);
  if (count == 1) {
    values[first + half - 1] += sign;
    return;
  }
  Distribute(values, first, first + half - 1, count / 2, sign);
  Distribute(values, first + half, last, count - count / 2, sign);
}

std::vector<std::u16string> SplitWideText(std::u16string_view text) {
  std::vector<std::u16string> lines;
  std::u16string current;
  bool pending = false;  // text since the last line end
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == u'\r' || c == u'\n' || c == 0x2028) {
      lines.push_back(std::move(current));
      current.clear();
      pending = false;
      if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
      // A line end followed by U+2028 ends one line only.
      if (i + 1 < text.size() && text[i + 1] == 0x2028 && c != 0x2028) ++i;
      continue;
    }
    current.push_back(c);
    pending = true;
  }
  if (pending) lines.push_back(std::move(current));
  return lines;
}

std::u16string JoinWideText(const std::vector<std::u16string>& lines) {
  std::u16string out;
  for (const auto& line : lines) {
    out += line;
    out += u"\r\n";
  }
  return out;
}

TfrxDrawText::TfrxDrawText() = default;

void TfrxDrawText::SetFont(const DrawTextFont& font) {
  font_ = font;
  fontSize_ = FontSizeOfHeight(font.height);
  refHeight_ = RoundHalfEven(fontSize_ * kReferenceDpi / 72.0);
}

void TfrxDrawText::SetOptions(bool wordWrap, bool htmlTags, int rotation, bool clipped, bool wordBreak,
                              bool rtlReading) {
  wordWrap_ = wordWrap;
  htmlTags_ = htmlTags;
  rotation_ = ((rotation % 360) + 360) % 360;
  clipped_ = clipped;
  wordBreak_ = wordBreak;
  rtl_ = rtlReading;
}

void TfrxDrawText::SetGaps(double lineSpacing, double charSpacing, double paragraphGap) {
  // Bounded so the device sums below stay in integer range.
  auto bounded = [](double v) { return v == v ? std::clamp(v, -1.0e5, 1.0e5) : 0.0; };
  lineSpacing_ = bounded(lineSpacing);
  charSpacing_ = bounded(charSpacing);
  paragraphGap_ = bounded(paragraphGap);
}

void TfrxDrawText::SetDimensions(const LayoutBounds& bounds, const Rect& deviceRect, double scaleX, double scaleY) {
  bounds_ = bounds;
  deviceRect_ = deviceRect;
  scaleX_ = scaleX == scaleX ? std::clamp(scaleX, 0.0, 1000.0) : 1.0;
  scaleY_ = scaleY == scaleY ? std::clamp(scaleY, 0.0, 1000.0) : 1.0;
}

FontSpec TfrxDrawText::ReferenceFont(std::uint8_t style) const {
  FontSpec f;
  f.name = font_.name;
  f.height = -refHeight_;
  f.style = style;
  return f;
}

int TfrxDrawText::DeviceFontHeight(int size, bool printer, int dpiY) const {
  return printer ? RoundHalfEven(size * static_cast<double>(dpiY) / 72.0)
                 : RoundHalfEven(size * scaleY_ * kScreenDpi / 72.0);
}

// Advances at the reference resolution, each character in its own style;
// reduced (sub- and superscript) characters at two thirds.
std::vector<int> TfrxDrawText::ReferenceAdvances(std::u16string_view text, const std::vector<TfrxHTMLTag>& tags) const {
  FontProvider& fonts = FontProvider::Shared();
  std::vector<int> out(text.size());
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = start + 1;
    const std::uint8_t style = tags[start].fontStyle;
    while (end < text.size() && tags[end].fontStyle == style) ++end;
    fonts.Advances(ReferenceFont(style), text.substr(start, end - start), std::span<int>(out.data() + start, end - start));
    start = end;
  }
  for (std::size_t i = 0; i < out.size(); ++i) {
    if (tags[i].reduced) out[i] = RoundHalfEven(out[i] / 1.5);
  }
  return out;
}

std::vector<int> TfrxDrawText::DeviceAdvances(const LineGlyphs& line, bool printer, int dpiY) const {
  FontProvider& fonts = FontProvider::Shared();
  std::vector<int> out(line.text.size());
  std::size_t start = 0;
  while (start < line.text.size()) {
    std::size_t end = start + 1;
    const TfrxHTMLTag& first = line.tags[start];
    while (end < line.text.size() && line.tags[end].fontStyle == first.fontStyle &&
           line.tags[end].fontSize == first.fontSize)
      ++end;
    FontSpec f;
    f.name = font_.name;
    f.height = -DeviceFontHeight(first.fontSize, printer, dpiY);
    f.style = first.fontStyle;
    fonts.Advances(f, std::u16string_view(line.text.data() + start, end - start),
                   std::span<int>(out.data() + start, end - start));
    start = end;
  }
  return out;
}

ParsedLine TfrxDrawText::ParseSource(std::size_t index) const {
  const SourceLine& source = sources_[index];
  TagState state{source.position, source.size, source.style, source.color, source.baselineShift};
  const TagDefaults defaults{fontSize_, font_.style, font_.color};
  return ParseTags(std::u16string_view(wholeText_).substr(source.offset, source.length), htmlTags_, defaults, state);
}

TfrxDrawText::LineGlyphs TfrxDrawText::Glyphs(const WrappedLine& line, ParsedCache& cache) const {
  if (cache.source != line.source) {
    cache.parsed = ParseSource(line.source);
    cache.source = line.source;
  }
  const ParsedLine& parsed = cache.parsed;
  LineGlyphs out;
  out.text.assign(parsed.text, line.begin, line.end - line.begin);
  out.tags.assign(parsed.tags.begin() + line.begin, parsed.tags.begin() + line.end);
  if (line.hyphen) {
    out.text.push_back(u'-');
    out.tags.push_back(out.tags.empty() ? parsed.tags[line.begin] : out.tags.back());
  }
  out.flags = line.flags;
  return out;
}

std::u16string TfrxDrawText::LineText(std::size_t i) const {
  ParsedCache cache;
  return Glyphs(lines_[i], cache).text;
}

void TfrxDrawText::WrapLine(std::u16string_view source, int fullWidth, int spacing, int firstWidth,
                            std::size_t lineLimit) {
  TagState state{parser_.position, parser_.size, parser_.style, parser_.color, parser_.baselineShift};
  const TagDefaults defaults{fontSize_, font_.style, font_.color};
  ParsedLine parsed = ParseTags(source, htmlTags_, defaults, state);
  parser_ = ParserState{state.position + 2, state.size, state.style, state.color, state.baselineShift};

  const auto sourceIndex = static_cast<std::uint32_t>(sources_.size() - 1);
  const std::size_t firstNew = lines_.size();
  auto emit = [&](std::size_t from, std::size_t to, bool hyphen) {
    lines_.push_back({sourceIndex, static_cast<std::uint32_t>(from), static_cast<std::uint32_t>(to), 0, hyphen});
  };

  const std::size_t n = parsed.text.size();
  bool whole = n <= 1 || !wordWrap_;
  std::vector<int> adv;
  if (!whole) {
    adv = ReferenceAdvances(parsed.text, parsed.tags);
    long sum = 0;
    for (std::size_t i = 0; i < n; ++i) sum += adv[i] + spacing;
    whole = sum < firstWidth;
  }
  bool stopped = false;
  if (whole) {
    emit(0, n, false);
  } else {
    // c(k), the advances of characters 0..k with their spacing, is kept only
    // where the scan needs it: at the current character, at the last blank,
    // and before the current line (`used`), so a long line needs no array of
    // sums beside its advances.
    auto after = [&](long base, std::size_t from, std::size_t to) {  // c(to) from c(from - 1)
      for (std::size_t j = from; j <= to; ++j) base += adv[j] + spacing;
      return base;
    };
    std::size_t start = 0;
    std::size_t s = start;
    long used = 0;
    long width = firstWidth;
    std::size_t i = start;
    long ci = adv[0] + spacing;  // c(i)
    long cs = 0;                 // c(s) once a blank was seen
    // The word that overflows at i, from wordStart: its end and the letters
    // of it that fit before i.
    auto wordEnd = [&](std::size_t from) {
      std::size_t e = from;
      while (e < n && !IsWordEnd(parsed.text[e])) ++e;
      return e;
    };
    while (i < n) {
      if (parsed.text[i] == u' ') {
        s = i;
        cs = ci;
      }
      if (ci - used <= width) {
        ++i;
        if (i < n) ci += adv[i] + spacing;
        continue;
      }
      std::size_t next;
      if (s != start) {
        next = s + 1;
        int head = 0;
        if (wordBreak_ && i > s) {
          const std::size_t end = std::max(wordEnd(i), i + 1);
          head = BreakWord(std::u16string_view(parsed.text).substr(s + 1, std::min(end, n) - (s + 1)),
                           static_cast<int>(i - (s + 1)));
        }
        if (head > 0) {
          emit(start, s + 1 + static_cast<std::size_t>(head), true);
          next = s + 1 + static_cast<std::size_t>(head);
          used = after(cs, s + 1, next - 1);
        } else {
          emit(start, s, false);
          used = cs;
        }
      } else if (i == start) {
        emit(start, i + 1, false);
        next = i + 1;
        used = ci;
      } else {
        int head = 0;
        if (wordBreak_) {
          const std::size_t end = std::max(wordEnd(i), i + 1);
          head = BreakWord(std::u16string_view(parsed.text).substr(start, std::min(end, n) - start),
                           static_cast<int>(i - start));
        }
        if (head > 0) {
          next = start + static_cast<std::size_t>(head);
          emit(start, next, true);
          used = after(used, start, next - 1);
        } else {
          next = i;
          emit(start, i, false);
          used = ci - (adv[i] + spacing);
        }
      }
      start = next;
      s = start;
      width = fullWidth;
      i = start;
      if (i < n) ci = used + adv[i] + spacing;
      if (lines_.size() >= lineLimit && start < n) {
        stopped = true;
        break;
      }
    }
    if (!stopped && start < n) emit(start, n, false);
  }
  if (lines_.size() > firstNew) {
    lines_[firstNew].flags |= kFirstLine;
    if (!stopped) lines_.back().flags |= kLastLine;
  }
  if (stopped) laidOutAll_ = false;
}

void TfrxDrawText::SetText(const std::vector<std::u16string>& lines, std::size_t lineLimit) {
  parser_ = ParserState{1, fontSize_, font_.style, font_.color, 0};
  wholeText_.clear();
  fittingText_.clear();
  lines_.clear();
  sources_.clear();
  laidOutAll_ = true;
  const bool sideways = (rotation_ >= 90 && rotation_ <= 179) || (rotation_ >= 270 && rotation_ <= 359);
  const double available = sideways ? bounds_.bottom - bounds_.top : bounds_.right - bounds_.left;
  const int fullWidth = RoundHalfEven(available * kToReference);
  const int spacing = RoundHalfEven(charSpacing_ * kToReference);
  const int firstWidth = RoundHalfEven((available - paragraphGap_) * kToReference);
  // One allocation of the whole text: growing it by doubling would hold
  // up to twice its size for a moment.
  std::size_t total = 0;
  for (const std::u16string& source : lines) total += std::max<std::size_t>(source.size(), 1) + 2;
  wholeText_.reserve(total);
  sources_.reserve(lines.size());
  for (const std::u16string& source : lines) {
    const std::u16string_view line = source.empty() ? std::u16string_view(u" ") : std::u16string_view(source);
    if (laidOutAll_ && lines_.size() >= lineLimit) laidOutAll_ = false;
    if (laidOutAll_) {
      sources_.push_back({wholeText_.size(), static_cast<std::uint32_t>(line.size()), parser_.position, parser_.size,
                          parser_.style, parser_.color, parser_.baselineShift});
    }
    wholeText_ += line;
    wholeText_ += u"\r\n";
    if (laidOutAll_) WrapLine(line, fullWidth, spacing, firstWidth, lineLimit);
  }
}

double TfrxDrawText::LineHeight() const { return refHeight_ / kToReference + lineSpacing_; }

double TfrxDrawText::TextHeight() const { return static_cast<double>(lines_.size()) * LineHeight(); }

double TfrxDrawText::TextWidth() const {
  FontProvider& fonts = FontProvider::Shared();
  const FontSpec plain = ReferenceFont(font_.style);
  double widest = 0;
  ParsedCache cache;
  for (const WrappedLine& wrapped : lines_) {
    const LineGlyphs line = Glyphs(wrapped, cache);
    double w = fonts.TextWidth(plain, line.text) +
               RoundHalfEven(static_cast<double>(line.text.size()) * charSpacing_ * kToReference);
    if (line.flags & kFirstLine) w += RoundHalfEven(paragraphGap_ * kToReference);
    widest = std::max(widest, w / kToReference);
  }
  return widest;
}

std::size_t TfrxDrawText::LinesInBounds() const {
  const double room = bounds_.bottom - bounds_.top + 1;
  const double lh = LineHeight();
  if (lh <= 0) return 0;
  const double lines = std::max(0.0, std::trunc(room / lh));
  // More lines than any text has: a box that big holds them all.
  return lines >= 4.0e18 ? kAllLines - 1 : static_cast<std::size_t>(lines);
}

std::u16string TfrxDrawText::RemainingText() {
  fittingText_ = wholeText_;
  const double lh = LineHeight();
  if (lh <= 0 || lines_.empty()) return {};
  const std::size_t fit = std::min(lines_.size(), LinesInBounds());
  if (fit >= lines_.size()) return {};
  const TfrxHTMLTag first = ParseSource(lines_[fit].source).tags[lines_[fit].begin];
  const std::size_t cut = std::min(wholeText_.size(), static_cast<std::size_t>(std::max(1, first.textPos) - 1));
  std::u16string rest = wholeText_.substr(cut);
  if (!rest.empty() && rest[0] == u' ') rest.erase(0, 1);
  fittingText_ = wholeText_.substr(0, cut);
  lines_.resize(fit);
  if (!htmlTags_) return rest;
  // The rest starts in the formatting its first character had.
  const Rgb rgb = RgbFromColor(first.fontColor).value_or(Rgb{0, 0, 0});
  static constexpr char16_t kHex[] = u"0123456789ABCDEF";
  std::u16string prefix = u"<font color=\"#";
  for (std::uint8_t v : {rgb.red, rgb.green, rgb.blue}) {
    prefix.push_back(kHex[v >> 4]);
    prefix.push_back(kHex[v & 15]);
  }
  prefix += u"\">";
  if (first.fontStyle & kFontUnderline) prefix += u"<u>";
  if (first.fontStyle & kFontItalic) prefix += u"<i>";
  if (first.fontStyle & kFontBold) prefix += u"<b>";
  return prefix + rest;
}

double TfrxDrawText::UnusedSpace() const {
  const double room = bounds_.bottom - bounds_.top + 1;
  const double lh = LineHeight();
  if (lh <= 0) return 0;
  const double whole = std::trunc(room / lh);
  if (whole < 1) return 0;
  const double rest = room - lh * whole;
  return rest == 0 ? 0.0001 : rest;
}

void TfrxDrawText::RenderLines(Canvas& canvas, TextHAlign hAlign, TextVAlign vAlign) {
  const int n = static_cast<int>(lines_.size());
  if (n == 0) return;
  const bool printer = canvas.Kind() == CanvasKind::Printer;
  const int dpiY = canvas.DpiY();
  const int fh = DeviceFontHeight(fontSize_, printer, dpiY);
  const double rh = refHeight_;

  // Block height and line advances: the block keeps its reference height,
  // the difference to whole device lines is spread over the gaps.
  int blockHeight;
  if (printer) {
    const double k = kReferenceDpi / dpiY;
    blockHeight = RoundHalfEven((lineSpacing_ * scaleY_ * k * n + rh * n) / k);
  } else {
    blockHeight = RoundHalfEven((lineSpacing_ * kToReference * n + rh * n) / kToReference * scaleY_);
  }
  const int baseAdvance = RoundHalfEven(static_cast<double>(RoundHalfEven(lineSpacing_ * scaleY_)) + fh);
  std::vector<int> advances(static_cast<std::size_t>(std::max(0, n - 1)), baseAdvance);
  if (n > 1) {
    // A one-line block has no gap to take the difference.
    const long long diff = static_cast<long long>(blockHeight) - static_cast<long long>(n) * baseAdvance;
    const int sign = diff < 0 ? -1 : 1;
    long long count = diff < 0 ? -diff : diff;
    if (count >= n) {
      const long long each = count / (n - 1);
      for (int& a : advances) a = RoundHalfEven(static_cast<double>(a) + static_cast<double>(sign * each));
      count -= each * (n - 1);
    }
    Distribute(advances, 0, n - 2, static_cast<int>(count), sign);
  }

  const int L = deviceRect_.left, T0 = deviceRect_.top, R = deviceRect_.right, B = deviceRect_.bottom;
  const int th = blockHeight;
  const Trig t = TrigOf(rotation_);
  int x = 0, y = 0, lineWidth = 0, room = 0;
  const bool rightAngle = rotation_ % 90 == 0;
  switch (rotation_) {
    case 0: x = L, y = T0, lineWidth = R - L, room = B - T0; break;
    case 90: x = L, y = B, lineWidth = B - T0, room = R - L; break;
    case 180: x = R, y = B, lineWidth = R - L, room = B - T0; break;
    case 270: x = R, y = T0, lineWidth = B - T0, room = R - L; break;
    default: {
      const double s = std::abs(t.sin), c = std::abs(t.cos);
      const int w = RoundHalfEven((R - L - th * s) / c);
      lineWidth = w;
      if (rotation_ < 90) {
        x = L, y = T0 + RoundHalfEven(w * s);
        room = B - y - RoundHalfEven(th * c) + th;
      } else if (rotation_ < 180) {
        x = L + RoundHalfEven(w * c), y = B;
        room = B - T0 - RoundHalfEven(th * c + w * s) + th;
      } else if (rotation_ < 270) {
        x = R, y = B - RoundHalfEven(w * s);
        room = y - T0 - RoundHalfEven(th * c) + th;
      } else {
        x = L + RoundHalfEven(th * s), y = T0;
        room = B - T0 - RoundHalfEven(w * s + th * c) + th;
      }
    }
  }
  if (vAlign != TextVAlign::vaTop) {
    const double move = vAlign == TextVAlign::vaBottom ? room - th : (room - th) / 2.0;
    if (rightAngle) {
      x += RoundHalfEven(move * t.sin);
      y += RoundHalfEven(move * t.cos);
    } else if (rotation_ < 90 || rotation_ > 270) {
      y += RoundHalfEven(move);
    } else {
      y -= RoundHalfEven(move);
    }
  }

  ParsedCache cache;
  for (int i = 0; i < n; ++i) {
    const LineGlyphs line = Glyphs(lines_[static_cast<std::size_t>(i)], cache);
    int indent = 0;
    if ((line.flags & kFirstLine) && (hAlign == TextHAlign::haLeft || hAlign == TextHAlign::haBlock)) {
      indent = RoundHalfEven(paragraphGap_ * scaleX_);
    }
    TextHAlign align = hAlign;
    if ((line.flags & kLastLine) && hAlign == TextHAlign::haBlock) {
      align = rtl_ ? TextHAlign::haRight : TextHAlign::haLeft;
    }
    RenderLine(canvas, line, x + RoundHalfEven(indent * t.cos), y - RoundHalfEven(indent * t.sin), lineWidth - indent,
               align);
    if (i < n - 1) {
      const int advance = advances[static_cast<std::size_t>(i)];
      y += RoundHalfEven(advance * t.cos);
      x += RoundHalfEven(advance * t.sin);
    }
  }
}

void TfrxDrawText::RenderLine(Canvas& canvas, const LineGlyphs& line, double px, double py, int width,
                              TextHAlign align) {
  const int n = static_cast<int>(line.text.size());
  if (n == 0) return;
  const bool printer = canvas.Kind() == CanvasKind::Printer;
  const int dpiX = canvas.DpiX();
  const int dpiY = canvas.DpiY();
  int x = static_cast<int>(px), y = static_cast<int>(py);
  const Trig t = TrigOf(rotation_);

  const int refSpacing = RoundHalfEven(charSpacing_ * kToReference);
  const int devSpacing = RoundHalfEven(charSpacing_ * scaleX_);
  long wr = -refSpacing;
  for (int a : ReferenceAdvances(line.text, line.tags)) wr += a + refSpacing;
  std::vector<int> adv = DeviceAdvances(line, printer, dpiY);
  long wd = -devSpacing;
  for (int& a : adv) {
    a += devSpacing;
    wd += a;
  }
  const int wt = printer ? RoundHalfEven(wr * static_cast<double>(dpiX) / kReferenceDpi)
                         : RoundHalfEven(wr / kToReference * scaleX_);

  int spaces = 0;
  for (char16_t ch : line.text)
    if (IsSpace(ch)) ++spaces;
  if (align == TextHAlign::haBlock && spaces == 0) align = TextHAlign::haLeft;

  double d = 0;
  if (align == TextHAlign::haRight) {
    d = width - wt + 1;
    x -= 1;
    if (rotation_ == 0 && (font_.style & (kFontBold | kFontItalic))) x -= 1;
  } else if (align == TextHAlign::haCenter) {
    d = (width - wt) / 2.0;
  }
  x += RoundHalfEven(d * t.cos);
  y -= RoundHalfEven(d * t.sin);

  if (align == TextHAlign::haBlock) {
    // Justified: the difference goes to the blanks, the first ones one
    // more when it does not divide evenly.
    const long diff = std::abs(width) - wd;
    const long each = diff / spaces;
    long extra = diff % spaces;
    const int sign = extra < 0 ? -1 : 1;
    extra = std::abs(extra);
    for (int i = 0; i < n; ++i) {
      if (!IsSpace(line.text[static_cast<std::size_t>(i)])) continue;
      adv[static_cast<std::size_t>(i)] += static_cast<int>(each);
      if (extra > 0) {
        adv[static_cast<std::size_t>(i)] += sign;
        --extra;
      }
    }
  } else {
    long diff = wt - wd;
    const int sign = diff < 0 ? -1 : 1;
    long count = std::abs(diff);
    if (count >= n) {
      const long each = count / n;
      for (int& a : adv) a += static_cast<int>(sign * each);
      count -= each * n;
    }
    Distribute(adv, 0, n - 1, static_cast<int>(count), sign);
  }

  TextOptions options;
  if (clipped_) options.clip = deviceRect_;
  options.rightToLeft = rtl_;
  std::size_t start = 0;
  while (start < line.text.size()) {
    const TfrxHTMLTag& first = line.tags[start];
    std::size_t end = start + 1;
    while (end < line.text.size()) {
      const TfrxHTMLTag& tag = line.tags[end];
      if (tag.fontStyle != first.fontStyle || tag.fontColor != first.fontColor || tag.fontSize != first.fontSize ||
          tag.baselineShift != first.baselineShift)
        break;
      ++end;
    }
    long total = 0;
    for (std::size_t i = start; i < end; ++i) total += adv[i];
    FontSpec f;
    f.name = font_.name;
    f.height = -DeviceFontHeight(first.fontSize, printer, dpiY);
    f.style = first.fontStyle;
    f.escapement = rotation_ * 10;
    const auto color = RgbFromColor(first.fontColor);
    if (color) {
      f.color = *color;
      int ox = x, oy = y;
      if (first.baselineShift == 1) {
        const int o = RoundHalfEven(first.fontSize * scaleY_);
        ox += RoundHalfEven(o * t.sin);
        oy += RoundHalfEven(o * t.cos);
      }
      canvas.DrawText(f, {ox, oy}, std::u16string_view(line.text).substr(start, end - start),
                      std::span<const int>(adv.data() + start, end - start), options);
    }
    x += RoundHalfEven(total * t.cos);
    y -= RoundHalfEven(total * t.sin);
    start = end;
  }
}

}  // namespace zentavo
