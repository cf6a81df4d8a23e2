// Fuzzes picture loading: the first byte picks the bitmap, JPEG or icon
// decoder or the picture view's loader (kind detection, field header), the
// rest is the picture's bytes. Damaged data must give ImageError or
// E_INVALIDARG, never a crash or an exit.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Images.h"
#include "platform/Streams.h"
#include "report/frxViews.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zentavo;
  if (size < 1 || size > 65536) return 0;
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  try {
    switch (data[0] % 4) {
      case 0: (void)DecodeBmp(bytes); break;
      case 1: (void)DecodeJpeg(bytes); break;
      case 2: (void)DecodeIcon(bytes); break;
      default: {
        TfrxPictureView view;
        TMemoryStream stream{std::string(bytes)};
        (void)view.LoadPictureFromStream(stream);
        break;
      }
    }
  } catch (const ImageError&) {
  }
  return 0;
}
