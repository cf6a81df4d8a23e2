// The renderer's per-report state: the report's one text layout engine and
// the pictures it has decoded. Each report owns one (through the model's
// render context); objects that belong to no report use the one of the tree
// they are in.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/Canvas.h"
#include "render/frxGraphicUtils.h"
#include "report/frxServices.h"
#include "report/frxTypes.h"

namespace zentavo {

class TfrxComponent;

class RenderState final : public TfrxRenderContext {
 public:
  TfrxDrawText& TextEngine() { return text_; }
  // The picture's pixels, decoded once per distinct picture; none for an
  // empty picture or a metafile; no pixels for damaged data.
  std::shared_ptr<const Bitmap> Picture(const TfrxPicture& picture);

 private:
  TfrxDrawText text_;
  std::mutex picturesLock_;
  std::map<std::string, std::shared_ptr<const Bitmap>> pictures_;
  std::size_t cachedPixels_ = 0;
};

// The render state of the object's report (or tree).
RenderState& RenderStateOf(TfrxComponent& object);

}  // namespace zentavo
