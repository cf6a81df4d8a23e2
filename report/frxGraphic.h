// What the bytes of a picture hold: the kind of graphic by its first bytes,
// and its pixels decoded (through the platform's decoders). The template
// reader refuses damaged pictures with this; the renderer draws the pixels.
#pragma once

#include <string_view>

#include "platform/Canvas.h"
#include "report/frxTypes.h"

namespace zentavo {

enum class GraphicKind { None, Bitmap, Jpeg, Metafile, EnhancedMetafile, Icon };

// The kind by the first bytes, in the order a picture field is tried:
// "BM" (14 bytes at least), FF D8 (2), a placeable metafile's key
// 9AC6CDD7 (22), " EMF" at byte 40 (100), a 16-bit value below 2 at byte 2 (6).
GraphicKind DetectGraphicKind(std::string_view bytes);

// The picture's pixels; empty for an empty picture, a metafile (drawn as an
// empty frame: no metafile player is part of our platform) or a graphic
// class we do not know. Throws ImageError for damaged data.
Bitmap DecodePicture(const TfrxPicture& picture);

// Throws ImageError when the picture's bytes do not decode.
void CheckPicture(const TfrxPicture& picture);

}  // namespace zentavo
