// CRC-32 (the common reflected polynomial 0xEDB88320) used to check archive entries.
// Called by AssetArchive and the archive tool; stateless.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ravelin {

// Continues a running CRC: pass 0 to start; the result of one call can be passed to the next.
uint32_t crc32Update(uint32_t crc, const uint8_t* data, size_t size);
inline uint32_t crc32(const uint8_t* data, size_t size) { return crc32Update(0, data, size); }

}  // namespace ravelin
