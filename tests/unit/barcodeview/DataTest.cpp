// The barcode object's data and bounds: Text from a data field, Expression,
// the real bounds widened for digits drawn outside the bars, and the error a
// caller can ask for before printing.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "barcode/frxBarcode.h"
#include "report/frxDataSet.h"
#include "tests/unit/barcodeview/ViewFixture.h"

namespace zentavo {
namespace {

TEST(BarcodeViewBounds, WidenedForTheDigitsOutsideTheBars) {
  struct Row {
    TfrxBarcodeType type;
    int rotation;
    double zoom;
    double left, top, right, bottom;  // view at 10, 20, size 100 x 50
    const char* why;
  } rows[] = {
      {bcCode39, 0, 1, 10, 20, 110, 70, "no digits outside"},
      {bcCodeEAN13, 0, 1, 2, 20, 110, 70, "EAN-13 first digit at the left"},
      {bcCodeEAN13, 90, 1, 10, 20, 110, 78, "turned: below"},
      {bcCodeEAN13, 180, 1, 10, 20, 118, 70, "upside down: right"},
      {bcCodeEAN13, 270, 1, 10, 12, 110, 70, "three quarters: above"},
      {bcCodeUPC_A, 0, 1, 2, 20, 118, 70, "UPC-A: first and last digit"},
      {bcCodeUPC_A, 90, 2, 10, 4, 110, 86, "Zoom 2 doubles the room"},
      {bcCodeUPC_E0, 0, 1, 10, 20, 118, 70, "UPC-E: last digit at the right"},
      {bcCodeUPC_E1, 180, 1, 2, 20, 110, 70, "UPC-E upside down: left"},
      {bcCodeUPC_E0, 270, 1, 10, 20, 110, 78, "UPC-E three quarters: below"},
      {bcCodeEAN13, 0, 0.3125, 8, 20, 110, 70, "Round(2.5) is 2: halves to even"},
      {bcCodeEAN13, 0, 0, 2, 20, 110, 70, "Zoom 0 counts as 1"},
      {bcCodeEAN8, 0, 1, 10, 20, 110, 70, "EAN-8 keeps its digits inside"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.why);
    TfrxBarCodeView v;
    v.BarType = r.type;
    v.Rotation = r.rotation;
    v.Zoom = r.zoom;
    v.SetBounds(10, 20, 100, 50);
    const auto b = v.GetRealBounds();
    EXPECT_DOUBLE_EQ(b.left, r.left);
    EXPECT_DOUBLE_EQ(b.top, r.top);
    EXPECT_DOUBLE_EQ(b.right, r.right);
    EXPECT_DOUBLE_EQ(b.bottom, r.bottom);
  }
}

TEST(BarcodeViewData, TextFromTheDataField) {
  TfrxUserDataSet data;
  data.SetUserName("Lab");
  data.Fields.Add("BarkodNo");
  TfrxFieldValue value = std::int64_t{1500483197};
  data.OnGetValue = [&](const std::string& field, TfrxFieldValue& v) {
    if (field == "BarkodNo") v = value;
  };
  TfrxBarCodeView v;
  v.SetDataSet(&data);
  v.DataField = "BarkodNo";
  v.Expression = "<Lab.\"Other\">";  // the field wins over the expression
  v.GetData();
  EXPECT_EQ(v.Text, "1500483197");
  value = std::string("[not an expression]");
  v.GetData();
  EXPECT_EQ(v.Text, "[not an expression]") << "field text is data, never evaluated";
}

TEST(BarcodeViewData, TextWithoutFieldOrExpressionStays) {
  TfrxBarCodeView v;
  v.Text = "[Date]";
  v.GetData();
  EXPECT_EQ(v.Text, "[Date]") << "Text is never scanned for brackets";
  TfrxUserDataSet data;
  v.SetDataSet(&data);
  v.GetData();  // a data set without a field name
  EXPECT_EQ(v.Text, "[Date]");
}

TEST(BarcodeViewData, ExpressionIsRefusedUntilExpressionsCanBeEvaluated) {
  TfrxBarCodeView v;
  v.Text = "12345678";
  v.Expression = "<Lab.\"BarkodNo\">";
  EXPECT_THROW(v.GetData(), std::runtime_error) << "never prints the designed sample as data";
}

TEST(BarcodeViewData, EncodingErrorBeforeDrawing) {
  struct Row {
    TfrxBarcodeType type;
    const char* text;
    bool checksum;
    const char* error;  // nullptr: some message
    const char* why;
  } rows[] = {
      {bcCode128C, "1500483197", false, "", "the label's number encodes"},
      {bcCode39, "12345678901", false, "", "the result label's number encodes"},
      {bcCodeEAN13, "40063813339A", false, "Barcode must be numeric", "a letter in EAN-13"},
      {bcCodeEAN13, "40063813339312", false, nullptr, "fourteen digits: never truncated"},
      {bcCode128C, "12A4", false, nullptr, "Code 128 C takes digits only"},
      {bcCode39, "", false, "", "an empty Code 39 is start and stop"},
      {bcCodeEAN128C, "12345", true, "", "EAN-128 C with its check digit"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.why);
    TfrxBarCodeView v;
    v.BarType = r.type;
    v.Text = r.text;
    v.CalcCheckSum = r.checksum;
    const std::string error = v.EncodingError();
    if (r.error == nullptr) {
      EXPECT_FALSE(error.empty());
    } else {
      EXPECT_EQ(error, r.error);
    }
    EXPECT_EQ(v.Text, r.text);
  }
}

}  // namespace
}  // namespace zentavo
