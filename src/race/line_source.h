// Where the race text readers (keyframe files, car looks) take their lines from: an open
// AssetFile in the running program (race_loading.cpp adapts it), or a byte buffer in tests and
// fuzzers. Both deliver lines as AssetFile::readLine does. Sources borrow their bytes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ravelin {

class LineSource {
public:
    virtual ~LineSource() = default;
    // Leading spaces dropped, CR removed, cut at capacity - 1. True when the line ended at a
    // line feed; false when the data ran out (the buffer still holds the last partial line).
    virtual bool readLine(char* buffer, size_t capacity) = 0;
};

// The same line rules over bytes in memory.
class BufferLineSource final : public LineSource {
public:
    BufferLineSource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool readLine(char* buffer, size_t capacity) override;

private:
    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
};

}  // namespace ravelin
