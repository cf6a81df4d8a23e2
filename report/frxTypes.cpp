// Shared value types: line lists, fonts, frames, highlight, format, pictures.
#include "report/frxTypes.h"

#include <cmath>
#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "platform/Cp1254.h"
#include "report/frxGraphic.h"
#include "report/frxXMLSerializer.h"

namespace zentavo {

constinit const EnumInfo kAlignInfo{"TfrxAlign", {"baNone", "baLeft", "baRight", "baCenter", "baWidth", "baBottom", "baClient"}};
constinit const EnumInfo kBrushStyleInfo{"TBrushStyle", {"bsSolid", "bsClear", "bsHorizontal", "bsVertical", "bsFDiagonal",
                                               "bsBDiagonal", "bsCross", "bsDiagCross"}};
constinit const EnumInfo kShiftModeInfo{"TfrxShiftMode", {"smDontShift", "smAlways", "smWhenOverlapped"}};
constinit const EnumInfo kStretchModeInfo{"TfrxStretchMode", {"smDontStretch", "smActualHeight", "smMaxHeight"}};
constinit const EnumInfo kFrameStyleInfo{"TfrxFrameStyle", {"fsSolid", "fsDash", "fsDot", "fsDashDot", "fsDashDotDot", "fsDouble"}};
constinit const EnumInfo kHAlignInfo{"TfrxHAlign", {"haLeft", "haRight", "haCenter", "haBlock"}};
constinit const EnumInfo kVAlignInfo{"TfrxVAlign", {"vaTop", "vaBottom", "vaCenter"}};
constinit const EnumInfo kFormatKindInfo{"TfrxFormatKind", {"fkText", "fkNumeric", "fkDateTime", "fkBoolean"}};
constinit const EnumInfo kShapeKindInfo{"TfrxShapeKind", {"skRectangle", "skRoundRectangle", "skEllipse", "skTriangle",
                                                "skDiamond", "skDiagonal1", "skDiagonal2"}};
constinit const EnumInfo kFrameTypesInfo{"TfrxFrameTypes", {"ftLeft", "ftRight", "ftTop", "ftBottom"}};
constinit const EnumInfo kRestrictionsInfo{"TfrxRestrictions", {"rfDontModify", "rfDontSize", "rfDontMove", "rfDontDelete"}};
constinit const EnumInfo kFontStylesInfo{"TFontStyles", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}};

// ---------------------------------------------------------------- line lists

std::string TStrings::Text() const {
  std::string out;
  for (std::size_t i = 0; i < Lines.size(); ++i) {
    if (i > 0) out += "\r\n";
    out += Lines[i];
  }
  return out;
}

std::string TStrings::StoredText() const {
  std::string text = Text();
  if (!Lines.empty() && Lines.back().empty()) text += "\r\n";
  return text;
}

void TStrings::SetText(std::string_view text) {
  Lines.clear();
  std::size_t i = 0, start = 0;
  while (i < text.size()) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      Lines.emplace_back(text.substr(start, i - start));
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      start = ++i;
    } else {
      ++i;
    }
  }
  if (start < text.size()) Lines.emplace_back(text.substr(start));
}

std::u16string TWideStrings::Text() const {
  std::u16string out;
  for (const auto& line : Lines) {
    out += line;
    out += u"\r\n";
  }
  return out;
}

void TWideStrings::SetText(std::u16string_view text) {
  Lines.clear();
  std::size_t i = 0, start = 0;
  while (i < text.size()) {
    char16_t c = text[i];
    if (c == u'\r' || c == u'\n' || c == 0x2028) {
      Lines.emplace_back(text.substr(start, i - start));
      if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
      start = ++i;
    } else {
      ++i;
    }
  }
  if (start < text.size()) Lines.emplace_back(text.substr(start));
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  while (!utf8.empty()) {
    auto ch = cp1254::DecodeUtf8(utf8);
    char32_t cp = 0xFFFD;
    std::size_t len = 1;
    if (ch) {
      cp = ch->codePoint;
      len = ch->length;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
    utf8.remove_prefix(len);
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t cp = text[i];
    if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp < 0xE000) {
      cp = 0xFFFD;  // a lone surrogate has no UTF-8 form
    }
    cp1254::AppendUtf8(out, cp);
  }
  return out;
}

namespace {
std::u16string JoinLines(const std::vector<std::u16string>& lines) {
  std::u16string out;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) out += u"\r\n";
    out += lines[i];
  }
  return out;
}
}  // namespace

std::string TWideStrings::Utf8Text() const { return Utf16ToUtf8(JoinLines(Lines)); }

// Joined lines lose a last empty line when they are split again (a final
// line break adds no line): the stored form ends with one more break then.
std::string TWideStrings::StoredUtf8Text() const {
  std::string text = Utf8Text();
  if (!Lines.empty() && Lines.back().empty()) text += "\r\n";
  return text;
}

void TWideStrings::SetUtf8Text(std::string_view utf8) { SetText(Utf8ToUtf16(utf8)); }

std::string Utf16ToSingleByte(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char16_t c : text) {
    auto b = cp1254::FromUnicode(c);
    out += b ? static_cast<char>(*b) : '?';
  }
  return out;
}

std::u16string SingleByteToUtf16(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  for (char b : bytes) out += static_cast<char16_t>(cp1254::ToUnicode(static_cast<unsigned char>(b)));
  return out;
}

std::string TWideStrings::SingleByteText() const { return Utf16ToSingleByte(JoinLines(Lines)); }

void TWideStrings::SetSingleByteText(std::string_view bytes) { SetText(SingleByteToUtf16(bytes)); }

// ---------------------------------------------------------------- font

TfrxFont& TfrxFont::operator=(const TfrxFont& o) {
  if (this != &o) {
    CopyValues(o);
    Changed();
  }
  return *this;
}

void TfrxFont::CopyValues(const TfrxFont& o) {
  name_ = o.name_;
  height_ = o.height_;
  style_ = o.style_;
  color_ = o.color_;
  charset_ = o.charset_;
}

bool TfrxFont::SameValues(const TfrxFont& o) const {
  return name_ == o.name_ && height_ == o.height_ && style_ == o.style_ && color_ == o.color_ &&
         charset_ == o.charset_;
}

namespace {
// Windows MulDiv: a × b / c rounded half away from zero.
int MulDiv(int a, int b, int c) {
  double v = static_cast<double>(a) * b / c;
  return static_cast<int>(v < 0 ? -std::floor(-v + 0.5) : std::floor(v + 0.5));
}
}  // namespace

int TfrxFont::Size() const { return -MulDiv(height_, 72, 96); }
void TfrxFont::SetName(const std::string& v) { name_ = v; Changed(); }
void TfrxFont::SetHeight(int v) { height_ = v; Changed(); }
void TfrxFont::SetSize(int points) { height_ = -MulDiv(points, 96, 72); Changed(); }
void TfrxFont::SetStyle(std::uint32_t v) { style_ = v & 15; Changed(); }
void TfrxFont::SetColor(TColor v) { color_ = v; Changed(); }
void TfrxFont::SetCharset(int v) { charset_ = v & 0xFF; Changed(); }

const ClassInfo& TfrxFont::StaticClassInfo() {
  using F = TfrxFont;
  static const ClassInfo info =
      ClassBuilder<F>("TFont", nullptr)
          .OrdinalAccess("Charset", PropKind::Integer, "TFontCharset", nullptr, &F::Charset, &F::SetCharset, false, 0)
          .OrdinalAccess("Color", PropKind::Color, "TColor", nullptr, &F::Color, &F::SetColor, false, 0)
          .OrdinalAccess("Height", PropKind::Integer, "Integer", nullptr, &F::Height, &F::SetHeight, false, 0)
          .String("Name", &F::GetName, &F::SetName)
          .OrdinalAccess("Size", PropKind::Integer, "Integer", nullptr, &F::Size, &F::SetSize, false, 0)
          .NotStored()
          .OrdinalAccess("Style", PropKind::Set, "TFontStyles", &kFontStylesInfo, &F::Style, &F::SetStyle, false, 0)
          .Build();
  return info;
}

// ---------------------------------------------------------------- frame etc.

const ClassInfo& TfrxFrame::StaticClassInfo() {
  using F = TfrxFrame;
  static const ClassInfo info = ClassBuilder<F>("TfrxFrame", nullptr)
                                    .Color("Color", &F::Color, clBlack)
                                    .Bool("DropShadow", &F::DropShadow, false)
                                    .Color("ShadowColor", &F::ShadowColor, clBlack)
                                    .Float("ShadowWidth", &F::ShadowWidth)
                                    .StoredIf([](const F& f) { return f.ShadowWidth != 4; })
                                    .Enum("Style", &F::Style, kFrameStyleInfo, TfrxFrameStyle::fsSolid)
                                    .Set("Typ", &F::Typ, kFrameTypesInfo, 0)
                                    .Float("Width", &F::Width)
                                    .StoredIf([](const F& f) { return f.Width != 1; })
                                    .Build();
  return info;
}

const ClassInfo& TfrxHighlight::StaticClassInfo() {
  using H = TfrxHighlight;
  static const ClassInfo info = ClassBuilder<H>("TfrxHighlight", nullptr)
                                    .Bool("Active", &H::Active, false)
                                    .Color("Color", &H::Color, clNone)
                                    .String("Condition", &H::Condition)
                                    .Object("Font", &H::Font, "TFont")
                                    .Build();
  return info;
}

const ClassInfo& TfrxFormat::StaticClassInfo() {
  using F = TfrxFormat;
  static const ClassInfo info = ClassBuilder<F>("TfrxFormat", nullptr)
                                    .String("DecimalSeparator", &F::DecimalSeparator)
                                    .String("FormatStr", &F::FormatStr)
                                    .Enum("Kind", &F::Kind, kFormatKindInfo, TfrxFormatKind::fkText)
                                    .Build();
  return info;
}

// ---------------------------------------------------------------- picture

const ClassInfo& TfrxPicture::StaticClassInfo() {
  static const ClassInfo info = ClassBuilder<TfrxPicture>("TPicture", nullptr).Build();
  return info;
}

void TfrxPicture::WriteExtraProperties(PropDataWriter& w) const {
  if (Empty()) return;
  std::string block;
  block += static_cast<char>(std::min<std::size_t>(GraphicClass.size(), 255));
  block += GraphicClass.substr(0, 255);
  block += Data;
  w.WriteName("Data");
  w.WriteBinary(block);
}

bool TfrxPicture::ReadExtraProperty(const std::string& name, PropDataReader& r) {
  if (name != "Data") return false;
  std::string block = r.ReadBinary();
  if (block.empty()) return true;
  std::size_t n = static_cast<unsigned char>(block[0]);
  if (n + 1 > block.size()) throw std::runtime_error("Invalid picture data");
  GraphicClass = block.substr(1, n);
  Data = block.substr(1 + n);
  // A damaged or forged picture is reported when the template is read,
  // rather than failing each time a page draws it. Its bytes stay, so that
  // saving the template again does not lose what the author stored.
  try {
    CheckPicture(*this);
  } catch (const std::exception& e) {
    throw TfrxInvalidPicture(std::string("Invalid picture data: ") + e.what());
  }
  return true;
}

void TfrxPicture::SetBitmapFile(std::string_view bmp) {
  GraphicClass = "TBitmap";
  Data.clear();
  auto n = static_cast<std::uint32_t>(bmp.size());
  for (int i = 0; i < 4; ++i) Data += static_cast<char>((n >> (8 * i)) & 0xFF);
  Data += bmp;
}

std::string TfrxPicture::BitmapFile() const {
  if (GraphicClass != "TBitmap" || Data.size() < 4) return {};
  std::uint32_t n = 0;
  for (int i = 0; i < 4; ++i) n |= static_cast<std::uint32_t>(static_cast<unsigned char>(Data[i])) << (8 * i);
  if (n > Data.size() - 4) return {};
  return Data.substr(4, n);
}

}  // namespace zentavo
