// Code conversion on glibc iconv. One conversion descriptor per call, so that any
// number of threads can convert at once.

#include <iconv.h>

#include <bit>
#include <cerrno>
#include <cstring>
#include <string>

#include "platform/code_conversion.h"

namespace signmaker::platform {
namespace {

constexpr std::string_view Utf16Native =
    std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

class Converter {
 public:
  Converter(std::string_view from, std::string_view to)
      : handle_(iconv_open(std::string(to).c_str(), std::string(from).c_str())) {}
  ~Converter() {
    if (valid()) iconv_close(handle_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return handle_; }

 private:
  iconv_t handle_;
};

// How many bytes of the source text that iconv refused make up one unit to replace.
using SkipRule = std::size_t (*)(std::string_view rest);

std::size_t SkipGbk(std::string_view rest) {
  const auto lead = static_cast<unsigned char>(rest[0]);
  if (lead >= 0x81 && lead <= 0xFE && rest.size() >= 2) {
    const auto trail = static_cast<unsigned char>(rest[1]);
    if (trail >= 0x40 && trail <= 0xFE && trail != 0x7F) return 2;
  }
  return 1;
}

std::size_t SkipUtf8(std::string_view rest) {
  const auto lead = static_cast<unsigned char>(rest[0]);
  std::size_t length = 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
  }
  if (length > rest.size()) return 1;
  for (std::size_t i = 1; i < length; ++i) {
    if ((static_cast<unsigned char>(rest[i]) & 0xC0) != 0x80) return 1;
  }
  return length;
}

std::size_t SkipUtf16(std::string_view rest) {
  if (rest.size() < 2) return rest.size();
  char16_t unit;
  std::memcpy(&unit, rest.data(), 2);
  if (unit >= 0xD800 && unit <= 0xDBFF && rest.size() >= 4) {
    char16_t next;
    std::memcpy(&next, rest.data() + 2, 2);
    if (next >= 0xDC00 && next <= 0xDFFF) return 4;
  }
  return 2;
}

// Runs `input` through a converter from `from` to `to`. Without a skip rule any
// refused or cut-off sequence fails the whole conversion; with one, each refused
// unit is replaced by `replacement` (bytes in `to`) and the conversion goes on.
std::optional<std::string> Run(std::string_view input, std::string_view from, std::string_view to,
                               SkipRule skip, std::string_view replacement) {
  Converter converter(from, to);
  if (!converter.valid()) return std::nullopt;

  std::string output;
  std::string chunk(4096, '\0');
  char* in = const_cast<char*>(input.data());
  std::size_t inLeft = input.size();
  while (inLeft > 0) {
    char* out = chunk.data();
    std::size_t outLeft = chunk.size();
    const std::size_t result = iconv(converter.get(), &in, &inLeft, &out, &outLeft);
    const int error = result == static_cast<std::size_t>(-1) ? errno : 0;
    output.append(chunk.data(), chunk.size() - outLeft);
    if (error == 0 || error == E2BIG) continue;
    if (skip == nullptr) return std::nullopt;
    // EILSEQ: an invalid or unwritable unit; EINVAL: a unit cut off at the end.
    const std::size_t count =
        error == EINVAL ? inLeft : std::min(inLeft, skip(std::string_view(in, inLeft)));
    output.append(replacement);
    in += count;
    inLeft -= count;
  }
  // Returns a stateful encoder to its initial state; nothing for the encodings used here.
  char* out = chunk.data();
  std::size_t outLeft = chunk.size();
  iconv(converter.get(), nullptr, nullptr, &out, &outLeft);
  output.append(chunk.data(), chunk.size() - outLeft);
  return output;
}

std::string Utf16Bytes(std::u16string_view units) {
  return std::string(reinterpret_cast<const char*>(units.data()), units.size() * 2);
}

std::u16string Utf16Units(const std::string& bytes) {
  std::u16string units(bytes.size() / 2, u'\0');
  std::memcpy(units.data(), bytes.data(), units.size() * 2);
  return units;
}

class IconvCodeConversion final : public CodeConversion {
 public:
  std::optional<Bytes> Convert(const Bytes& bytes, std::string_view from,
                               std::string_view to) const override {
    const std::string_view input(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    const auto output = Run(input, from, to, nullptr, {});
    if (!output) return std::nullopt;
    return BytesFromText(*output);
  }

  std::string GbkToUtf8(std::string_view gbk) const override {
    return Run(gbk, "GBK", "UTF-8", SkipGbk, "?").value_or(std::string());
  }

  Text Utf8ToGbk(std::string_view utf8) const override {
    return Run(utf8, "UTF-8", "GBK", SkipUtf8, "?").value_or(Text());
  }

  std::u16string GbkToUtf16(std::string_view gbk) const override {
    return Utf16Units(Run(gbk, "GBK", Utf16Native, SkipGbk, Utf16Bytes(u"?")).value_or(""));
  }

  Text Utf16ToGbk(std::u16string_view utf16) const override {
    return Run(Utf16Bytes(utf16), Utf16Native, "GBK", SkipUtf16, "?").value_or(Text());
  }
};

}  // namespace

const CodeConversion& CodeConversion::Default() {
  static const IconvCodeConversion conversion;
  return conversion;
}

}  // namespace signmaker::platform
