#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "assets/asset_file.h"
#include "assets/rar20_decoder.h"
#include "rar_builder.h"
#include "test_support.h"

using namespace ravelin;
using namespace ravelin::testing;

namespace {

std::vector<uint8_t> bytesOf(std::string_view s) { return {s.begin(), s.end()}; }

bool extractTo(const std::vector<uint8_t>& archive, std::string_view name, std::vector<uint8_t>& out) {
    uint32_t size = 99;
    std::unique_ptr<uint8_t[]> bytes(AssetArchive::extract({archive.data(), archive.size()}, name, size));
    out.clear();
    if (!bytes) {
        EXPECT_EQ(size, 0u);
        return false;
    }
    out.assign(bytes.get(), bytes.get() + size);
    return true;
}

// Decodes one stream with a fresh decoder.
bool decodeStream(const std::vector<uint8_t>& packed, std::vector<uint8_t>& out, uint32_t size) {
    std::vector<uint8_t> window(kRarWindowSize);
    Rar20Decoder decoder(window.data());
    out.assign(size, 0xCC);
    return decoder.decode(packed.data(), packed.size(), out.data(), size, false);
}

const char* const kEntries[] = {"p0.bin", "p1.bin", "p2.bin", "p3.bin", "p4.bin", "p5.bin", "pMM.bin"};

class RealArchive : public ::testing::Test {
protected:
    void SetUp() override {
        std::string dir = std::string(RAVELIN_SHARED_DIR) + "/testdata/rar/";
        archive = readFile(dir + "test_v2.rar");
        etalon = readFile(dir + "etalon.bin");
        if (archive.empty() || etalon.empty())
            GTEST_SKIP() << "test_v2.rar / etalon.bin not found under " << dir << " (shared test data absent)";
    }
    std::vector<uint8_t> archive;
    std::vector<uint8_t> etalon;
};

}  // namespace

TEST_F(RealArchive, EverySevenEntriesExtractToTheEtalon) {
    ASSERT_EQ(etalon.size(), 16384u);
    for (const char* name : kEntries) {
        std::vector<uint8_t> out;
        ASSERT_TRUE(extractTo(archive, name, out)) << name;
        EXPECT_TRUE(out == etalon) << name;
    }
}

TEST_F(RealArchive, FlippedDataByteFailsThatEntryOnly) {
    // Data areas of the compressed entries, from the block headers: flip one byte in the
    // middle of each and only that entry may fail.
    size_t position = 20;
    std::vector<std::pair<size_t, size_t>> areas;
    while (position + 32 <= archive.size()) {
        size_t header = archive[position + 5] | archive[position + 6] << 8;
        size_t packed = archive[position + 7] | archive[position + 8] << 8 | archive[position + 9] << 16;
        areas.push_back({position + header, packed});
        position += header + packed;
    }
    ASSERT_EQ(areas.size(), 7u);
    for (size_t i = 0; i < areas.size(); ++i) {
        for (size_t at : {areas[i].first + areas[i].second / 2, areas[i].first + 3, areas[i].first + areas[i].second - 8}) {
            auto bad = archive;
            bad[at] ^= 0x10;
            std::vector<uint8_t> out;
            for (size_t j = 0; j < areas.size(); ++j)
                EXPECT_EQ(extractTo(bad, kEntries[j], out), i != j) << "flip in " << kEntries[i] << " at " << at;
        }
    }
}

TEST_F(RealArchive, TruncatedCopiesFailCleanly) {
    std::vector<size_t> cuts;
    for (size_t cut = 0; cut < 64; ++cut) cuts.push_back(cut);
    size_t position = 20;
    std::vector<size_t> ends;
    while (position + 32 <= archive.size()) {
        size_t header = archive[position + 5] | archive[position + 6] << 8;
        size_t packed = archive[position + 7] | archive[position + 8] << 8 | archive[position + 9] << 16;
        for (long d = -40; d <= 40; ++d) cuts.push_back(static_cast<size_t>(static_cast<long>(position) + d));
        cuts.push_back(position + header + packed / 2);
        position += header + packed;
        ends.push_back(position);
    }
    for (size_t k = 1; k < 300; ++k) cuts.push_back(archive.size() * k / 300);
    for (size_t cut : cuts) {
        if (cut >= archive.size()) continue;
        std::vector<uint8_t> part(archive.begin(), archive.begin() + static_cast<long>(cut));
        for (size_t j = 0; j < 7; ++j) {
            std::vector<uint8_t> out;
            bool ok = extractTo(part, kEntries[j], out);
            EXPECT_EQ(ok, ends[j] <= cut) << kEntries[j] << " cut at " << cut;
            if (ok) {
                EXPECT_TRUE(out == etalon);
            }
        }
    }
}

TEST_F(RealArchive, DecoderRejectsShortenedDataAreas) {
    // The same stream with its data area cut short (headers kept consistent) fails.
    size_t position = 20 + 38 + 16384;  // p1.bin
    size_t header = archive[position + 5];
    size_t packed = archive[position + 7] | archive[position + 8] << 8;
    std::vector<uint8_t> stream(archive.begin() + static_cast<long>(position + header),
                                archive.begin() + static_cast<long>(position + header + packed));
    std::vector<uint8_t> out;
    ASSERT_TRUE(decodeStream(stream, out, 16384));
    EXPECT_TRUE(out == etalon);
    for (size_t keep = 0; keep + 1 < packed; keep += 97) {
        std::vector<uint8_t> shortStream(stream.begin(), stream.begin() + static_cast<long>(keep));
        EXPECT_FALSE(decodeStream(shortStream, out, 16384)) << keep;
    }
}

TEST(Rar20Stream, LiteralsAndMatches) {
    Rar20Writer w;
    w.tables();
    for (char c : std::string("abc")) w.symbol(c);
    // Symbol 270: length 3; distance slot 2: distance 3.
    w.symbol(270);
    w.distanceSymbol(2);
    // Symbol 256 repeats the last match.
    w.symbol(256);
    // Short match symbol 261: length 2, distance 1 + 2 extra bits (value 1) = 2.
    w.symbol(261);
    w.bits(1, 2);
    std::vector<uint8_t> out;
    ASSERT_TRUE(decodeStream(w.finish(), out, 11));
    EXPECT_EQ(std::string(out.begin(), out.end()), "abcabcabcbc");
}

TEST(Rar20Stream, LengthAndDistanceExtraBitsAndLongDistanceBonus) {
    Rar20Writer w;
    w.tables();
    w.symbol('x');
    w.symbol('y');
    // Length slot 8 (base 8 + 1 extra bit = 1) + 3 = 12, distance slot 1 -> 2.
    w.symbol(270 + 8);
    w.bits(1, 1);
    w.distanceSymbol(1);
    std::vector<uint8_t> out;
    ASSERT_TRUE(decodeStream(w.finish(), out, 14));
    EXPECT_EQ(std::string(out.begin(), out.end()), "xyxyxyxyxyxyxy");

    // A distance of 0x2000 or more lengthens the match by one: 8192 zero bytes of window
    // precede nothing here, so the copy yields zeros, but the count shows the bonus.
    Rar20Writer far;
    far.tables();
    far.symbol('q');
    far.symbol(270);        // length 3
    far.distanceSymbol(26);  // base 8192 + 12 extra bits
    far.bits(0, 12);       // distance 8193
    far.symbol('z');
    ASSERT_TRUE(decodeStream(far.finish(), out, 6));
    EXPECT_EQ(out, (std::vector<uint8_t>{'q', 0, 0, 0, 0, 'z'}));
}

TEST(Rar20Stream, RepeatedDistanceRingAndRepeatLengths) {
    Rar20Writer w;
    w.tables();
    for (char c : std::string("abcd")) w.symbol(c);
    w.symbol(270);  // length 3, distance 4 ("abc")
    w.distanceSymbol(3);
    w.symbol(270);  // length 3, distance 2
    w.distanceSymbol(1);
    // 257: the distance one back in the ring (4), length slot 0 + 2 = 2.
    w.symbol(257);
    w.repeatSymbol(0);
    // 258: two back... the ring now holds 4, 2, 4 -> two back is 2; length 2 + slot 1 = 3.
    w.symbol(258);
    w.repeatSymbol(1);
    std::vector<uint8_t> out;
    ASSERT_TRUE(decodeStream(w.finish(), out, 15));
    // abcd | abc (dist 4) | bc (dist 2 -> "bc") ... computed step by step:
    // after abcd: "abcd"; +3 from 4 back: "abcdabc"; +3 from 2 back: "abcdabcbcb";
    // +2 from 4 back: "abcdabcbcbcb"; +3 from 2 back: "abcdabcbcbcbcbc".
    EXPECT_EQ(std::string(out.begin(), out.end()), "abcdabcbcbcbcbc");
}

TEST(Rar20Stream, TableRereadAppliesDeltasToPreviousLengths) {
    Rar20Writer w;
    w.tables();
    w.symbol('a');
    w.symbol(269);
    w.tables(false, 1, true);  // the same lengths written as zero deltas
    w.symbol('b');
    std::vector<uint8_t> out;
    ASSERT_TRUE(decodeStream(w.finish(), out, 2));
    EXPECT_EQ(std::string(out.begin(), out.end()), "ab");
}

TEST(Rar20Stream, RepeatCodeRepeatsPreviousEntryOfTheTableBeingRead) {
    // Literal lengths written as "9" then symbol 16 repeats (3 + 3 per code); an old table
    // holding other values must not leak into the repeated entries.
    Rar20Writer w;
    w.bits(0, 2);
    for (int i = 0; i < 19; ++i) w.bits(5, 4);
    int written = 0;
    w.bits(9, 5);
    ++written;
    while (written + 6 <= 298) {
        w.bits(16, 5);
        w.bits(3, 2);
        written += 6;
    }
    while (written < 298) {
        w.bits(9, 5);
        ++written;
    }
    for (int i = 0; i < 48; ++i) w.bits(6, 5);
    for (int i = 0; i < 28; ++i) w.bits(5, 5);
    w.symbol('k');
    w.symbol(297);  // the last literal/length symbol: slot 27, 5 extra bits
    w.bits(0, 5);
    w.distanceSymbol(0);  // distance 1
    std::vector<uint8_t> out;
    ASSERT_TRUE(decodeStream(w.finish(), out, 1 + 227));
    EXPECT_EQ(out, std::vector<uint8_t>(228, 'k'));
}

TEST(Rar20Stream, AudioModeConstantSignal) {
    Rar20Writer w;
    w.tables(true, 1);
    // Start at 0; a delta of 251 (-5) makes 5, then zero deltas keep the prediction at 5 while
    // the coefficients are still 0 (they adapt only every 32 bytes).
    w.symbol(251);
    for (int i = 0; i < 20; ++i) w.symbol(0);
    std::vector<uint8_t> out;
    ASSERT_TRUE(decodeStream(w.finish(), out, 21));
    EXPECT_EQ(out[0], 5);
    // The second byte predicts 8*5 + 0 >> 3 = 5 with all coefficients zero.
    for (int i = 1; i < 21; ++i) EXPECT_EQ(out[i], 5) << i;
}

TEST(Rar20Stream, AudioChannelsAlternateAndTableSwitchBackToLz) {
    Rar20Writer w;
    w.tables(true, 2);
    w.symbol(256 - 10);  // channel 0: 10
    w.symbol(256 - 20);  // channel 1: 20
    w.symbol(256);       // back to a new table (in channel 0's table)
    w.tables(false);
    w.symbol('!');
    std::vector<uint8_t> out;
    ASSERT_TRUE(decodeStream(w.finish(), out, 3));
    EXPECT_EQ(out, (std::vector<uint8_t>{10, 20, '!'}));
}

TEST(Rar20Stream, BrokenStreamsFail) {
    std::vector<uint8_t> out;
    EXPECT_FALSE(decodeStream({}, out, 5));
    // Lengths that oversubscribe the code: all 19 code-length codes of length 1.
    Rar20Writer over;
    over.bits(0, 2);
    for (int i = 0; i < 19; ++i) over.bits(1, 4);
    EXPECT_FALSE(decodeStream(over.finish(8), out, 5));
    // A repeat code as the very first length.
    Rar20Writer first;
    first.bits(0, 2);
    for (int i = 0; i < 19; ++i) first.bits(5, 4);
    first.bits(16, 5);
    EXPECT_FALSE(decodeStream(first.finish(64), out, 5));
    // A stream that stops before its output is complete.
    Rar20Writer shortOne;
    shortOne.tables();
    shortOne.symbol('a');
    EXPECT_FALSE(decodeStream(shortOne.finish(), out, 50));
}

TEST(Rar20Archive, SolidContinuationAcrossEntries) {
    // Entry 1: "hello". Entry 2 (solid continuation): a match 5 back copies "hello" from the
    // window left by entry 1, with the tables of entry 1.
    Rar20Writer a;
    a.tables();
    for (char c : std::string("hello")) a.symbol(c);
    Rar20Writer b;
    b.symbol(270 + 2);  // length 5
    b.distanceSymbol(4);  // base 4 + 1 extra bit: 5 + 0
    b.bits(0, 1);
    b.symbol('!');
    auto archive = RarBuilder(0x0008)
                       .add(packedEntry("one", a.finish(), bytesOf("hello")))
                       .add(packedEntry("two", b.finish(), bytesOf("hello!"), 0x0010))
                       .end()
                       .bytes();
    std::vector<uint8_t> out;
    ASSERT_TRUE(extractTo(archive, "two", out));
    EXPECT_EQ(std::string(out.begin(), out.end()), "hello!");
    ASSERT_TRUE(extractTo(archive, "one", out));
    EXPECT_EQ(std::string(out.begin(), out.end()), "hello");

    // The same entries in a non-solid archive: entry two starts from nothing and fails.
    auto plain = RarBuilder()
                     .add(packedEntry("one", a.finish(), bytesOf("hello")))
                     .add(packedEntry("two", b.finish(), bytesOf("hello!"), 0x0010))
                     .end()
                     .bytes();
    EXPECT_FALSE(extractTo(plain, "two", out));
    EXPECT_TRUE(extractTo(plain, "one", out));
}

TEST(Rar20Archive, TablesSwitchedAtTheEndOfASolidEntryServeTheNext) {
    Rar20Writer a;
    a.tables();
    a.symbol('A');
    a.symbol(269);  // after the last byte: new tables for the next entry (audio, 1 channel)
    a.tables(true, 1);
    Rar20Writer b;
    b.symbol(256 - 7);  // audio: 7
    auto archive = RarBuilder(0x0008)
                       .add(packedEntry("a", a.finish(8), bytesOf("A")))
                       .add(packedEntry("b", b.finish(8), {7}, 0x0010))
                       .end()
                       .bytes();
    std::vector<uint8_t> out;
    ASSERT_TRUE(extractTo(archive, "b", out));
    EXPECT_EQ(out, std::vector<uint8_t>{7});
}

TEST(Rar20Archive, ClaimedSizeFarBeyondWhatDataCanHoldIsRefused) {
    Rar20Writer a;
    a.tables();
    a.symbol('A');
    RarEntry e = packedEntry("big", a.finish(), bytesOf("A"));
    e.unpackedSize = 0xFFFFFFFFu;
    auto archive = RarBuilder().add(e).end().bytes();
    std::vector<uint8_t> out;
    EXPECT_FALSE(extractTo(archive, "big", out));
}

TEST(Rar20Stream, MatchesAcrossTheWindowWrapAndAtLongDistances) {
    // Literals up to 5 bytes before the window's end, a match that wraps its destination,
    // more literals, then a match reaching back almost the whole window (wrapping its source).
    Rar20Writer w;
    w.tables();
    std::vector<uint8_t> expected;
    auto literal = [&](uint8_t b) {
        w.symbol(b);
        expected.push_back(b);
    };
    auto match = [&](int slot, uint32_t lengthExtra, int distSlot, uint32_t distExtra, uint32_t length,
                     uint32_t distance) {
        w.symbol(270 + slot);
        static const uint8_t kLengthExtra[28] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2,
                                                 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5};
        if (kLengthExtra[slot]) w.bits(lengthExtra, kLengthExtra[slot]);
        w.distanceSymbol(distSlot);
        int bits = distSlot < 4 ? 0 : std::min(distSlot / 2 - 1, 16);
        if (bits) w.bits(distExtra, bits);
        for (uint32_t i = 0; i < length; ++i) expected.push_back(expected[expected.size() - distance]);
    };
    for (uint32_t i = 0; i < kRarWindowSize - 5; ++i) literal(static_cast<uint8_t>(i * 7 % 251));
    match(7, 0, 2, 0, 10, 3);  // length 10, distance 3: writes over the wrap
    for (int i = 0; i < 50; ++i) literal(static_cast<uint8_t>(i + 1));
    // Distance slot 46: 917504 + 1 + 16 bits; distance >= 0x40000 adds 2 to the length.
    match(7, 0, 46, 5000, 12, 917504 + 1 + 5000);
    // Distance slot 47 with all extra bits set: the whole window (1 MiB) back.
    match(0, 0, 47, 0xFFFF, 5, 983040 + 1 + 0xFFFF);
    std::vector<uint8_t> out;
    ASSERT_TRUE(decodeStream(w.finish(), out, static_cast<uint32_t>(expected.size())));
    EXPECT_TRUE(out == expected);
}

TEST(Rar20Stream, DeltasUseThePreviousTableWhileRepeatsUseTheTableBeingRead) {
    Rar20Writer w;
    // Table 1: literals 0..255 of 10 bits, symbols 256..297 of 9 bits.
    w.bits(0, 2);
    for (int i = 0; i < 19; ++i) w.bits(5, 4);
    for (int i = 0; i < 256; ++i) w.bits(10, 5);
    for (int i = 0; i < 42; ++i) w.bits(9, 5);
    for (int i = 0; i < 48; ++i) w.bits(6, 5);
    for (int i = 0; i < 28; ++i) w.bits(5, 5);
    // Canonical codes: the 42 nine-bit symbols take 0..41, then ten-bit codes start at 84.
    w.bits(84 + 'k', 10);
    w.bits(269 - 256, 9);  // new tables follow
    // Table 2 (keep bit): entry 0 becomes (10 + 15) & 15 = 9; repeats copy that 9 from this
    // table, not the 10 of the previous one; the last three keep their 9 with delta 0.
    w.bits(1, 2);
    for (int i = 0; i < 19; ++i) w.bits(5, 4);
    w.bits(15, 5);
    for (int i = 0; i < 49; ++i) {
        w.bits(16, 5);
        w.bits(3, 2);
    }
    for (int i = 0; i < 3 + 48 + 28; ++i) w.bits(0, 5);
    w.symbol('k');  // every literal/length symbol is 9 bits now
    std::vector<uint8_t> out;
    ASSERT_TRUE(decodeStream(w.finish(), out, 2));
    EXPECT_EQ(std::string(out.begin(), out.end()), "kk");
}
