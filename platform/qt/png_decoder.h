#pragma once
// PNG pictures decoded with libpng.

#include <QImage>

#include "platform/types.h"

namespace signmaker::platform::qt {

// Pictures wider or taller than this, or with more pixels than the second limit,
// are refused before any pixel memory is taken.
inline constexpr unsigned MaxPictureSide = 16384;
inline constexpr unsigned long long MaxPicturePixels = 32ull * 1024 * 1024;

// True when `bytes` begin with the eight-byte PNG signature.
bool HasPngSignature(const Bytes& bytes);

// The picture held by `bytes` as a 32-bit RGBA image; a null image when the bytes are
// no PNG picture, are damaged or truncated, or exceed the limits above. Never crashes
// on hostile data. Any thread.
QImage DecodePng(const Bytes& bytes);

}  // namespace signmaker::platform::qt
