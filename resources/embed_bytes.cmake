# cmake -DINPUT=file -DOUTPUT=file.cpp -DFUNCTION=Name -P embed_bytes.cmake
# Writes a C++ source that defines `std::span<const std::uint8_t> signmaker::Name()`
# returning the bytes of INPUT.
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hex_length)
if(hex_length EQUAL 0)
  message(FATAL_ERROR "embed_bytes: ${INPUT} is empty")
endif()
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){24})" "\\1\n" bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp"
  "// Generated from ${INPUT}; do not edit.\n"
  "#include \"resources/skin_blocks.h\"\n\n"
  "namespace signmaker {\n"
  "namespace {\n"
  "alignas(16) const std::uint8_t Block[] = {\n${bytes}\n};\n"
  "}  // namespace\n\n"
  "std::span<const std::uint8_t> ${FUNCTION}() { return Block; }\n\n"
  "}  // namespace signmaker\n")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
