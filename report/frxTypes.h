// Value types the report objects share: colours, line lists, fonts, frames,
// highlight, display format, pictures, and the enumerations with their names.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Rounding.h"
#include "report/frxProps.h"

namespace zentavo {

using TColor = std::int32_t;
constexpr TColor clNone = 0x1FFFFFFF;  // also clTransparent: no colour
constexpr TColor clBlack = 0;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clRed = 0x0000FF;

// Report units: pixels at 96 per inch; paper in millimetres.
constexpr double fr01cm = 3.77953;
constexpr double fr1cm = 37.7953;
constexpr double fr01in = 9.6;
constexpr int fr1in = 96;
constexpr double fr1CharX = 9.6;
constexpr int fr1CharY = 17;


// Single-byte lines (scripts, descriptions, guides).
class TStrings {
 public:
  std::vector<std::string> Lines;
  int Count() const { return static_cast<int>(Lines.size()); }
  const std::string& operator[](int i) const { return Lines[static_cast<std::size_t>(i)]; }
  void Add(std::string line) { Lines.push_back(std::move(line)); }
  void Clear() { Lines.clear(); }
  // Lines joined by CR LF, without a final line break.
  std::string Text() const;
  // Splits at CR LF, CR and LF; empty text gives no lines, a final break no empty line.
  void SetText(std::string_view text);
  // The form the template format stores: Text, and one more line break when
  // the last line is empty, so that reading it back keeps that line.
  std::string StoredText() const;
  bool operator==(const TStrings& o) const { return Lines == o.Lines; }
};

// The Unicode (16-bit) lines of a text object.
class TWideStrings {
 public:
  std::vector<std::u16string> Lines;
  int Count() const { return static_cast<int>(Lines.size()); }
  const std::u16string& operator[](int i) const { return Lines[static_cast<std::size_t>(i)]; }
  void Add(std::u16string line) { Lines.push_back(std::move(line)); }
  void Clear() { Lines.clear(); }
  // Every line followed by CR LF.
  std::u16string Text() const;
  // Splits at CR, LF, CR LF and U+2028, each ending one line.
  void SetText(std::u16string_view text);
  // The template format's forms: UTF-8 and Windows-1254, lines joined by CR LF
  // without the final break.
  std::string Utf8Text() const;
  void SetUtf8Text(std::string_view utf8);
  // Utf8Text as the template format stores it (see TStrings::StoredText).
  std::string StoredUtf8Text() const;
  std::string SingleByteText() const;  // characters outside Windows-1254 become "?"
  void SetSingleByteText(std::string_view bytes);
  bool operator==(const TWideStrings& o) const { return Lines == o.Lines; }
};

std::u16string Utf8ToUtf16(std::string_view utf8);  // malformed bytes become U+FFFD
std::string Utf16ToUtf8(std::u16string_view text);
// Windows-1254 text of UTF-16 (characters it lacks become "?") and back.
std::string Utf16ToSingleByte(std::u16string_view text);
std::u16string SingleByteToUtf16(std::string_view bytes);

// ---- Enumerations (ordinals as the format writes them).

enum class TfrxAlign { baNone, baLeft, baRight, baCenter, baWidth, baBottom, baClient };
enum class TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
enum class TfrxShiftMode { smDontShift, smAlways, smWhenOverlapped };
enum class TfrxStretchMode { smDontStretch, smActualHeight, smMaxHeight };
enum class TfrxFrameStyle { fsSolid, fsDash, fsDot, fsDashDot, fsDashDotDot, fsDouble };
enum class TfrxHAlign { haLeft, haRight, haCenter, haBlock };
enum class TfrxVAlign { vaTop, vaBottom, vaCenter };
enum class TfrxFormatKind { fkText, fkNumeric, fkDateTime, fkBoolean };
enum class TfrxShapeKind { skRectangle, skRoundRectangle, skEllipse, skTriangle, skDiamond, skDiagonal1, skDiagonal2 };

// Set bits (bit n for the n-th element).
enum TfrxFrameType : std::uint32_t { ftLeft = 1, ftRight = 2, ftTop = 4, ftBottom = 8 };
enum TfrxRestriction : std::uint32_t { rfDontModify = 1, rfDontSize = 2, rfDontMove = 4, rfDontDelete = 8 };
enum TFontStyle : std::uint32_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

extern const EnumInfo kAlignInfo, kBrushStyleInfo, kShiftModeInfo, kStretchModeInfo, kFrameStyleInfo,
    kHAlignInfo, kVAlignInfo, kFormatKindInfo, kShapeKindInfo, kFrameTypesInfo, kRestrictionsInfo,
    kFontStylesInfo;

// ---- Font. Changes made through the setters are announced to the holder.

class TfrxFont : public TfrxPersistent {
 public:
  TfrxFont() = default;
  TfrxFont(const TfrxFont& o) { CopyValues(o); }
  TfrxFont& operator=(const TfrxFont& o);  // copies values and announces the change
  static const ClassInfo& StaticClassInfo();
  const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

  const std::string& Name() const { return name_; }
  std::string GetName() const { return name_; }
  int Height() const { return height_; }
  int Size() const;  // points: −Height × 72 / 96, rounded half away from zero
  std::uint32_t Style() const { return style_; }
  TColor Color() const { return color_; }
  int Charset() const { return charset_; }
  void SetName(const std::string& v);
  void SetHeight(int v);
  void SetSize(int points);
  void SetStyle(std::uint32_t v);
  void SetColor(TColor v);
  void SetCharset(int v);
  // Copies the values without announcing (a child following its parent's font).
  void CopyValues(const TfrxFont& o);
  bool SameValues(const TfrxFont& o) const;

  std::function<void()> OnChange;

 private:
  void Changed() {
    if (OnChange) OnChange();
  }
  std::string name_ = "Arial";
  int height_ = -13;  // 10 points at 96 per inch
  std::uint32_t style_ = 0;
  TColor color_ = clBlack;
  int charset_ = 1;
};

class TfrxFrame : public TfrxPersistent {
 public:
  static const ClassInfo& StaticClassInfo();
  const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
  TColor Color = clBlack;
  bool DropShadow = false;
  TColor ShadowColor = clBlack;
  double ShadowWidth = 4;
  TfrxFrameStyle Style = TfrxFrameStyle::fsSolid;
  std::uint32_t Typ = 0;  // TfrxFrameType bits
  double Width = 1;
};

class TfrxHighlight : public TfrxPersistent {
 public:
  TfrxHighlight() { Font.SetColor(clRed); }
  static const ClassInfo& StaticClassInfo();
  const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
  bool Active = false;
  TColor Color = clNone;
  std::string Condition;
  TfrxFont Font;
};

class TfrxFormat : public TfrxPersistent {
 public:
  static const ClassInfo& StaticClassInfo();
  const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
  std::string DecimalSeparator;
  std::string FormatStr;
  TfrxFormatKind Kind = TfrxFormatKind::fkText;
};

// A picture whose stored bytes do not decode. The picture keeps them.
struct TfrxInvalidPicture : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// A picture: the graphic's class name ("TBitmap", "TJPEGImage", "TIcon",
// "TMetafile") and the graphic's own bytes, kept losslessly. Drawing belongs
// to the renderer.
class TfrxPicture : public TfrxPersistent {
 public:
  static const ClassInfo& StaticClassInfo();
  const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
  std::string GraphicClass;
  std::string Data;
  bool Empty() const { return GraphicClass.empty(); }
  void Clear() {
    GraphicClass.clear();
    Data.clear();
  }
  void WriteExtraProperties(PropDataWriter& w) const override;
  bool ReadExtraProperty(const std::string& name, PropDataReader& r) override;
  // A bitmap from the bytes of a .bmp file (stored as 32-bit size + file).
  void SetBitmapFile(std::string_view bmp);
  // The .bmp file bytes of a bitmap picture, empty otherwise.
  std::string BitmapFile() const;
};

}  // namespace zentavo
