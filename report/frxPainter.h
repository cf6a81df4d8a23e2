// Drawing and measuring of views as the layers above install them: render/
// registers a painter for each class it draws (frames and fills, memos,
// lines, shapes, pictures), barcode/ draws its own class. The model's virtual
// operations (Draw, DrawBackground, DrawFrame, CalcHeight, CalcWidth,
// DrawPart) ask the painter of the object's class or its nearest ancestor.
#pragma once

namespace zentavo {

class Canvas;
class TfrxCustomMemoView;
class TfrxStretcheable;
class TfrxView;

class TfrxPainter {
 public:
  virtual ~TfrxPainter() = default;
  // BeginDraw, DrawBackground and DrawFrame unless a class draws more.
  virtual void Draw(TfrxView& view, Canvas& canvas, double scaleX, double scaleY, double offsetX,
                    double offsetY) const;
  virtual void DrawBackground(TfrxView&) const {}
  virtual void DrawFrame(TfrxView&) const {}
  // The height the object needs; its Height unless a class measures.
  virtual double CalcHeight(TfrxStretcheable& object) const;
  virtual double CalcWidth(TfrxCustomMemoView& memo) const;
  // Lays out the next part of a split object and returns the height left
  // free below it (a memo keeps the text still to place itself).
  virtual double DrawPart(TfrxStretcheable& object) const;
};

// The painter that draws nothing but the view's rectangle bookkeeping: what a
// program without a renderer gets.
const TfrxPainter& PlainPainter();

}  // namespace zentavo
