// Barcode view: its published properties, sizing from the symbol, drawing
// between background and frame, the error text, data and real bounds.
#include "barcode/frxBarcode.h"
#include "report/frxScriptBinding.h"
#include "script/fs_ilibrary.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <stdexcept>

#include "platform/Canvas.h"
#include "platform/Cp1254.h"
#include "render/Painters.h"
#include "render/RenderState.h"
#include "report/frxClassRegistry.h"
#include "report/frxDataSet.h"
#include "report/frxRes.h"

namespace zentavo {

constinit const EnumInfo kBarcodeTypeInfo{
    "TfrxBarcodeType",
    {"bcCode_2_5_interleaved", "bcCode_2_5_industrial", "bcCode_2_5_matrix", "bcCode39", "bcCode39Extended",
     "bcCode128A", "bcCode128B", "bcCode128C", "bcCode93", "bcCode93Extended", "bcCodeMSI", "bcCodePostNet",
     "bcCodeCodabar", "bcCodeEAN8", "bcCodeEAN13", "bcCodeUPC_A", "bcCodeUPC_E0", "bcCodeUPC_E1",
     "bcCodeUPC_Supp2", "bcCodeUPC_Supp5", "bcCodeEAN128A", "bcCodeEAN128B", "bcCodeEAN128C"}};

const ClassInfo& TfrxBarCodeView::StaticClassInfo() {
  using B = TfrxBarCodeView;
  static const ClassInfo info =
      ClassBuilder<B>("TfrxBarCodeView", &TfrxView::StaticClassInfo())
          .Int("Cursor", &TfrxView::Cursor, 0, "TCursor")
          .String("TagStr", &TfrxView::TagStr)
          .String("URL", &TfrxView::URL)
          .Enum("BarType", &B::BarType, kBarcodeTypeInfo, bcCode39)
          .Enum("BrushStyle", &TfrxView::BrushStyle, kBrushStyleInfo, TBrushStyle::bsSolid)
          .Bool("CalcCheckSum", &B::CalcCheckSum, false)
          .Color("Color", &TfrxView::Color, clNone)
          .String("DataField", &TfrxView::DataField)
          .Reference("DataSet", &TfrxView::DataSet, &TfrxView::SetDataSet, "TfrxDataSet")
          .String("DataSetName", &TfrxView::DataSetName, &TfrxView::SetDataSetName)
          .String("Expression", &B::Expression)
          .Object("Frame", &TfrxView::Frame, "TfrxFrame")
          .Enum("HAlign", &B::HAlign, kHAlignInfo, TfrxHAlign::haLeft)
          .Int("Rotation", &B::Rotation, 0)
          .Bool("ShowText", &B::ShowText, true)
          .String("Text", &B::Text)
          .Float("WideBarRatio", &B::WideBarRatio)
          .Float("Zoom", &B::Zoom)
          .Build();
  return info;
}

std::string TfrxBarCodeView::GetDescription() const { return frxResources().Get("obBarC"); }

namespace {

// A zoom below this (or none at all: NaN, infinity) draws as 1.
constexpr double kMinZoom = 0.0001;
// The longest symbol we size an object to, in report pixels (about 10 m):
// a forged Zoom must not push the device rectangle past what an int holds.
constexpr double kMaxSymbolLength = 1e6;
// The error text: Arial 8 points on paper, whatever the device's resolution
// (-11 report pixels at 96 per inch is the 8-point size).
constexpr int kErrorFontHeight = -11;
// The error text starts this many device pixels inside the object.
constexpr int kErrorInset = 2;

bool ZoomUsable(double zoom) { return std::isfinite(zoom) && zoom >= kMinZoom; }

bool DrawsFirstDigitOutside(TfrxBarcodeType type) { return type == bcCodeEAN13 || type == bcCodeUPC_A; }
bool DrawsLastDigitOutside(TfrxBarcodeType type) {
  return type == bcCodeUPC_A || type == bcCodeUPC_E0 || type == bcCodeUPC_E1;
}

std::u16string Utf16OfBytes(std::string_view text) {
  std::u16string out;
  for (char c : text) out += static_cast<char16_t>(cp1254::ToUnicode(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

int TfrxBarCodeView::DrawnRotation() const {
  const int degrees = ((Rotation % 360) + 360) % 360;
  return static_cast<int>(RoundHalfEven(degrees / 90.0) % 4) * 90;
}

void TfrxBarCodeView::SetUpBarcode(TfrxBarcode& barcode) const {
  barcode.Angle = DrawnRotation();
  barcode.Checksum = CalcCheckSum;
  barcode.Typ = BarType;
  barcode.Ratio = WideBarRatio;
  // The spaces are painted even on a transparent object: a scanner needs them white.
  barcode.Color = Color == clNone ? clWhite : Color;
  barcode.Text = Text;
}

std::string TfrxBarCodeView::EncodingError() const {
  TfrxBarcode barcode;
  SetUpBarcode(barcode);
  try {
    barcode.Width();
  } catch (const std::exception& e) {
    return e.what();
  }
  return {};
}

void TfrxBarCodeView::Draw(Canvas& canvas, double scaleX, double scaleY, double offsetX, double offsetY) {
  SetUpBarcode(barcode_);
  const double oldWidth = Width();
  ErrorText.clear();
  if (!ZoomUsable(Zoom)) Zoom = 1.0;

  const int rotation = DrawnRotation();
  const bool upright = rotation == 0 || rotation == 180;
  try {
    const double length = std::min(barcode_.Width() * Zoom, kMaxSymbolLength);
    if (upright) {
      SetWidth(length);
    } else {
      SetHeight(length);
    }
  } catch (const std::exception& e) {
    // The size stays; the message is drawn in place of the bars.
    ErrorText = e.what();
  }
  if (Width() != oldWidth) {
    if (HAlign == TfrxHAlign::haRight) SetLeft(Left() + oldWidth - Width());
    if (HAlign == TfrxHAlign::haCenter) SetLeft(Left() + (oldWidth - Width()) / 2);
  }

  BeginDraw(canvas, scaleX, scaleY, offsetX, offsetY);
  DrawBackground();
  if (ErrorText.empty()) {
    // Whole dots per module leave the symbol a little shorter than the
    // object; it stays at the edge HAlign keeps. Turned by 90 or 270 degrees
    // the object keeps its top (HAlign moves nothing), so the symbol does too.
    BarcodeAlign align = BarcodeAlign::Near;
    if (upright && HAlign == TfrxHAlign::haRight) align = BarcodeAlign::Far;
    if (upright && HAlign == TfrxHAlign::haCenter) align = BarcodeAlign::Center;
    try {
      barcode_.DrawSymbol(canvas, zentavo::Rect{Device.left, Device.top, Device.right, Device.bottom}, ShowText,
                          align);
    } catch (const std::exception& e) {
      ErrorText = e.what();
    }
  }
  if (!ErrorText.empty()) DrawErrorText();
  DrawFrame();
}

void TfrxBarCodeView::DrawErrorText() {
  if (DrawCanvas == nullptr) return;
  TfrxDrawText& engine = RenderStateOf(*this).TextEngine();
  auto lock = engine.Acquire();
  DrawTextFont font;
  font.name = "Arial";
  font.height = kErrorFontHeight;
  font.color = clRed;
  engine.SetFont(font);
  engine.SetOptions(/*wordWrap=*/true, /*htmlTags=*/false, /*rotation=*/0, /*clipped=*/true,
                    /*wordBreak=*/false, /*rtlReading=*/false);
  engine.SetGaps(/*lineSpacing=*/0, /*charSpacing=*/0, /*paragraphGap=*/0);
  const double left = AbsLeft(), top = AbsTop();
  const LayoutBounds bounds{left + (ScaleX > 0 ? kErrorInset / ScaleX : 0),
                            top + (ScaleY > 0 ? kErrorInset / ScaleY : 0), left + Width(), top + Height()};
  const zentavo::Rect device{Device.left + kErrorInset, Device.top + kErrorInset, Device.right, Device.bottom};
  engine.SetDimensions(bounds, device, ScaleX, ScaleY);
  engine.SetText(SplitWideText(Utf16OfBytes(ErrorText)));
  engine.RenderLines(*DrawCanvas, TextHAlign::haLeft, TextVAlign::vaTop);
}

void TfrxBarCodeView::GetData() {
  TfrxView::GetData();
  if (TfrxDataSet* dataSet = DataSet(); dataSet != nullptr && !DataField.empty()) {
    Text = FieldValueToText(dataSet->Value(DataField));
  } else if (!Expression.empty()) {
    // Report expressions are not evaluated yet. Printing the designed sample
    // text instead would put a wrong number on a specimen; refuse loudly.
    throw std::runtime_error("Barcode expressions are not supported yet: " + Expression);
  }
}

TfrxReportComponent::Rect TfrxBarCodeView::GetRealBounds() {
  Rect r = TfrxView::GetRealBounds();
  const double zoom = ZoomUsable(Zoom) ? Zoom : 1.0;
  const double digit = std::nearbyint(zoom * 8);  // halves to even
  const double a = DrawsFirstDigitOutside(BarType) ? digit : 0;
  const double b = DrawsLastDigitOutside(BarType) ? digit : 0;
  switch (DrawnRotation()) {
    case 0: r.left -= a, r.right += b; break;
    case 90: r.bottom += a, r.top -= b; break;
    case 180: r.left -= b, r.right += a; break;
    default: r.bottom += b, r.top -= a; break;
  }
  return r;
}

namespace {

// The barcode module of the script library: the symbologies by name and the
// barcode view with its published properties.
void RegisterBarcodeModule(TfsLibraryTarget& target) {
  std::string names;
  for (const char* n : kBarcodeTypeInfo.names) names += std::string(names.empty() ? "" : ",") + n;
  target.AddEnum(kBarcodeTypeInfo.typeName, names);
  AddReportClass(target, TfrxBarCodeView::StaticClassInfo(), "TfrxView");
}

}  // namespace

void InstallBarcodes() {
  static std::once_flag once;
  std::call_once(once, [] {
    InstallRendering();
    RegisterClass({&TfrxBarCodeView::StaticClassInfo(),
                   [](const ClassInfo&) -> TfrxComponent* { return new TfrxBarCodeView(nullptr); }});
    AddLibraryModule({"barcode", 7, RegisterBarcodeModule});
  });
}

}  // namespace zentavo
