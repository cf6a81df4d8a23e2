// Per-report drawing state: text engine and decoded pictures.
#include "render/RenderState.h"

#include <stdexcept>

#include "platform/Images.h"
#include "report/frxComponent.h"
#include "report/frxGraphic.h"

namespace zentavo {
namespace {

// Pictures are few and repeat on every label: decode each distinct one once,
// keeping at most this many pictures and pixels.
constexpr std::size_t kCachedPictures = 16;
constexpr std::size_t kCachedPixels = 48'000'000;

}  // namespace

std::shared_ptr<const Bitmap> RenderState::Picture(const TfrxPicture& picture) {
  if (picture.Empty()) return nullptr;
  std::string key = picture.GraphicClass;
  key += '\0';
  key += picture.Data;
  {
    std::lock_guard lock(picturesLock_);
    if (auto it = pictures_.find(key); it != pictures_.end()) return it->second;
  }
  std::shared_ptr<const Bitmap> bitmap;
  try {
    bitmap = std::make_shared<const Bitmap>(DecodePicture(picture));
  } catch (const ImageError&) {
    // Reported when the template was read; the object keeps the bytes and
    // is drawn without them, as a metafile is.
    bitmap = std::make_shared<const Bitmap>();
  }
  std::lock_guard lock(picturesLock_);
  const std::size_t pixels = bitmap->argb.size();
  if (pictures_.size() >= kCachedPictures || cachedPixels_ + pixels > kCachedPixels) {
    pictures_.clear();
    cachedPixels_ = 0;
  }
  if (pixels <= kCachedPixels && pictures_.emplace(std::move(key), bitmap).second) cachedPixels_ += pixels;
  return bitmap;
}

RenderState& RenderStateOf(TfrxComponent& object) {
  auto* state = dynamic_cast<RenderState*>(&object.RenderContext());
  // Only the renderer makes render contexts; another kind means it was not
  // installed before the report was created.
  if (state == nullptr) throw std::runtime_error("The renderer is not installed");
  return *state;
}

}  // namespace zentavo
