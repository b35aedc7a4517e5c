#pragma once
// The basic operations on GBK texts that the web helpers and the rest of the
// program rely on. A byte of 0x80 or above starts a two-byte character (a lead
// byte at the very end stands alone); every other byte is a one-byte character.
// Lengths and positions count bytes; positions are 1-based and NotFound (-1) means
// that nothing was found. None of the operations fails or keeps state.

#include <string_view>
#include <vector>

#include "platform/types.h"

namespace signmaker {

inline constexpr int NotFound = -1;

// The byte length of the character that begins at byte `offset` (0-based) of `text`:
// 2 for a lead byte with a byte after it, else 1.
std::size_t CharLength(std::string_view text, std::size_t offset);

// The position of the first occurrence of `needle` in `text` at or after position
// `start` (1 or less: from the first byte; beyond the end: nothing found). Matches
// begin only at character boundaries. A case-insensitive search treats an ASCII
// capital and its small letter as equal in one-byte characters; two-byte characters
// are compared byte for byte. An empty needle is found at position 1 of any
// non-empty text, whatever `start`, and nowhere in an empty text.
int Search(std::string_view text, std::string_view needle, int start = 1,
           bool caseSensitive = true);

// As Search, but the position of the last occurrence at or after `start`.
int SearchLast(std::string_view text, std::string_view needle, int start = 1,
               bool caseSensitive = true);

// Cuts `text` at every occurrence of `delimiter` (character boundaries, bytes
// compared exactly). An empty text gives no items; adjacent delimiters give an empty
// item, a leading one an empty first item; a trailing delimiter adds no empty item.
// An empty delimiter gives the whole text as the one item.
std::vector<Text> Split(std::string_view text, std::string_view delimiter);

// `text` without spaces (0x20) and full-width spaces (A1 A1) at both ends; tabs and
// line breaks stay.
Text Trim(std::string_view text);

// `text` without any space or full-width space.
Text RemoveSpaces(std::string_view text);

// `text` with every occurrence of `from` replaced by `to`, scanning left to right
// without overlap at character boundaries. An empty `text` or `from` changes nothing.
Text ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

// `text` with the ASCII capitals A to Z as small letters; two-byte characters stay.
Text Lower(std::string_view text);

// The first / last `count` bytes of `text`: all of it when it is shorter, empty when
// `count` is 0 or less.
Text Left(std::string_view text, int count);
Text Right(std::string_view text, int count);

}  // namespace signmaker
