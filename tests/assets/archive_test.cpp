#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "assets/archive_listing.h"
#include "assets/asset_file.h"
#include "assets/crc32.h"
#include "platform/fake/fake_platform.h"
#include "rar_builder.h"

using namespace ravelin;
using namespace ravelin::testing;

namespace {

std::vector<uint8_t> bytesOf(std::string_view s) { return {s.begin(), s.end()}; }

ByteRange rangeOf(const std::vector<uint8_t>& v) { return {v.data(), v.size()}; }

// Runs a lookup and hands back the content, or nothing with the reported size checked.
struct Lookup {
    bool ok = false;
    std::vector<uint8_t> content;
};
Lookup lookup(const std::vector<uint8_t>& archive, std::string_view name) {
    uint32_t size = 1234;
    std::unique_ptr<uint8_t[]> bytes(AssetArchive::extract(rangeOf(archive), name, size));
    Lookup r;
    r.ok = bytes != nullptr;
    if (r.ok) r.content.assign(bytes.get(), bytes.get() + size);
    else EXPECT_EQ(size, 0u);
    return r;
}

std::vector<uint8_t> sampleArchive() {
    return RarBuilder()
        .add(directoryEntry("meshes"))
        .add(directoryEntry("textures"))
        .add(storedEntry("meshes\\road.dat", bytesOf("ROAD")))
        .add(storedEntry("textures\\skybox_right.JPG", bytesOf("right face")))
        .add(storedEntry("empty.txt", {}))
        .add(storedEntry("LOW.ogg", bytesOf("first")))
        .add(storedEntry("low.ogg", bytesOf("second")))
        .end()
        .bytes();
}

}  // namespace

TEST(Crc32, KnownValues) {
    EXPECT_EQ(crc32(reinterpret_cast<const uint8_t*>("123456789"), 9), 0xCBF43926u);
    EXPECT_EQ(crc32(nullptr, 0), 0u);
    const uint8_t* p = reinterpret_cast<const uint8_t*>("123456789");
    EXPECT_EQ(crc32Update(crc32(p, 4), p + 4, 5), 0xCBF43926u);
}

TEST(ArchiveNames, SkyboxFaceFoundWithAnySeparatorAndCase) {
    auto archive = sampleArchive();
    for (const char* name : {"textures\\skybox_right.jpg", "textures/skybox_right.jpg", "textures_skybox_right.jpg",
                             "TEXTURES/SKYBOX_RIGHT.JPG"}) {
        Lookup r = lookup(archive, name);
        ASSERT_TRUE(r.ok) << name;
        EXPECT_EQ(r.content, bytesOf("right face"));
    }
}

TEST(ArchiveNames, FirstMatchInArchiveOrderWins) {
    Lookup r = lookup(sampleArchive(), "low.OGG");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.content, bytesOf("first"));
}

TEST(ArchiveNames, PrefixOrLongerNameDoesNotMatch) {
    auto archive = sampleArchive();
    EXPECT_FALSE(lookup(archive, "meshes\\road.da").ok);
    EXPECT_FALSE(lookup(archive, "meshes\\road.dat2").ok);
    EXPECT_FALSE(lookup(archive, "").ok);
}

TEST(ArchiveNames, OnlyFirst259BytesOfStoredNameCount) {
    std::string longName(300, 'a');
    auto archive = RarBuilder().add(storedEntry(longName, bytesOf("x"))).end().bytes();
    EXPECT_TRUE(lookup(archive, std::string(259, 'A')).ok);
    EXPECT_FALSE(lookup(archive, longName).ok);
}

TEST(ArchiveNames, OverlongRequestIsHandledSafely) {
    auto archive = sampleArchive();
    EXPECT_FALSE(lookup(archive, std::string(5000, 'x')).ok);
}

TEST(ArchiveLookup, MissingNameScansToEndBlockAndFails) {
    AssetFile file;
    auto archive = sampleArchive();
    EXPECT_FALSE(file.openEntry(rangeOf(archive), "textures\\nothere.jpg"));
    EXPECT_FALSE(file.isOpen());
    EXPECT_EQ(file.size(), 0u);
}

TEST(ArchiveLookup, DirectoryAndEmptyEntriesSucceedWithSizeZero) {
    auto archive = sampleArchive();
    Lookup dir = lookup(archive, "meshes");
    EXPECT_TRUE(dir.ok);
    EXPECT_TRUE(dir.content.empty());
    Lookup empty = lookup(archive, "EMPTY.TXT");
    EXPECT_TRUE(empty.ok);
    EXPECT_TRUE(empty.content.empty());
    AssetFile file;
    EXPECT_TRUE(file.openEntry(rangeOf(archive), "meshes"));
    EXPECT_TRUE(file.isOpen());
    EXPECT_EQ(file.size(), 0u);
}

TEST(ArchiveLookup, AlteredContentFailsCrcCheck) {
    auto archive = sampleArchive();
    auto bad = archive;
    // The last byte of "ROAD" in the data area.
    auto it = std::search(bad.begin(), bad.end(), std::begin("ROAD"), std::begin("ROAD") + 4);
    ASSERT_NE(it, bad.end());
    it[3] = 'E';
    EXPECT_FALSE(lookup(bad, "meshes\\road.dat").ok);
    EXPECT_TRUE(lookup(bad, "textures\\skybox_right.jpg").ok);  // the others are untouched
}

TEST(ArchiveLookup, EncryptedEntryIsCopiedAsIsAndFailsItsCrc) {
    RarEntry e = storedEntry("secret.txt", bytesOf("plain"));
    e.flags |= 0x0004;
    e.packed = bytesOf("xxxxx");  // what an encrypting archiver would have stored
    auto archive = RarBuilder().add(e).end().bytes();
    EXPECT_FALSE(lookup(archive, "secret.txt").ok);
}

TEST(ArchiveLookup, StoredCopyTakesUnpackedSizeFromLongerDataArea) {
    RarEntry e = storedEntry("a", bytesOf("abcdef"));
    e.unpackedSize = 3;
    e.crc = crc32(reinterpret_cast<const uint8_t*>("abc"), 3);
    auto archive = RarBuilder().add(e).add(storedEntry("b", bytesOf("B"))).end().bytes();
    Lookup r = lookup(archive, "a");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.content, bytesOf("abc"));
    EXPECT_TRUE(lookup(archive, "b").ok);  // the next block is past the whole data area
}

TEST(ArchiveLookup, StoredEntryClaimingMoreThanItsDataFails) {
    RarEntry e = storedEntry("a", bytesOf("abc"));
    e.unpackedSize = 100000;
    auto archive = RarBuilder().add(e).end().bytes();
    EXPECT_FALSE(lookup(archive, "a").ok);
}

TEST(ArchiveLookup, UnpackVersionOutside13To20Fails) {
    for (uint8_t version : {uint8_t(12), uint8_t(13), uint8_t(20), uint8_t(21), uint8_t(29)}) {
        RarEntry e = storedEntry("a", bytesOf("abc"));
        e.version = version;
        auto archive = RarBuilder().add(e).end().bytes();
        EXPECT_EQ(lookup(archive, "a").ok, version >= 13 && version <= 20) << int(version);
    }
}

TEST(ArchiveLookup, VersionOfNonMatchingEntryOnlyMattersInSolidArchive) {
    RarEntry odd = storedEntry("odd", bytesOf("o"));
    odd.version = 29;
    auto plain = RarBuilder().add(odd).add(storedEntry("b", bytesOf("b"))).end().bytes();
    EXPECT_TRUE(lookup(plain, "b").ok);
    auto solid = RarBuilder(0x0008).add(odd).add(storedEntry("b", bytesOf("b"))).end().bytes();
    EXPECT_FALSE(lookup(solid, "b").ok);
}

TEST(ArchiveBlocks, OtherBlockTypesAreSkippedWithTheirData) {
    auto archive = RarBuilder()
                       .block(0x75, 0x0000, 13)          // comment-like, no data
                       .block(0x7A, 0x8000, 20, 1000)  // with a data area
                       .add(storedEntry("x", bytesOf("found")))
                       .end()
                       .bytes();
    Lookup r = lookup(archive, "x");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.content, bytesOf("found"));
}

TEST(ArchiveBlocks, SubBlockFailsTheLookup) {
    auto archive = RarBuilder().block(0x77, 0x0000, 32).add(storedEntry("x", bytesOf("y"))).end().bytes();
    EXPECT_FALSE(lookup(archive, "x").ok);
    // Behind the wanted entry it is never reached.
    auto after = RarBuilder().add(storedEntry("x", bytesOf("y"))).block(0x77, 0, 32).end().bytes();
    EXPECT_TRUE(lookup(after, "x").ok);
}

TEST(ArchiveBlocks, HeaderSizeBelowSevenFails) {
    auto archive = RarBuilder().block(0x75, 0, 40).add(storedEntry("x", bytesOf("y"))).end().bytes();
    archive[20 + 5] = 6;  // the first block's header size
    archive[20 + 6] = 0;
    EXPECT_FALSE(lookup(archive, "x").ok);
}

TEST(ArchiveBlocks, NextBlockNotBeyondCurrentFails) {
    // Header size 0 with a data size that wraps: the next block would not lie beyond.
    auto archive = RarBuilder().block(0x75, 0, 40).add(storedEntry("x", bytesOf("y"))).end().bytes();
    archive[20 + 5] = 0;
    archive[20 + 6] = 0;
    EXPECT_FALSE(lookup(archive, "x").ok);
}

TEST(ArchiveBlocks, WrongMarkerOrShortMainHeaderFails) {
    auto archive = sampleArchive();
    auto bad = archive;
    bad[3] = '?';
    EXPECT_FALSE(lookup(bad, "meshes").ok);
    std::vector<uint8_t> shortMain(archive.begin(), archive.begin() + 19);
    EXPECT_FALSE(lookup(shortMain, "meshes").ok);
    EXPECT_FALSE(lookup({}, "meshes").ok);
    uint32_t size = 5;
    EXPECT_EQ(AssetArchive::extract(ByteRange{}, "meshes", size), nullptr);
    EXPECT_EQ(size, 0u);
}

TEST(ArchiveBlocks, MainHeaderSizeSetsFirstBlock) {
    auto archive = sampleArchive();
    // Grow the main header by 5 bytes of padding.
    archive.insert(archive.begin() + 20, 5, 0);
    archive[12] = 18;
    EXPECT_TRUE(lookup(archive, "meshes\\road.dat").ok);
}

TEST(ArchiveBlocks, ScanThatRunsOutWithoutEndBlockFindsNothing) {
    auto archive = RarBuilder().add(storedEntry("a", bytesOf("1"))).bytes();
    EXPECT_TRUE(lookup(archive, "a").ok);
    EXPECT_FALSE(lookup(archive, "b").ok);
}

TEST(ArchiveBlocks, TruncatedArchivesNeverReadOutside) {
    auto archive = sampleArchive();
    for (size_t cut = 0; cut < archive.size(); ++cut) {
        // A fresh heap block of exactly cut bytes, so that AddressSanitizer sees any overrun.
        std::vector<uint8_t> part(archive.begin(), archive.begin() + static_cast<long>(cut));
        for (const char* name : {"meshes", "meshes\\road.dat", "textures\\skybox_right.jpg", "low.ogg", "none"}) {
            Lookup r = lookup(part, name);
            if (r.ok) {
                Lookup full = lookup(archive, name);
                EXPECT_EQ(r.content, full.content) << cut << " " << name;
            }
        }
    }
}

TEST(ArchiveResource, OpenEntryUsesEmbeddedArchive119) {
    FakePlatform fake;
    EXPECT_FALSE(AssetFile().openEntry("meshes\\road.dat"));  // no archive blob: every lookup fails
    fake.addResource("CustomData", 119, sampleArchive());
    AssetFile file;
    ASSERT_TRUE(file.openEntry("MESHES/ROAD.DAT"));
    EXPECT_EQ(file.size(), 4u);
    EXPECT_EQ(std::memcmp(file.data(), "ROAD", 4), 0);
    EXPECT_EQ(file.position(), 0u);
}

TEST(ArchiveResource, OpenResourceBorrowsTheBlob) {
    FakePlatform fake;
    fake.addResource("CustomData", 121, bytesOf("blob"));
    AssetFile file;
    EXPECT_FALSE(file.openResource(120));
    EXPECT_FALSE(file.isOpen());
    ASSERT_TRUE(file.openResource(121));
    EXPECT_EQ(file.data(), fake.findResource("CustomData", 121).data);  // not a copy
    EXPECT_EQ(file.size(), 4u);
    file.close();  // must not free the blob
    EXPECT_FALSE(file.isOpen());
    EXPECT_EQ(file.size(), 0u);
    EXPECT_EQ(fake.findResource("CustomData", 121).size, 4u);
}

TEST(ArchiveListing, EntriesAndWhereTheScanStopped) {
    auto archive = sampleArchive();
    ArchiveListing listing = listArchive(rangeOf(archive));
    EXPECT_TRUE(listing.validMarker);
    EXPECT_TRUE(listing.problem.empty());
    ASSERT_EQ(listing.entries.size(), 7u);
    EXPECT_EQ(listing.entries[3].name, "textures\\skybox_right.JPG");
    EXPECT_EQ(listing.entries[3].unpackedSize, 10u);
    EXPECT_EQ(listing.entries[3].method, 0x30);

    std::vector<uint8_t> cut(archive.begin(), archive.end() - 12);
    ArchiveListing partial = listArchive(rangeOf(cut));
    EXPECT_EQ(partial.problem, "archive cut short");
    ASSERT_FALSE(partial.entries.empty());
    EXPECT_FALSE(partial.entries.back().dataComplete);

    auto sub = RarBuilder().add(storedEntry("x", bytesOf("y"))).block(0x77, 0, 32).end().bytes();
    EXPECT_EQ(listArchive(rangeOf(sub)).problem, "sub-block (type 0x77) met");

    // The lookup reads on past an end block with entries after it: the listing shows them
    // too, and says where the end block stands.
    auto hidden = RarBuilder().add(storedEntry("a", bytesOf("1"))).end().add(storedEntry("b", bytesOf("2"))).bytes();
    ArchiveListing beyond = listArchive(rangeOf(hidden));
    ASSERT_EQ(beyond.entries.size(), 2u);
    EXPECT_EQ(beyond.problem, "data after the end block");
    EXPECT_EQ(beyond.problemOffset, 20u + 32u + 1u + 1u);
    uint32_t size = 0;
    std::unique_ptr<uint8_t[]> b(AssetArchive::extract(rangeOf(hidden), "b", size));
    EXPECT_TRUE(b && size == 1);
    EXPECT_FALSE(listArchive({}).validMarker);
}
