// The state a canvas keeps for its backends: pen, brush, background,
// smoothing and the clipping rectangle, saved and restored as a stack.
#include "platform/Canvas.h"

#include <algorithm>
#include <stdexcept>

namespace zentavo {

Rect Intersect(const Rect& a, const Rect& b) {
  Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
         std::min(a.bottom, b.bottom)};
  if (r.Empty()) return Rect{r.left, r.top, r.left, r.top};
  return r;
}

Canvas::Canvas(CanvasKind kind, int dpiX, int dpiY, int width, int height)
    : kind_(kind), dpiX_(dpiX), dpiY_(dpiY), width_(width), height_(height) {
  if (dpiX <= 0 || dpiY <= 0) throw std::invalid_argument("Canvas resolution must be positive");
}

void Canvas::SetPageSize(int width, int height) {
  width_ = width;
  height_ = height;
}

void Canvas::Save() {
  saved_.push_back(state_);
  OnSave();
}

void Canvas::Restore() {
  if (saved_.empty()) return;  // unbalanced Restore: nothing to bring back
  state_ = saved_.back();
  saved_.pop_back();
  OnRestore();
}

void Canvas::IntersectClip(const Rect& rect) {
  state_.clip = Intersect(ClipBox(), rect);
  OnIntersectClip(*state_.clip);
}

Rect Canvas::ClipBox() const {
  if (state_.clip) return *state_.clip;
  return Rect{0, 0, width_, height_};
}

bool Canvas::RectVisible(const Rect& rect) const {
  return !Intersect(ClipBox(), rect).Empty();
}

}  // namespace zentavo
