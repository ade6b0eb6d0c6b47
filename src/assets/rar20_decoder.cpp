#include "assets/rar20_decoder.h"

#include <cstdlib>
#include <cstring>

namespace ravelin {
namespace {

// Sizes of the code-length blocks: literal/length, distance, repeat-length, audio channel and
// the code-length alphabet itself.
constexpr int kLiteralCodes = 298;
constexpr int kDistanceCodes = 48;
constexpr int kRepeatCodes = 28;
constexpr int kAudioCodes = 257;
constexpr int kLengthCodes = 19;

// Match length bases and extra bits (index = symbol - 270, or the repeat-length symbol).
constexpr uint8_t kLengthBase[28] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  10,  12,  14,  16,  20,
                                     24, 28, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224};
constexpr uint8_t kLengthExtra[28] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2,
                                      2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5};

// Distance bases and extra bits: the extra bits grow by one every second slot up to 16, and
// each base is the previous base plus the range its extra bits cover.
struct DistanceSlots {
    uint32_t base[48];
    uint8_t extra[48];
};
constexpr DistanceSlots makeDistanceSlots() {
    DistanceSlots s{};
    uint32_t base = 0;
    for (int i = 0; i < 48; ++i) {
        uint8_t bits = i < 4 ? 0 : static_cast<uint8_t>(i / 2 - 1);
        if (bits > 16) bits = 16;
        s.base[i] = base;
        s.extra[i] = bits;
        base += 1u << bits;
    }
    return s;
}
constexpr DistanceSlots kDistance = makeDistanceSlots();
static_assert(kDistance.base[47] == 983040 && kDistance.extra[47] == 16);
static_assert(kDistance.base[30] == 32768 && kDistance.extra[30] == 14);

// Short matches (symbols 261..268): length 2 at a small distance.
constexpr uint8_t kShortBase[8] = {0, 4, 8, 16, 32, 64, 128, 192};
constexpr uint8_t kShortExtra[8] = {2, 2, 3, 4, 5, 6, 6, 6};

}  // namespace

Rar20Decoder::Rar20Decoder(uint8_t* window, uint32_t windowSize)
    : window_(window), windowSize_(windowSize), windowMask_(windowSize - 1) {
    reset();
}

uint32_t Rar20Decoder::windowSizeFor(uint64_t bytes) {
    uint32_t size = kRarMinWindowSize;
    while (size < kRarWindowSize && size < bytes) size <<= 1;
    return size;
}

void Rar20Decoder::growWindow(uint8_t* window, uint32_t windowSize) {
    // The smaller window never wrapped, so every byte keeps its position in the bigger one.
    std::memcpy(window, window_, windowSize_);
    window_ = window;
    windowSize_ = windowSize;
    windowMask_ = windowSize - 1;
}

void Rar20Decoder::reset() {
    // A match reaching behind the first byte of a stream reads zeros, never stale data. A
    // window nothing was decoded into since it was cleared (or handed over) is left alone:
    // pages of a large calloc window stay untouched until the stream reaches them.
    if (windowDirty_) std::memset(window_, 0, windowSize_);
    windowDirty_ = false;
    windowPos_ = 0;
    std::memset(oldDist_, 0, sizeof oldDist_);
    oldDistPtr_ = 0;
    lastDist_ = 0;
    lastLength_ = 0;
    tablesRead_ = false;
    audioBlock_ = false;
    channels_ = 1;
    currentChannel_ = 0;
    channelDelta_ = 0;
    for (AudioChannel& a : audio_) a = AudioChannel{};
    std::memset(oldLengths_, 0, sizeof oldLengths_);
}

uint32_t Rar20Decoder::peek16() const {
    uint64_t byte = bitPos_ >> 3;
    if (byte + 3 <= inputSize_) {
        const uint8_t* p = input_ + byte;
        uint32_t v = static_cast<uint32_t>(p[0]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[2];
        return (v >> (8 - (bitPos_ & 7))) & 0xFFFF;
    }
    // Near the end: bytes beyond the data area read as zero.
    uint32_t v = 0;
    for (int i = 0; i < 3; ++i) {
        v <<= 8;
        if (byte + i < inputSize_) v |= input_[byte + i];
    }
    return (v >> (8 - (bitPos_ & 7))) & 0xFFFF;
}

bool Rar20Decoder::build(HuffmanTable& table, const uint8_t* lengths, int count) {
    uint16_t perLength[16] = {};
    for (int i = 0; i < count; ++i) ++perLength[lengths[i] & 15];
    perLength[0] = 0;
    uint32_t code = 0;
    uint16_t index = 0;
    uint16_t next[16] = {};
    for (int len = 1; len <= 15; ++len) {
        table.firstCode[len] = code;
        table.firstIndex[len] = index;
        next[len] = index;
        code += static_cast<uint32_t>(perLength[len]) << (16 - len);
        table.limit[len] = code;
        index = static_cast<uint16_t>(index + perLength[len]);
    }
    table.usable = false;
    // More codes than the bit space holds: no sound encoder writes this.
    if (code > 0x10000) return false;
    for (int i = 0; i < count; ++i) {
        int len = lengths[i] & 15;
        if (len) table.symbols[next[len]++] = static_cast<uint16_t>(i);
    }
    std::memset(table.quick, 0, sizeof table.quick);
    for (int len = 1; len <= HuffmanTable::kQuickBits; ++len) {
        for (uint16_t k = 0; k < perLength[len]; ++k) {
            uint32_t first = (table.firstCode[len] >> (16 - HuffmanTable::kQuickBits)) +
                             (static_cast<uint32_t>(k) << (HuffmanTable::kQuickBits - len));
            uint32_t span = 1u << (HuffmanTable::kQuickBits - len);
            uint16_t entry = static_cast<uint16_t>(table.symbols[table.firstIndex[len] + k] | (len << 9));
            for (uint32_t j = 0; j < span; ++j) table.quick[first + j] = entry;
        }
    }
    table.usable = true;
    return true;
}

int Rar20Decoder::decodeSymbol(const HuffmanTable& table) {
    if (!table.usable) return -1;
    uint32_t bits = peek16();
    uint16_t q = table.quick[bits >> (16 - HuffmanTable::kQuickBits)];
    if (q) {
        skip(q >> 9);
        return q & 0x1FF;
    }
    for (int len = HuffmanTable::kQuickBits + 1; len <= 15; ++len) {
        if (bits < table.limit[len]) {
            if (bits < table.firstCode[len]) return -1;
            uint32_t index = table.firstIndex[len] + ((bits - table.firstCode[len]) >> (16 - len));
            skip(static_cast<uint32_t>(len));
            return table.symbols[index];
        }
    }
    return -1;  // a pattern left free by an incomplete code
}

bool Rar20Decoder::readTables() {
    uint32_t header = peek16();
    audioBlock_ = (header & 0x8000) != 0;
    // Without the keep bit the new lengths are absolute, not deltas on the previous ones.
    if (!(header & 0x4000)) std::memset(oldLengths_, 0, sizeof oldLengths_);
    skip(2);
    int tableSize;
    if (audioBlock_) {
        channels_ = static_cast<int>((header >> 12) & 3) + 1;
        if (currentChannel_ >= channels_) currentChannel_ = 0;
        skip(2);
        tableSize = kAudioCodes * channels_;
    } else {
        tableSize = kLiteralCodes + kDistanceCodes + kRepeatCodes;
    }
    uint8_t codeLengths[kLengthCodes];
    for (uint8_t& l : codeLengths) l = static_cast<uint8_t>(readBits(4));
    if (!build(lengths_, codeLengths, kLengthCodes)) return false;

    uint8_t table[kAudioCodes * 4];
    int i = 0;
    while (i < tableSize) {
        if (overrun()) return false;
        int symbol = decodeSymbol(lengths_);
        if (symbol < 0) return false;
        if (symbol < 16) {
            // A delta on the length the previous table gave the same symbol.
            table[i] = static_cast<uint8_t>((symbol + oldLengths_[i]) & 15);
            ++i;
        } else if (symbol == 16) {
            // Repeats the entry just written in this table.
            uint32_t n = readBits(2) + 3;
            if (i == 0) return false;
            for (; n > 0 && i < tableSize; --n, ++i) table[i] = table[i - 1];
        } else {
            uint32_t n = symbol == 17 ? readBits(3) + 3 : readBits(7) + 11;
            for (; n > 0 && i < tableSize; --n, ++i) table[i] = 0;
        }
    }
    if (overrun()) return false;
    if (audioBlock_) {
        for (int c = 0; c < channels_; ++c)
            if (!build(audioTables_[c], table + c * kAudioCodes, kAudioCodes)) return false;
    } else {
        if (!build(literal_, table, kLiteralCodes) ||
            !build(distance_, table + kLiteralCodes, kDistanceCodes) ||
            !build(repeat_, table + kLiteralCodes + kDistanceCodes, kRepeatCodes))
            return false;
    }
    std::memcpy(oldLengths_, table, static_cast<size_t>(tableSize));
    tablesRead_ = true;
    return true;
}

void Rar20Decoder::readTablesAfterEnd() {
    // The packer may close an entry with a table switch meant for the next entry of a solid
    // archive; take it when enough input is left to hold one.
    if ((bitPos_ >> 3) + 5 > inputSize_) return;
    uint64_t saved = bitPos_;
    int symbol = audioBlock_ ? decodeSymbol(audioTables_[currentChannel_]) : decodeSymbol(literal_);
    if ((audioBlock_ && symbol == 256) || (!audioBlock_ && symbol == 269)) {
        if (!readTables()) tablesRead_ = false;
    } else {
        bitPos_ = saved;
    }
}

uint8_t Rar20Decoder::decodeAudio(int delta) {
    AudioChannel& v = audio_[currentChannel_];
    ++v.byteCount;
    v.d4 = v.d3;
    v.d3 = v.d2;
    v.d2 = v.lastDelta - v.d1;
    v.d1 = v.lastDelta;
    int predicted = 8 * v.lastChar + v.k[0] * v.d1 + v.k[1] * v.d2 + v.k[2] * v.d3 + v.k[3] * v.d4 +
                    v.k[4] * channelDelta_;
    predicted = (predicted >> 3) & 0xFF;
    int actual = (predicted - delta) & 0xFF;

    // Track how each candidate adjustment of the coefficients would have done.
    int d = static_cast<int8_t>(static_cast<uint8_t>(delta)) * 8;
    const int others[5] = {v.d1, v.d2, v.d3, v.d4, channelDelta_};
    v.dif[0] += static_cast<uint32_t>(std::abs(d));
    for (int i = 0; i < 5; ++i) {
        v.dif[1 + 2 * i] += static_cast<uint32_t>(std::abs(d - others[i]));
        v.dif[2 + 2 * i] += static_cast<uint32_t>(std::abs(d + others[i]));
    }
    v.lastDelta = static_cast<int8_t>(static_cast<uint8_t>(actual - v.lastChar));
    channelDelta_ = v.lastDelta;
    v.lastChar = actual;

    // Every 32 bytes nudge the coefficient whose change would have predicted best.
    if ((v.byteCount & 0x1F) == 0) {
        uint32_t minDif = v.dif[0];
        int best = 0;
        v.dif[0] = 0;
        for (int i = 1; i < 11; ++i) {
            if (v.dif[i] < minDif) {
                minDif = v.dif[i];
                best = i;
            }
            v.dif[i] = 0;
        }
        if (best > 0) {
            int& k = v.k[(best - 1) / 2];
            if (best & 1) {
                if (k >= -16) --k;
            } else {
                if (k < 16) ++k;
            }
        }
    }
    return static_cast<uint8_t>(actual);
}

void Rar20Decoder::put(uint8_t byte) {
    window_[windowPos_] = byte;
    windowPos_ = (windowPos_ + 1) & windowMask_;
    if (produced_ < outputSize_) {
        if (output_) output_[produced_] = byte;
        ++produced_;
    }
}

void Rar20Decoder::copyMatch(uint32_t length, uint32_t distance) {
    oldDist_[oldDistPtr_++ & 3] = distance;
    lastDist_ = distance;
    lastLength_ = length;
    if (distance > windowSize_) {
        // Only a window smaller than the format's can be reached past, and it holds the whole
        // stream: the match starts before the stream, where the full window holds zeros.
        for (uint32_t i = 0; i < length; ++i) put(0);
        return;
    }
    uint32_t from = (windowPos_ - distance) & windowMask_;
    // The common case: neither end wraps around the window and the output has room.
    if (from + length <= windowSize_ && windowPos_ + length <= windowSize_ &&
        outputSize_ - produced_ >= length) {
        uint8_t* to = window_ + windowPos_;
        const uint8_t* source = window_ + from;
        // Byte by byte: the ranges overlap when distance < length, which repeats the pattern.
        for (uint32_t i = 0; i < length; ++i) to[i] = source[i];
        if (output_) std::memcpy(output_ + produced_, to, length);
        produced_ += length;
        windowPos_ = (windowPos_ + length) & windowMask_;
        return;
    }
    for (uint32_t i = 0; i < length; ++i) {
        put(window_[from]);
        from = (from + 1) & windowMask_;
    }
}

bool Rar20Decoder::decode(const uint8_t* input, size_t inputSize, uint8_t* output, uint32_t outputSize,
                          bool continueSolid) {
    input_ = input;
    inputSize_ = input ? inputSize : 0;
    inputBits_ = static_cast<uint64_t>(inputSize_) * 8;
    bitPos_ = 0;
    output_ = output;
    outputSize_ = outputSize;
    produced_ = 0;
    if (!continueSolid) reset();
    if (outputSize == 0) return true;
    windowDirty_ = true;
    if (!continueSolid || !tablesRead_) {
        if (!readTables()) return false;
    }

    while (produced_ < outputSize_) {
        if (overrun()) return false;
        if (audioBlock_) {
            int symbol = decodeSymbol(audioTables_[currentChannel_]);
            if (symbol < 0) return false;
            if (symbol == 256) {
                if (!readTables()) return false;
                continue;
            }
            put(decodeAudio(symbol));
            if (++currentChannel_ == channels_) currentChannel_ = 0;
            continue;
        }

        int symbol = decodeSymbol(literal_);
        if (symbol < 0) return false;
        if (symbol < 256) {
            put(static_cast<uint8_t>(symbol));
        } else if (symbol >= 270) {
            int slot = symbol - 270;
            uint32_t length = kLengthBase[slot] + 3u;
            if (kLengthExtra[slot]) length += readBits(kLengthExtra[slot]);
            int distSlot = decodeSymbol(distance_);
            if (distSlot < 0) return false;
            uint32_t distance = kDistance.base[distSlot] + 1;
            if (kDistance.extra[distSlot]) distance += readBits(kDistance.extra[distSlot]);
            if (distance >= 0x2000) {
                ++length;
                if (distance >= 0x40000) ++length;
            }
            copyMatch(length, distance);
        } else if (symbol == 269) {
            if (!readTables()) return false;
        } else if (symbol == 256) {
            copyMatch(lastLength_, lastDist_);
        } else if (symbol < 261) {
            uint32_t distance = oldDist_[(oldDistPtr_ - static_cast<uint32_t>(symbol - 256)) & 3];
            int slot = decodeSymbol(repeat_);
            if (slot < 0) return false;
            uint32_t length = kLengthBase[slot] + 2u;
            if (kLengthExtra[slot]) length += readBits(kLengthExtra[slot]);
            if (distance >= 0x101) {
                ++length;
                if (distance >= 0x2000) {
                    ++length;
                    if (distance >= 0x40000) ++length;
                }
            }
            copyMatch(length, distance);
        } else {
            int slot = symbol - 261;
            uint32_t distance = kShortBase[slot] + 1u;
            if (kShortExtra[slot]) distance += readBits(kShortExtra[slot]);
            copyMatch(2, distance);
        }
    }
    if (overrun()) return false;
    readTablesAfterEnd();
    return true;
}

}  // namespace ravelin
