// The report object tree: names, parent and children, geometry in pixels at
// 96 per inch, inherited font, alignment of children, and the base classes of
// everything printable (TfrxReportComponent, TfrxView, TfrxStretcheable).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "report/frxProps.h"
#include "platform/Streams.h"
#include "report/frxDataSetLink.h"
#include "report/frxObjectRef.h"
#include "report/frxTypes.h"

namespace zentavo {

class Canvas;  // platform/Canvas.h
class TfrxPage;
class TfrxRenderContext;
class TfrxReport;
class TfrxDataSet;

class TfrxComponent : public TfrxPersistent {
 public:
  // A report object given as owner becomes the parent (and the new object
  // takes its font); the parent owns and destroys its children.
  explicit TfrxComponent(TfrxComponent* owner = nullptr);
  ~TfrxComponent() override;
  TfrxComponent(const TfrxComponent&) = delete;
  TfrxComponent& operator=(const TfrxComponent&) = delete;

  static const ClassInfo& StaticClassInfo();
  const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

  // ---- name
  const std::string& Name() const { return name_; }
  std::string GetName() const { return name_; }
  // Fails with "prDupl" when another object of the report has the name, with
  // "''X'' is not a valid component name" when it is not an identifier.
  void SetName(const std::string& name);
  void CreateUniqueName();
  // Class name without its first "Tfrx" and first "View": "Memo", "BarCode".
  virtual std::string BaseName() const;
  int Tag = 0;

  // ---- tree
  TfrxComponent* Parent() const { return parent_; }
  // Refuses the object itself or one of its descendants as the new parent.
  virtual void SetParent(TfrxComponent* parent);
  const std::vector<TfrxComponent*>& Objects() const { return objects_; }
  // All descendants in pre-order, rebuilt on every call.
  const std::vector<TfrxComponent*>& AllObjects();
  // First descendant (pre-order) whose name equals `name`, ASCII letters
  // compared ignoring case; never this object itself.
  TfrxComponent* FindObject(std::string_view name);
  TfrxPage* Page();
  TfrxReport* Report();
  const TfrxReport* Report() const;
  // Whether an object of this class may be a child here (template loading).
  virtual bool AcceptsChild(const TfrxComponent& child) const;

  // ---- geometry
  double Left() const { return left_; }
  double Top() const { return top_; }
  double Width() const { return width_; }
  double Height() const { return height_; }
  virtual void SetLeft(double v);
  virtual void SetTop(double v);
  virtual void SetWidth(double v);
  virtual void SetHeight(double v);
  void SetBounds(double left, double top, double width, double height);
  double AbsLeft() const;
  double AbsTop() const;

  // ---- font
  const TfrxFont& Font() const { return font_; }
  TfrxFont& Font() { return font_; }  // changes through its setters count as edits
  TfrxFont* FontObject() { return &font_; }
  void SetFont(const TfrxFont& font);
  bool ParentFont() const { return parentFont_; }
  virtual void SetParentFont(bool value);

  // ---- flags
  bool Visible() const { return visible_; }
  virtual void SetVisible(bool value) { visible_ = value; }
  std::uint32_t Restrictions = 0;  // TfrxRestriction bits
  int GroupIndex = 0;
  bool IsDesigning = false;
  bool IsLoadingFlag = false;
  bool IsLoading() const;

  // ---- operations
  virtual void AlignChildren();
  virtual void BeforeStartReport() {}
  virtual void Clear();  // destroys all children
  // The template format (report/frxXMLSerializer.h). The object keeps its own
  // name whatever the stream says; reading problems go to the report's errors.
  virtual void LoadFromStream(TStream& stream);
  virtual void SaveToStream(TStream& stream, bool saveChildren = true, bool saveDefaultValues = false);
  // Attribute text of the properties that differ from `ref` (prepared pages),
  // as the class's difference attributes declare it (report/frxDiff.h).
  virtual std::string Diff(const TfrxComponent& ref) const;
  virtual std::string GetDescription() const { return ClassName(); }
  // Copies every property but the name (AssignAll: children too).
  void Assign(TfrxComponent& source);
  void AssignAll(TfrxComponent& source);
  // Told once the whole tree around it has been read.
  virtual void Loaded() {}

  // The renderer's state this object draws with: its report's, or for a tree
  // outside any report, the report the tree was made for (prepared pages
  // rebuilt by a report's store), else one owned by the tree's root.
  TfrxRenderContext& RenderContext();
  // Marks a tree that stands outside the report's own tree as made for it.
  void SetContextReport(TfrxReport* report) { contextReport_ = report; }

  // Expires when the object is destroyed (see TfrxObjectRef).
  std::weak_ptr<const void> LifeToken() const { return life_; }

 protected:
  // A child following this object's font without taking it as its own choice.
  void PropagateFont();
  virtual void FontChanged();

  double left_ = 0, top_ = 0, width_ = 0, height_ = 0;

 private:
  void CollectAll(std::vector<TfrxComponent*>& out) const;
  std::string name_;
  TfrxComponent* parent_ = nullptr;
  std::vector<TfrxComponent*> objects_;
  std::vector<TfrxComponent*> allObjects_;
  TfrxFont font_;
  bool parentFont_ = true;
  bool visible_ = true;
  std::shared_ptr<const int> life_ = std::make_shared<const int>(0);
  TfrxReport* contextReport_ = nullptr;  // outlives the tree: the report owns the store that made it
  std::unique_ptr<TfrxRenderContext> ownContext_;
};

// Printable objects: bands and views.
class TfrxReportComponent : public TfrxComponent {
 public:
  using TfrxComponent::TfrxComponent;
  static const ClassInfo& StaticClassInfo();
  const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

  std::string Description;

  // Draws the object; the renderer supplies the drawing of each class.
  virtual void Draw(Canvas& canvas, double scaleX, double scaleY, double offsetX, double offsetY);
  virtual void BeforePrint();
  virtual void GetData() {}
  virtual void AfterPrint();
  virtual std::string GetComponentText() { return {}; }
  struct Rect {
    double left, top, right, bottom;
  };
  virtual Rect GetRealBounds();

 private:
  double savedLeft_ = 0, savedTop_ = 0, savedWidth_ = 0, savedHeight_ = 0;
};

// Device rectangle of a view while it draws (whole device pixels).
struct DeviceRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

class TfrxView : public TfrxReportComponent {
 public:
  explicit TfrxView(TfrxComponent* owner = nullptr);
  static const ClassInfo& StaticClassInfo();
  const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
  bool AcceptsChild(const TfrxComponent& child) const override;

  TfrxAlign Align = TfrxAlign::baNone;
  TBrushStyle BrushStyle = TBrushStyle::bsSolid;
  TColor Color = clNone;
  int Cursor = 0;
  std::string DataField;
  TfrxFrame Frame;
  bool Printable = true;
  TfrxShiftMode ShiftMode = TfrxShiftMode::smAlways;
  std::string TagStr;
  std::string URL;
  std::string OnAfterData, OnAfterPrint, OnBeforePrint, OnPreviewClick;

  // Data binding: the data source is looked up by user name among the
  // report's data sources; a name that finds none is remembered.
  TfrxDataSet* DataSet() const;
  void SetDataSet(TfrxDataSet* dataSet);
  std::string DataSetName() const;
  void SetDataSetName(const std::string& name);

  void Draw(Canvas& canvas, double scaleX, double scaleY, double offsetX, double offsetY) override;
  // Stores the canvas and scales and computes the device rectangle.
  virtual void BeginDraw(Canvas& canvas, double scaleX, double scaleY, double offsetX, double offsetY);
  // Fill and border with its shadow.
  virtual void DrawBackground();
  virtual void DrawFrame();
  void BeforePrint() override;
  void AfterPrint() override;
  // Expands the expressions in brackets of TagStr and URL.
  void GetData() override;

  // Drawing state kept by BeginDraw for the drawing steps.
  Canvas* DrawCanvas = nullptr;
  double ScaleX = 1, ScaleY = 1, OffsetX = 0, OffsetY = 0;
  DeviceRect Device;
  int FrameWidthPx = 0;

 private:
  TfrxDataSetLink dataSet_;
  std::string savedTagStr_, savedURL_;
};

class TfrxStretcheable : public TfrxView {
 public:
  using TfrxView::TfrxView;
  static const ClassInfo& StaticClassInfo();
  const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
  TfrxStretchMode StretchMode = TfrxStretchMode::smDontStretch;
  // Measured by the painter of the object's class.
  virtual double CalcHeight();
  virtual double DrawPart();
  virtual void InitPart() {}
};

}  // namespace zentavo
