// RAR 2.0 decompressor (LZ77 over a 1 MiB window with Huffman-coded symbols, plus the
// multimedia mode that predicts audio-like bytes for up to four channels).
// Called by AssetArchive::extract; the caller owns the window and the output buffer, the
// decoder owns only its tables and keeps them between entries of a solid archive. The window
// may be smaller than the format's 1 MiB when the caller knows the stream fits in it
// (windowSizeFor): clearing 1 MiB for a few hundred bytes of output is most of the work.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ravelin {

constexpr uint32_t kRarWindowSize = 0x100000;
constexpr uint32_t kRarMinWindowSize = 0x1000;
// The longest match (260 bytes) may run past the requested output: one decode call passes at
// most its output size plus this many bytes through the window.
constexpr uint32_t kRarMaxMatch = 260;

class Rar20Decoder {
public:
    // window: windowSize bytes, all zero (calloc, a value-initialised vector), owned by the
    // caller and alive as long as this decoder is used; the size a power of two from
    // kRarMinWindowSize to kRarWindowSize. A window smaller than the format's decodes exactly
    // as the full one while the stream since the last reset fits in it: a match reaching
    // before the stream's start reads zeros in both.
    explicit Rar20Decoder(uint8_t* window, uint32_t windowSize = kRarWindowSize);

    // The window size that holds `bytes` of stream without wrapping (the full window beyond).
    static uint32_t windowSizeFor(uint64_t bytes);
    // Moves to a bigger window, all zero as above, before the stream outgrows the current one;
    // the bytes so far are copied over at the same positions. The old window may be freed
    // afterwards.
    void growWindow(uint8_t* window, uint32_t windowSize);

    // Forgets everything of earlier entries (a new, non-solid stream): clears the window,
    // the distances, the stored code lengths and the audio predictors.
    void reset();

    // Decodes one entry's data area (input, inputSize) into exactly outputSize bytes. With
    // output null the bytes only pass through the window (an entry of a solid archive that is
    // not wanted). continueSolid keeps the window position, distances and tables of the entry
    // before and reads no tables first unless none were read yet. False on malformed or
    // truncated input; nothing outside input, output and the window is ever touched.
    bool decode(const uint8_t* input, size_t inputSize, uint8_t* output, uint32_t outputSize,
                bool continueSolid);

private:
    // Canonical Huffman code of at most 15 bits.
    struct HuffmanTable {
        static constexpr int kQuickBits = 9;
        uint32_t limit[16] = {};      // left-justified 16-bit bound of the codes of length <= n
        uint32_t firstCode[16] = {};  // left-justified first code of length n
        uint16_t firstIndex[16] = {};
        uint16_t symbols[298] = {};
        uint16_t quick[1 << kQuickBits] = {};  // symbol | length << 9; 0 when longer or unused
        bool usable = false;
    };

    struct AudioChannel {
        int k[5] = {};
        int d1 = 0, d2 = 0, d3 = 0, d4 = 0;
        int lastDelta = 0;
        uint32_t dif[11] = {};
        uint32_t byteCount = 0;
        int lastChar = 0;
    };

    // Bit input over the data area; bytes beyond its end read as zero, and overrun() tells
    // that more bits were consumed than the area holds.
    uint32_t peek16() const;
    void skip(uint32_t count) { bitPos_ += count; }
    bool overrun() const { return bitPos_ > inputBits_; }
    uint32_t readBits(uint32_t count) {
        uint32_t v = peek16() >> (16 - count);
        skip(count);
        return v;
    }

    static bool build(HuffmanTable& table, const uint8_t* lengths, int count);
    int decodeSymbol(const HuffmanTable& table);  // -1 for a code that is not in the table
    bool readTables();
    void readTablesAfterEnd();
    uint8_t decodeAudio(int delta);
    void put(uint8_t byte);
    void copyMatch(uint32_t length, uint32_t distance);

    uint8_t* window_;
    uint32_t windowSize_;
    uint32_t windowMask_;
    uint32_t windowPos_ = 0;
    bool windowDirty_ = false;  // the window may hold bytes other than zero

    const uint8_t* input_ = nullptr;
    size_t inputSize_ = 0;
    uint64_t inputBits_ = 0;
    uint64_t bitPos_ = 0;

    uint8_t* output_ = nullptr;
    uint32_t outputSize_ = 0;
    uint32_t produced_ = 0;

    uint32_t oldDist_[4] = {};
    uint32_t oldDistPtr_ = 0;
    uint32_t lastDist_ = 0;
    uint32_t lastLength_ = 0;

    bool tablesRead_ = false;
    bool audioBlock_ = false;
    int channels_ = 1;
    int currentChannel_ = 0;
    int channelDelta_ = 0;
    AudioChannel audio_[4];
    uint8_t oldLengths_[257 * 4] = {};

    HuffmanTable literal_;   // 298 literals and lengths
    HuffmanTable distance_;  // 48
    HuffmanTable repeat_;    // 28
    HuffmanTable lengths_;   // 19 code-length codes
    HuffmanTable audioTables_[4];  // 257 each
};

}  // namespace ravelin
