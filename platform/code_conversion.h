#pragma once
// Code conversion between named character encodings. Texts inside the program are
// GBK; the window toolkit and file names on disk use UTF-8, the form encoding needs
// GB2312 -> UTF-8, escape decoding works in UTF-16. No operation throws; every
// operation may be called from any thread at the same time.

#include <optional>
#include <string>
#include <string_view>

#include "platform/types.h"

namespace signmaker::platform {

class CodeConversion {
 public:
  virtual ~CodeConversion() = default;

  // Converts `bytes` from the encoding named `from` to the one named `to` (names as
  // the system's converter knows them, e.g. "GB2312", "GBK", "UTF-8"). Returns
  // nullopt when the input holds a sequence that is not valid in `from` (a cut-off
  // character at the end included), when a character cannot be written in `to`, or
  // when either name is unknown. Empty input gives empty bytes.
  virtual std::optional<Bytes> Convert(const Bytes& bytes, std::string_view from,
                                       std::string_view to) const = 0;

  // GBK text as UTF-8. A byte sequence that is no GBK character becomes "?".
  virtual std::string GbkToUtf8(std::string_view gbk) const = 0;

  // UTF-8 as GBK text. A character that GBK cannot hold, and a byte sequence that
  // is no UTF-8 character, becomes "?".
  virtual Text Utf8ToGbk(std::string_view utf8) const = 0;

  // GBK text as UTF-16 units. A byte sequence that is no GBK character becomes u'?'.
  virtual std::u16string GbkToUtf16(std::string_view gbk) const = 0;

  // UTF-16 units as GBK text. A character that GBK cannot hold becomes "?" (a
  // surrogate pair is one character and gives one "?"); so does a lone surrogate.
  virtual Text Utf16ToGbk(std::u16string_view utf16) const = 0;

  // The system's converter.
  static const CodeConversion& Default();
};

}  // namespace signmaker::platform
