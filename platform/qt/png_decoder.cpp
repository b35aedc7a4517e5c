#include "platform/qt/png_decoder.h"

#include <png.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace signmaker::platform::qt {
namespace {

constexpr png_byte Signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// The bytes libpng reads from.
struct MemorySource {
  const Bytes* bytes = nullptr;
  std::size_t offset = 0;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count) {
  auto* source = static_cast<MemorySource*>(png_get_io_ptr(png));
  if (count > source->bytes->size() - source->offset) png_error(png, "truncated");
  std::memcpy(out, source->bytes->data() + source->offset, count);
  source->offset += count;
}

[[noreturn]] void FailDecoding(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void IgnoreWarning(png_structp, png_const_charp) {}

// Owns libpng's read and info structures.
class PngReader {
 public:
  explicit PngReader(const Bytes& bytes) {
    source_.bytes = &bytes;
    png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, FailDecoding, IgnoreWarning);
    if (png_ == nullptr) return;
    info_ = png_create_info_struct(png_);
    if (info_ == nullptr) return;
    png_set_read_fn(png_, &source_, ReadFromMemory);
    png_set_user_limits(png_, MaxPictureSide, MaxPictureSide);
  }
  ~PngReader() { png_destroy_read_struct(&png_, info_ != nullptr ? &info_ : nullptr, nullptr); }
  PngReader(const PngReader&) = delete;
  PngReader& operator=(const PngReader&) = delete;

  bool valid() const { return png_ != nullptr && info_ != nullptr; }
  png_structp png() const { return png_; }
  png_infop info() const { return info_; }

 private:
  MemorySource source_;
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
};

// The two functions below hold a setjmp each: they keep no objects with destructors,
// so that libpng's longjmp on an error skips nothing that must be released.

// Reads the header and asks libpng for 8-bit RGBA rows. False on an error.
bool ReadHeader(const PngReader& reader, png_uint_32* width, png_uint_32* height) {
  png_structp png = reader.png();
  png_infop info = reader.info();
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_info(png, info);
  png_set_expand(png);
  png_set_strip_16(png);
  png_set_gray_to_rgb(png);
  png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  *width = png_get_image_width(png, info);
  *height = png_get_image_height(png, info);
  return png_get_rowbytes(png, info) == static_cast<png_size_t>(*width) * 4;
}

bool ReadRows(const PngReader& reader, png_bytepp rows) {
  png_structp png = reader.png();
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_image(png, rows);
  png_read_end(png, nullptr);
  return true;
}

}  // namespace

bool HasPngSignature(const Bytes& bytes) {
  return bytes.size() >= sizeof Signature && std::equal(Signature, Signature + sizeof Signature, bytes.begin());
}

QImage DecodePng(const Bytes& bytes) {
  if (!HasPngSignature(bytes)) return {};
  PngReader reader(bytes);
  if (!reader.valid()) return {};
  png_uint_32 width = 0, height = 0;
  if (!ReadHeader(reader, &width, &height)) return {};
  if (width == 0 || height == 0 ||
      static_cast<unsigned long long>(width) * height > MaxPicturePixels) {
    return {};
  }
  QImage image(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGBA8888);
  if (image.isNull()) return {};
  std::vector<png_bytep> rows(height);
  for (png_uint_32 y = 0; y < height; ++y) rows[y] = image.scanLine(static_cast<int>(y));
  if (!ReadRows(reader, rows.data())) return {};
  return image;
}

}  // namespace signmaker::platform::qt
