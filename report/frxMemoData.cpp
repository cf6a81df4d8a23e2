// What a memo prints: its data field, or its text with the expressions
// replaced by their values; then its highlight, the suppression of a
// repeated text and the text that flows on into the FlowTo memo.
#include <set>
#include <stdexcept>

#include "platform/Cp1254.h"
#include "platform/Text.h"
#include "report/frxDataSet.h"
#include "report/frxExpressions.h"
#include "report/frxFormatData.h"
#include "report/frxReport.h"
#include "report/frxReportScript.h"
#include "report/frxViews.h"

namespace zentavo {

namespace {

// HideZeros hides numbers equal to 0, never the text "0".
bool IsZeroNumber(const Variant& v) {
  if (v.IsEmptyOrNull() || v.IsString() || v.IsObject() || v.IsArray()) return false;
  try {
    return VarEquals(v, Variant::Int(0));
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace

void TfrxCustomMemoView::BeforeStartReport() {
  TfrxStretcheable::BeforeStartReport();
  lastPrinted_.reset();
}

std::string TfrxCustomMemoView::EvaluateBracket(TfrxReport& report, const std::string& bracket) {
  BracketText b = SplitDisplayFormat(bracket);
  // The page count is known only when the pages are drawn: the token stays
  // for the drawing to replace.
  Value = cp1254::SameText(b.expression, "TotalPages#") ? Variant::String("[TotalPages#]") : report.Calc(b.expression);
  if (HideZeros && IsZeroNumber(Value)) return {};
  return FormatData(Value, b.format ? &*b.format : &DisplayFormat);
}

void TfrxCustomMemoView::GetFieldData(TfrxDataSet& dataSet) {
  if (dataSet.IsBlobField(DataField)) {
    dataSet.AssignBlobTo(DataField, *this);
    return;
  }
  Value = FieldValueToVariant(dataSet.Value(DataField));
  std::string text =
      DisplayFormat.Kind != TfrxFormatKind::fkText ? FormatData(Value, &DisplayFormat) : dataSet.DisplayText(DataField);
  if (HideZeros && IsZeroNumber(Value)) text.clear();
  Memo.SetSingleByteText(text);
}

void TfrxCustomMemoView::FlowIntoTarget(TfrxCustomMemoView& target) {
  // A chain that comes back would hand the text round for ever.
  std::set<const TfrxCustomMemoView*> seen{this};
  for (const TfrxCustomMemoView* m = &target; m != nullptr; m = m->FlowTo())
    if (!seen.insert(m).second) throw std::runtime_error(Name() + ": FlowTo leads back to " + m->Name());
  InitPart();
  DrawPart();
  target.Memo.SetText(PartText());
  // The rest was expanded here already: it is shown as it stands.
  target.AllowExpressions = false;
}

void TfrxCustomMemoView::GetData() {
  TfrxStretcheable::GetData();
  TfrxReport* report = Report();
  if (report == nullptr) return;
  if (TfrxDataSet* ds = DataSet(); ds != nullptr && !DataField.empty()) {
    GetFieldData(*ds);
  } else if (AllowExpressions) {
    Memo.SetText(ExpandExpressions(Memo.Text(), SplitDelimiters(ExpressionDelimiters),
                                   [&](const std::string& bracket) { return EvaluateBracket(*report, bracket); }));
  }
  report->Script().SetValue(Value);

  Highlight.Active = false;
  if (!TrimBlanks(Highlight.Condition).empty()) {
    Variant condition = report->Calc(Highlight.Condition);
    try {
      Highlight.Active = condition.ToBool();
    } catch (const std::exception& e) {
      throw std::runtime_error(Name() + ": " + e.what());
    }
  }

  if (SuppressRepeated) {
    if (lastPrinted_ && *lastPrinted_ == Memo.Lines)
      Memo.Clear();
    else
      lastPrinted_ = Memo.Lines;
  }

  if (TfrxCustomMemoView* target = FlowTo()) FlowIntoTarget(*target);
}

}  // namespace zentavo
