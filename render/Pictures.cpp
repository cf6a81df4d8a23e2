// Picture objects: the decoded graphic fitted into the object.
#include "render/Painters.h"

#include <algorithm>

#include "render/Frames.h"
#include "render/RenderState.h"
#include "report/frxViews.h"

namespace zentavo {
namespace {

void DrawPicture(TfrxPictureView& p, Canvas& canvas, double scaleX, double scaleY, double offsetX,
                 double offsetY) {
  p.BeginDraw(canvas, scaleX, scaleY, offsetX, offsetY);
  p.DrawBackground();
  const std::shared_ptr<const Bitmap> bitmap = RenderStateOf(p).Picture(p.Picture);
  if (bitmap && !bitmap->Empty()) {
    const int l = p.Device.left, t = p.Device.top, r = p.Device.right, b = p.Device.bottom;
    const int w = r - l, h = b - t;
    const int pw = bitmap->width, ph = bitmap->height;
    zentavo::Rect target{l, t, r, b};
    if (p.Stretched) {
      if (p.KeepAspectRatio) {
        const double kx = static_cast<double>(w) / pw, ky = static_cast<double>(h) / ph;
        if (ky > kx) {
          target.bottom = t + RoundHalfEven(ph * kx);
        } else {
          target.right = l + RoundHalfEven(pw * ky);
        }
        if (p.Center) {
          const int dx = (w + l - target.right) / 2, dy = (h + t - target.bottom) / 2;
          target = zentavo::Rect{target.left + dx, target.top + dy, target.right + dx, target.bottom + dy};
        }
      }
      canvas.DrawBitmap(*bitmap, target);
    } else {
      CanvasStateGuard guard(canvas);
      canvas.IntersectClip(zentavo::Rect{l, t, r, b});
      const int sw = RoundHalfEven(pw * p.ScaleX), sh = RoundHalfEven(ph * p.ScaleY);
      int x = l, y = t;
      if (p.Center) {
        x += (w - sw) / 2;
        y += (h - sh) / 2;
      }
      canvas.DrawBitmap(*bitmap, zentavo::Rect{x, y, x + sw, y + sh});
    }
  }
  p.DrawFrame();
}

}  // namespace

void RegisterPicturePainter() { RegisterDrawing<TfrxPictureView, &DrawPicture>(); }

}  // namespace zentavo
