// The formatting tags a memo may carry (<b>, <i>, <u>, <strike>, <sub>,
// <sup>, <font color=...>), turned into one formatting record per character.
#include <algorithm>
#include <array>
#include <cmath>

#include "render/frxGraphicUtils.h"
#include "platform/Rounding.h"

namespace zentavo {
namespace {

struct ColorName {
  std::string_view name;  // without "cl", lower case
  std::int32_t color;
};

constexpr std::int32_t Sys(int index) { return static_cast<std::int32_t>(0x80000000u | static_cast<unsigned>(index)); }

constexpr std::array<ColorName, 53> kColorNames = {{
    {"black", 0x000000},       {"maroon", 0x000080},      {"green", 0x008000},
    {"olive", 0x008080},       {"navy", 0x800000},        {"purple", 0x800080},
    {"teal", 0x808000},        {"gray", 0x808080},        {"silver", 0xC0C0C0},
    {"red", 0x0000FF},         {"lime", 0x00FF00},        {"yellow", 0x00FFFF},
    {"blue", 0xFF0000},        {"fuchsia", 0xFF00FF},     {"aqua", 0xFFFF00},
    {"white", 0xFFFFFF},       {"moneygreen", 0xC0DCC0},  {"skyblue", 0xF0CAA6},
    {"cream", 0xF0FBFF},       {"medgray", 0xA4A0A0},     {"ltgray", 0xC0C0C0},
    {"dkgray", 0x808080},
    {"scrollbar", Sys(0)},     {"background", Sys(1)},    {"activecaption", Sys(2)},
    {"inactivecaption", Sys(3)}, {"menu", Sys(4)},        {"window", Sys(5)},
    {"windowframe", Sys(6)},   {"menutext", Sys(7)},      {"windowtext", Sys(8)},
    {"captiontext", Sys(9)},   {"activeborder", Sys(10)}, {"inactiveborder", Sys(11)},
    {"appworkspace", Sys(12)}, {"highlight", Sys(13)},    {"highlighttext", Sys(14)},
    {"btnface", Sys(15)},      {"btnshadow", Sys(16)},    {"graytext", Sys(17)},
    {"btntext", Sys(18)},      {"inactivecaptiontext", Sys(19)}, {"btnhighlight", Sys(20)},
    {"3ddkshadow", Sys(21)},   {"3dlight", Sys(22)},      {"infotext", Sys(23)},
    {"infobk", Sys(24)},       {"hotlight", Sys(26)},     {"gradientactivecaption", Sys(27)},
    {"gradientinactivecaption", Sys(28)}, {"menuhighlight", Sys(29)}, {"menubar", Sys(30)},
    {"none", 0x1FFFFFFF},
}};

char16_t LowerAscii(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

bool StartsWithNoCase(std::u16string_view text, std::size_t at, std::string_view tag) {
  if (text.size() - at < tag.size()) return false;
  for (std::size_t i = 0; i < tag.size(); ++i) {
    if (LowerAscii(text[at + i]) != static_cast<char16_t>(tag[i])) return false;
  }
  return true;
}

int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// "#RRGGBB" as a TColor, or nothing when it is not six hexadecimal digits.
std::optional<std::int32_t> HexColor(std::u16string_view v) {
  if (v.size() != 7 || v[0] != u'#') return std::nullopt;
  std::uint32_t rgb = 0;
  for (std::size_t i = 1; i < 7; ++i) {
    const int d = HexDigit(v[i]);
    if (d < 0) return std::nullopt;
    rgb = rgb * 16 + static_cast<std::uint32_t>(d);
  }
  const std::uint32_t r = rgb >> 16, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
  return static_cast<std::int32_t>(r | (g << 8) | (b << 16));
}

// The value of a colour tag. A "#" value that is not hexadecimal, like an
// unknown name, leaves the tag as text instead of failing the page.
std::optional<std::int32_t> TagColor(std::u16string_view value) {
  if (value.size() >= 2 && value.front() == u'"' && value.back() == u'"') value = value.substr(1, value.size() - 2);
  if (!value.empty() && value[0] == u'#') return HexColor(value);
  return ColorByName(value);
}

enum class TagKind { AddStyle, RemoveStyle, Sub, Sup, EndSubSup, EndFont };
struct SimpleTag {
  std::string_view text;
  TagKind kind;
  std::uint8_t style;
};
constexpr std::array<SimpleTag, 12> kTags = {{
    {"<b>", TagKind::AddStyle, kFontBold},
    {"<i>", TagKind::AddStyle, kFontItalic},
    {"<u>", TagKind::AddStyle, kFontUnderline},
    {"</b>", TagKind::RemoveStyle, kFontBold},
    {"</i>", TagKind::RemoveStyle, kFontItalic},
    {"</u>", TagKind::RemoveStyle, kFontUnderline},
    {"<strike>", TagKind::AddStyle, kFontStrikeOut},
    {"</strike>", TagKind::RemoveStyle, kFontStrikeOut},
    {"<sub>", TagKind::Sub, 0},
    {"<sup>", TagKind::Sup, 0},
    {"</sub>", TagKind::EndSubSup, 0},
    {"</sup>", TagKind::EndSubSup, 0},
}};

}  // namespace

std::optional<std::int32_t> ColorByName(std::u16string_view name) {
  std::string lower;
  for (char16_t c : name) {
    if (c > 0x7F) return std::nullopt;
    lower.push_back(static_cast<char>(LowerAscii(c)));
  }
  for (const ColorName& entry : kColorNames) {
    if (entry.name == lower) return entry.color;
  }
  if (lower == "default") return 0x20000000;
  return std::nullopt;
}

ParsedLine ParseTags(std::u16string_view line, bool tagsAllowed, const TagDefaults& defaults, TagState& state) {
  ParsedLine out;
  out.text.reserve(line.size());
  out.tags.reserve(line.size());
  const int lineStart = state.position;
  TfrxHTMLTag previous{0, defaults.size, 0, defaults.style, defaults.color, true, false};
  std::size_t i = 0;
  while (i < line.size()) {
    if (tagsAllowed && line[i] == u'<') {
      std::size_t consumed = 0;
      for (const SimpleTag& tag : kTags) {
        if (!StartsWithNoCase(line, i, tag.text)) continue;
        consumed = tag.text.size();
        switch (tag.kind) {
          case TagKind::AddStyle: state.style |= tag.style; break;
          case TagKind::RemoveStyle: state.style &= static_cast<std::uint8_t>(~tag.style); break;
          case TagKind::Sub:
            state.size = RoundHalfEven(defaults.size / 1.5);
            state.baselineShift = 1;
            break;
          case TagKind::Sup:
            state.size = RoundHalfEven(defaults.size / 1.5);
            state.baselineShift = 0;
            break;
          case TagKind::EndSubSup:
            state.size = defaults.size;
            state.baselineShift = 0;
            break;
          case TagKind::EndFont: break;
        }
        break;
      }
      if (consumed == 0 && StartsWithNoCase(line, i, "</font>")) {
        state.color = defaults.color;
        consumed = 7;
      }
      if (consumed == 0 && StartsWithNoCase(line, i, "<font color=")) {
        const std::size_t close = line.find(u'>', i);
        if (close != std::u16string_view::npos) {
          std::size_t v = i + 12;
          while (v < close && line[v] == u' ') ++v;
          if (const auto color = TagColor(line.substr(v, close - v))) {
            state.color = *color;
            consumed = close - i + 1;
          }
        }
      }
      if (consumed > 0) {
        i += consumed;
        continue;
      }
    }
    TfrxHTMLTag tag;
    tag.textPos = lineStart + static_cast<int>(i);
    tag.fontSize = state.size;
    tag.baselineShift = state.baselineShift;
    tag.fontStyle = state.style;
    tag.fontColor = state.color;
    tag.reduced = state.size != defaults.size;
    tag.sameAsPrevious = tag.fontStyle == previous.fontStyle && tag.fontColor == previous.fontColor &&
                         tag.fontSize == previous.fontSize;
    previous = tag;
    out.text.push_back(line[i]);
    out.tags.push_back(tag);
    ++i;
  }
  if (out.text.empty()) {
    TfrxHTMLTag tag{lineStart, state.size, state.baselineShift, state.style, state.color, true,
                    state.size != defaults.size};
    out.text.assign(1, u' ');
    out.tags.push_back(tag);
  }
  state.position = lineStart + static_cast<int>(line.size());
  return out;
}

}  // namespace zentavo
