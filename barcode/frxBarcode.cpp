// Barcode view: its published properties.
#include "barcode/frxBarcode.h"

#include "report/frxDataSet.h"
#include "report/frxRes.h"

namespace zentavo {

const EnumInfo kBarcodeTypeInfo{
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
          .Enum("BarType", &B::BarType, kBarcodeTypeInfo, TfrxBarcodeType::bcCode39)
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

}  // namespace zentavo
