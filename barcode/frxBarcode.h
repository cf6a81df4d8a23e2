// The barcode report object: a view that owns one encoder, copies its
// settings into it at every drawing, sizes itself from the symbol and draws
// it between its background and its frame (or the encoder's message when the
// text cannot be encoded).
#pragma once

#include <string>

#include "barcode/frxBarcod.h"
#include "report/frxComponent.h"

namespace zentavo {

extern const EnumInfo kBarcodeTypeInfo;

// Installs the renderer and adds the barcode view to the model's classes
// (once; later calls do nothing).
void InstallBarcodes();

class TfrxBarCodeView : public TfrxView {
 public:
  using TfrxView::TfrxView;
  static const ClassInfo& StaticClassInfo();
  const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
  std::string GetDescription() const override;

  TfrxBarcodeType BarType = bcCode39;
  bool CalcCheckSum = false;
  std::string Expression;
  TfrxHAlign HAlign = TfrxHAlign::haLeft;
  int Rotation = 0;  // 0, 90, 180 or 270
  bool ShowText = true;
  std::string Text = "12345678";
  double WideBarRatio = 2;
  double Zoom = 1;  // width of one module in report pixels

  // The message of the last drawing's failed encoding, drawn instead of the
  // bars; empty after a drawing whose text encoded.
  std::string ErrorText;

  // Sizes the object from its symbol (Width, or Height at 90 and 270
  // degrees; HAlign says which edge stays), fills the background, draws the
  // symbol with whole device dots per module or the error text, then the
  // frame.
  void Draw(Canvas& canvas, double scaleX, double scaleY, double offsetX, double offsetY) override;
  // Text from the bound data field, else from Expression; Text itself is
  // never scanned for bracketed expressions.
  void GetData() override;
  // Widened by the EAN-13 and UPC digits drawn outside the bars.
  Rect GetRealBounds() override;

  // Whether the current settings encode, without drawing: the encoder's
  // message, or empty. A label job asks this before it submits a label, so
  // a barcode that would print as its error text is never sent.
  std::string EncodingError() const;
  // The quadrant drawn: Rotation taken modulo 360 to the nearest multiple
  // of 90 (0, 90, 180 or 270), as the encoder turns the symbol.
  int DrawnRotation() const;
  // The owned encoder, holding the settings of the last drawing.
  const TfrxBarcode& Barcode() const { return barcode_; }

 private:
  // Copies this object's settings into an encoder (Modul, ColorBar and
  // CheckSumMethod keep the encoder's defaults).
  void SetUpBarcode(TfrxBarcode& barcode) const;
  void DrawErrorText();

  TfrxBarcode barcode_;
};

}  // namespace zentavo
