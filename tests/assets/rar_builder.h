// Test helper: builds small archives in the RAR 1.5-2.x block format in memory, and a
// minimal RAR 2.0 bit-stream writer with fixed, evenly sized codes so that tests can state
// the expected output of every symbol by hand. Used by the archive tests and the benchmark.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "assets/crc32.h"

namespace ravelin::testing {

struct RarEntry {
    std::string name;
    std::vector<uint8_t> packed;  // the data area as it goes into the archive
    uint32_t unpackedSize = 0;
    uint32_t crc = 0;
    uint8_t method = 0x30;
    uint8_t version = 20;
    uint16_t flags = 0x8000;
};

inline RarEntry storedEntry(std::string name, std::vector<uint8_t> bytes) {
    RarEntry e;
    e.name = std::move(name);
    e.unpackedSize = static_cast<uint32_t>(bytes.size());
    e.crc = crc32(bytes.data(), bytes.size());
    e.packed = std::move(bytes);
    return e;
}

inline RarEntry directoryEntry(std::string name) {
    RarEntry e;
    e.name = std::move(name);
    e.flags = 0x80E0;
    return e;
}

inline RarEntry packedEntry(std::string name, std::vector<uint8_t> packed, const std::vector<uint8_t>& content,
                            uint16_t extraFlags = 0) {
    RarEntry e;
    e.name = std::move(name);
    e.packed = std::move(packed);
    e.unpackedSize = static_cast<uint32_t>(content.size());
    e.crc = crc32(content.data(), content.size());
    e.method = 0x33;
    e.flags = static_cast<uint16_t>(0x8000 | extraFlags);
    return e;
}

class RarBuilder {
public:
    explicit RarBuilder(uint16_t mainFlags = 0) {
        bytes_ = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00};
        // Main header: CRC, type 0x73, flags, size 13, reserved.
        put16(0);
        bytes_.push_back(0x73);
        put16(mainFlags);
        put16(13);
        put16(0);
        put32(0);
    }
    RarBuilder& add(const RarEntry& e) {
        put16(0);
        bytes_.push_back(0x74);
        put16(e.flags);
        put16(static_cast<uint16_t>(32 + e.name.size()));
        put32(static_cast<uint32_t>(e.packed.size()));
        put32(e.unpackedSize);
        bytes_.push_back(2);
        put32(e.crc);
        put32(0);
        bytes_.push_back(e.version);
        bytes_.push_back(e.method);
        put16(static_cast<uint16_t>(e.name.size()));
        put32(e.flags & 0x00E0 ? 0x10 : 0x20);
        bytes_.insert(bytes_.end(), e.name.begin(), e.name.end());
        bytes_.insert(bytes_.end(), e.packed.begin(), e.packed.end());
        return *this;
    }
    // Any other block: 7-byte head, optional u32 data size, padding to headerSize, data.
    RarBuilder& block(uint8_t type, uint16_t flags, uint16_t headerSize, uint32_t dataSize = 0) {
        size_t start = bytes_.size();
        put16(0);
        bytes_.push_back(type);
        put16(flags);
        put16(headerSize);
        if (flags & 0x8000) put32(dataSize);
        while (bytes_.size() < start + headerSize) bytes_.push_back(0);
        if (flags & 0x8000) bytes_.insert(bytes_.end(), dataSize, 0xEE);
        return *this;
    }
    RarBuilder& end() { return block(0x7B, 0x4000, 7); }
    const std::vector<uint8_t>& bytes() const { return bytes_; }

private:
    void put16(uint16_t v) {
        bytes_.push_back(static_cast<uint8_t>(v));
        bytes_.push_back(static_cast<uint8_t>(v >> 8));
    }
    void put32(uint32_t v) {
        put16(static_cast<uint16_t>(v));
        put16(static_cast<uint16_t>(v >> 16));
    }
    std::vector<uint8_t> bytes_;
};

// Writes RAR 2.0 bit streams with flat codes: in LZ mode every literal/length symbol is 9 bits
// (its own number), every distance symbol 6 bits, every repeat-length symbol 5 bits; in audio
// mode every symbol of every channel is 9 bits. The code-length alphabet uses 5 bits each.
class Rar20Writer {
public:
    void bits(uint32_t value, int count) {
        for (int i = count - 1; i >= 0; --i) {
            if (bitCount_ % 8 == 0) out_.push_back(0);
            if ((value >> i) & 1) out_.back() |= static_cast<uint8_t>(0x80 >> (bitCount_ % 8));
            ++bitCount_;
        }
    }
    // Table header and lengths. With keep, lengths are written as deltas on the last table.
    void tables(bool audio = false, int channels = 1, bool keep = false) {
        bits(audio ? 1 : 0, 1);
        bits(keep ? 1 : 0, 1);
        if (audio) bits(static_cast<uint32_t>(channels - 1), 2);
        for (int i = 0; i < 19; ++i) bits(5, 4);
        std::vector<uint8_t> lengths;
        if (audio) {
            lengths.assign(257u * channels, 9);
        } else {
            lengths.assign(298, 9);
            lengths.insert(lengths.end(), 48, 6);
            lengths.insert(lengths.end(), 28, 5);
        }
        if (!keep) old_.assign(257 * 4, 0);
        for (size_t i = 0; i < lengths.size(); ++i) bits((lengths[i] - old_[i]) & 15, 5);
        for (size_t i = 0; i < lengths.size(); ++i) old_[i] = lengths[i];
    }
    void symbol(int s) { bits(static_cast<uint32_t>(s), 9); }
    void distanceSymbol(int s) { bits(static_cast<uint32_t>(s), 6); }
    void repeatSymbol(int s) { bits(static_cast<uint32_t>(s), 5); }
    // Bytes so far, padded so that the decoder's end check finds input left.
    std::vector<uint8_t> finish(size_t padding = 0) const {
        std::vector<uint8_t> v = out_;
        v.insert(v.end(), padding, 0);
        return v;
    }

private:
    std::vector<uint8_t> out_;
    std::vector<uint8_t> old_ = std::vector<uint8_t>(257 * 4, 0);
    uint64_t bitCount_ = 0;
};

}  // namespace ravelin::testing
