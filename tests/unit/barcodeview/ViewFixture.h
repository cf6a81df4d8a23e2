// Small helpers for the barcode view tests: a view with given settings, and
// the recorded fills and texts of a drawing.
#pragma once

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "barcode/frxBarcode.h"
#include "platform/RecordingCanvas.h"

namespace zentavo::testing {

struct Fill {
  Rect rect;
  std::string color;  // "#RRGGBB"
};

// FillRect lines of a recording, in order.
inline std::vector<Fill> Fills(const RecordingCanvas& canvas) {
  std::vector<Fill> out;
  for (const std::string& call : canvas.Calls()) {
    Fill f;
    char color[8] = {};
    if (std::sscanf(call.c_str(), "FillRect %d %d %d %d brush=Solid %7s", &f.rect.left, &f.rect.top, &f.rect.right,
                    &f.rect.bottom, color) == 5) {
      f.color = color;
      out.push_back(f);
    }
  }
  return out;
}

// The black fills (bars), and the rectangle around them.
inline std::vector<Rect> Bars(const RecordingCanvas& canvas) {
  std::vector<Rect> out;
  for (const Fill& f : Fills(canvas))
    if (f.color == "#000000") out.push_back(f.rect);
  return out;
}

inline Rect Around(const std::vector<Rect>& rects) {
  if (rects.empty()) return {};
  Rect r = rects.front();
  for (const Rect& x : rects) {
    r.left = std::min(r.left, x.left), r.top = std::min(r.top, x.top);
    r.right = std::max(r.right, x.right), r.bottom = std::max(r.bottom, x.bottom);
  }
  return r;
}

struct TextCall {
  int x = 0, y = 0;
  std::string text;
  std::string font;  // e.g. "Arial"
  int height = 0;    // negative: em in device pixels
  std::string color;
};

// Text lines of a recording: Text X Y "..." font=NAME HEIGHT STYLE #COLOR ...
inline std::vector<TextCall> Texts(const RecordingCanvas& canvas) {
  std::vector<TextCall> out;
  for (const std::string& call : canvas.Calls()) {
    if (call.rfind("Text ", 0) != 0) continue;
    TextCall t;
    std::sscanf(call.c_str(), "Text %d %d", &t.x, &t.y);
    auto q1 = call.find('"');
    auto q2 = call.find("\" font=", q1 + 1);
    t.text = call.substr(q1 + 1, q2 - q1 - 1);
    char font[64] = {}, color[8] = {};
    int style = 0;
    std::sscanf(call.c_str() + q2 + 7, "%63s %d %d %7s", font, &t.height, &style, color);
    t.font = font;
    t.color = color;
    out.push_back(t);
  }
  return out;
}

struct ViewSetup {
  TfrxBarcodeType type = bcCode39;
  const char* text = "12345678";
  double ratio = 2;
  double zoom = 1;
  int rotation = 0;
  TfrxHAlign hAlign = TfrxHAlign::haLeft;
  double left = 10, top = 10, width = 100, height = 50;
};

inline void SetUp(TfrxBarCodeView& v, const ViewSetup& s) {
  v.BarType = s.type;
  v.Text = s.text;
  v.WideBarRatio = s.ratio;
  v.Zoom = s.zoom;
  v.Rotation = s.rotation;
  v.HAlign = s.hAlign;
  v.SetBounds(s.left, s.top, s.width, s.height);
}

}  // namespace zentavo::testing
