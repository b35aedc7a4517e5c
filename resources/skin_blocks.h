#pragma once
// The skin engine and its skin file as the program carries them: two constant byte
// blocks, built from skin/ and written out at start as "jedata.dll" and "皮肤.she".

#include <cstdint>
#include <span>

namespace signmaker {

// The skin engine library (exports SkinH_AttachEx).
std::span<const std::uint8_t> SkinEngineBlock();

// The skin file that the engine applies.
std::span<const std::uint8_t> SkinFileBlock();

}  // namespace signmaker
