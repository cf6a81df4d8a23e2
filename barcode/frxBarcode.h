// The barcode report object: a view that holds the symbology settings and the
// text to encode. Encoding and drawing belong to the encoder (frxBarcod.h).
#pragma once

#include <string>

#include "report/frxComponent.h"

namespace zentavo {

enum class TfrxBarcodeType {
  bcCode_2_5_interleaved, bcCode_2_5_industrial, bcCode_2_5_matrix, bcCode39, bcCode39Extended,
  bcCode128A, bcCode128B, bcCode128C, bcCode93, bcCode93Extended, bcCodeMSI, bcCodePostNet,
  bcCodeCodabar, bcCodeEAN8, bcCodeEAN13, bcCodeUPC_A, bcCodeUPC_E0, bcCodeUPC_E1, bcCodeUPC_Supp2,
  bcCodeUPC_Supp5, bcCodeEAN128A, bcCodeEAN128B, bcCodeEAN128C,
};
extern const EnumInfo kBarcodeTypeInfo;

class TfrxBarCodeView : public TfrxView {
 public:
  using TfrxView::TfrxView;
  static const ClassInfo& StaticClassInfo();
  const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
  std::string GetDescription() const override;

  TfrxBarcodeType BarType = TfrxBarcodeType::bcCode39;
  bool CalcCheckSum = false;
  std::string Expression;
  TfrxHAlign HAlign = TfrxHAlign::haLeft;
  int Rotation = 0;  // 0, 90, 180 or 270
  bool ShowText = true;
  std::string Text = "12345678";
  double WideBarRatio = 2;
  double Zoom = 1;  // width of one module in report pixels
  // The message of the last failed encoding, drawn instead of the bars.
  std::string ErrorText;
};

}  // namespace zentavo
