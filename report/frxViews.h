// The printable view classes: text (memo), line, shape, picture, subreport,
// and the registered classes we keep verbatim (dialog and dot-matrix objects).
// Their drawing belongs to the painters the renderer installs.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "report/frxComponent.h"
#include "script/fs_ivariant.h"

namespace zentavo {

class TfrxDataSet;
class TfrxReport;
class TfrxReportPage;

class TfrxCustomMemoView : public TfrxStretcheable {
 public:
  explicit TfrxCustomMemoView(TfrxComponent* owner = nullptr);
  static const ClassInfo& StaticClassInfo();
  const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

  TWideStrings Memo;
  // The memo's text as UTF-8 lines joined by CR LF (convenience for jobs).
  // The value of the last expression the memo evaluated (null until then).
  Variant Value = Variant::Null();
  std::string Text() const { return Memo.Utf8Text(); }
  void SetText(std::string_view utf8) { Memo.SetUtf8Text(utf8); }

  bool AllowExpressions = true;
  bool AllowHTMLTags = false;
  bool AutoWidth = false;
  double CharSpacing = 0;
  bool Clipped = true;
  TfrxFormat DisplayFormat;
  std::string ExpressionDelimiters = "[,]";
  double GapX = 2;
  double GapY = 1;
  TfrxHAlign HAlign = TfrxHAlign::haLeft;
  bool HideZeros = false;
  TfrxHighlight Highlight;
  double LineSpacing = 2;
  double ParagraphGap = 0;
  bool RTLReading = false;
  std::string Style;
  bool SuppressRepeated = false;
  bool Underlines = false;
  TfrxVAlign VAlign = TfrxVAlign::vaTop;
  bool WordBreak = false;
  bool WordWrap = true;
  int Rotation() const { return rotation_; }
  void SetRotation(int degrees);  // stored modulo 360
  TfrxCustomMemoView* FlowTo() const;
  void SetFlowTo(TfrxCustomMemoView* memo) { flowTo_.Reset(memo); }

  // Text drawing and measuring: the memo painter the renderer installs.
  virtual double CalcWidth();
  void InitPart() override;
  // The text still to be placed by DrawPart, from InitPart on.
  std::u16string& PartText() { return partText_; }
  // Set by the print or preview drawing to the number of prepared pages;
  // replaces "[TOTALPAGES#]" when the memo draws.
  int TotalPages = 0;
  void BeforePrint() override;
  void AfterPrint() override;
  void BeforeStartReport() override;
  // SuppressRepeated starts again: the next text is printed whatever it is.
  void ForgetLastPrinted() { lastPrinted_.reset(); }
  // The memo's text for this print: a data field's, or its own with every
  // expression replaced by its value; then Highlight, SuppressRepeated and
  // FlowTo have their say.
  void GetData() override;
  std::string GetComponentText() override { return Text(); }

 private:
  std::string EvaluateBracket(TfrxReport& report, const std::string& bracket);
  void GetFieldData(TfrxDataSet& dataSet);
  void FlowIntoTarget(TfrxCustomMemoView& target);
  int rotation_ = 0;
  // The text printed last, for SuppressRepeated (none before the first).
  std::optional<std::vector<std::u16string>> lastPrinted_;
  TfrxObjectRef<TfrxCustomMemoView> flowTo_;
  TWideStrings savedMemo_;
  std::u16string partText_;  // the text still to be placed by DrawPart
};

class TfrxMemoView : public TfrxCustomMemoView {
 public:
  using TfrxCustomMemoView::TfrxCustomMemoView;
  static const ClassInfo& StaticClassInfo();
  const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
};

class TfrxSysMemoView : public TfrxCustomMemoView {
 public:
  using TfrxCustomMemoView::TfrxCustomMemoView;
  static const ClassInfo& StaticClassInfo();
  const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
  std::string GetDescription() const override;
};

class TfrxCustomLineView : public TfrxStretcheable {
 public:
  using TfrxStretcheable::TfrxStretcheable;
  static const ClassInfo& StaticClassInfo();
  const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
  bool Diagonal = false;
};

class TfrxLineView : public TfrxCustomLineView {
 public:
  using TfrxCustomLineView::TfrxCustomLineView;
  static const ClassInfo& StaticClassInfo();
  const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
};

class TfrxShapeView : public TfrxView {
 public:
  using TfrxView::TfrxView;
  static const ClassInfo& StaticClassInfo();
  const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
  TfrxShapeKind Shape = TfrxShapeKind::skRectangle;
  int Curve = 0;
};

class TfrxPictureView : public TfrxView {
 public:
  // Its background is white and not published.
  explicit TfrxPictureView(TfrxComponent* owner = nullptr) : TfrxView(owner) { Color = clWhite; }
  static const ClassInfo& StaticClassInfo();
  const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
  std::string GetDescription() const override;
  TfrxPicture Picture;
  TfrxPicture* PictureObject() { return &Picture; }
  bool AutoSize = false;
  bool Center = false;
  bool KeepAspectRatio = true;
  bool Stretched = true;
  // Set by preparation when the picture changed (prepared pages keep only those).
  bool PictureChanged = false;
  // Reads a bitmap, JPEG, icon or metafile from the stream's current
  // position and returns 0, or E_INVALIDARG with the picture cleared when the
  // bytes are no graphic of those kinds or a damaged one.
  int LoadPictureFromStream(TStream& stream);
  static constexpr int E_INVALIDARG = static_cast<int>(0x80070057u);
};

class TfrxSubreport : public TfrxView {
 public:
  using TfrxView::TfrxView;
  static const ClassInfo& StaticClassInfo();
  const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
  TfrxReportPage* SubPage() const;
  void SetSubPage(TfrxReportPage* page);
  bool PrintOnParent = false;

 private:
  TfrxObjectRef<TfrxReportPage> page_;
};

// A registered class whose properties we do not model (report dialogs,
// dot-matrix objects): it keeps the attribute text it was read with and
// writes it back unchanged, so such files round-trip.
class TfrxVerbatimObject : public TfrxReportComponent {
 public:
  TfrxVerbatimObject(const ClassInfo& info, TfrxComponent* owner);
  const ClassInfo& GetClassInfo() const override { return info_; }
  bool AcceptsChild(const TfrxComponent& child) const override;
  bool IsPage() const;
  std::string RawAttributes;  // without Name; starts with a space when not empty

 private:
  const ClassInfo& info_;
};

}  // namespace zentavo
