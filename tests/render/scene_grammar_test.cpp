// The technique and scene-description grammars without GL: flags, texture lines, block
// structure and "collect" naming.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "render/scene.h"
#include "render/technique.h"
#include "render_test_support.h"

namespace ravelin {
namespace {

struct TextureLine {
    int unit;
    std::string name;
};
std::vector<TextureLine> gTextureLines;

struct RecordTextures final : TextureLineHandler {
    void textureLine(Technique&, int unit, const char* name) override { gTextureLines.push_back({unit, name}); }
};

Technique parseText(const std::string& text) {
    FakePlatform fake;
    testing::TestArchive().text("technique\\t.txt", text).install(fake);
    AssetFile file;
    Technique t;
    gTextureLines.clear();
    EXPECT_TRUE(file.openEntry("technique\\t.txt"));
    RecordTextures recorder;
    parseTechnique(file, t, &recorder);
    return t;
}

TEST(TechniqueGrammar, OnlyEndGivesTheDefaults) {
    Technique t = parseText("end\r\n");
    EXPECT_FALSE(t.blendEnabled);
    EXPECT_FALSE(t.textured);
    EXPECT_FALSE(t.lighted);
    EXPECT_FALSE(t.twoSided);
    EXPECT_TRUE(t.depthTest);
    EXPECT_TRUE(t.depthWrite);
    EXPECT_FALSE(t.firstPass);
    EXPECT_FALSE(t.alphaTest);
    EXPECT_FALSE(t.tiled);
}

TEST(TechniqueGrammar, KeywordsArePrefixesAndLaterOnesWin) {
    Technique t = parseText(
        "multblend\r\nalphablend\r\n2sided\r\n  lighted\r\nalpha test on\r\ntiled 5\r\ndepth test\r\n"
        "spec V(0.5 0.5 0.5) 10.0\r\nend\r\nlighted\r\n");
    EXPECT_TRUE(t.blendEnabled);
    EXPECT_EQ(t.blendKind, BlendKind::Alpha);
    EXPECT_TRUE(t.twoSided);
    EXPECT_TRUE(t.lighted);
    EXPECT_TRUE(t.alphaTest);
    EXPECT_TRUE(t.tiled);
    EXPECT_EQ(t.tileCount, 5);
    EXPECT_FALSE(t.depthTest);
}

TEST(TechniqueGrammar, PassZeroAndPassOne) {
    Technique first = parseText("pass 0\r\nend\r\n");
    EXPECT_TRUE(first.firstPass);
    EXPECT_TRUE(first.depthWrite);
    Technique second = parseText("addblend\r\npass 1\r\nend\r\n");
    EXPECT_FALSE(second.firstPass);
    EXPECT_FALSE(second.depthWrite);
    EXPECT_EQ(second.blendKind, BlendKind::Additive);
}

TEST(TechniqueGrammar, DepthwriteWithoutSpaceIsNotAKeyword) {
    EXPECT_TRUE(parseText("depthwrite\r\nend\r\n").depthWrite);
    EXPECT_FALSE(parseText("depth write\r\nend\r\n").depthWrite);
}

TEST(TechniqueGrammar, TextureLinesAndTheSharedNumber) {
    // "tiled" without a number keeps the last number read (the texture unit 1).
    Technique t = parseText("texture 0 road.jpg\r\ntexture 1 lmap.jpg\r\ntiled\r\nend\r\n");
    EXPECT_TRUE(t.textured);
    EXPECT_TRUE(t.secondTexture);
    EXPECT_EQ(t.tileCount, 1);
    ASSERT_EQ(gTextureLines.size(), 2u);
    EXPECT_EQ(gTextureLines[0].unit, 0);
    EXPECT_EQ(gTextureLines[0].name, "road.jpg");
    EXPECT_EQ(gTextureLines[1].unit, 1);
    EXPECT_EQ(gTextureLines[1].name, "lmap.jpg");
}

TEST(TechniqueGrammar, UnitsBeyondTheTwoAreIgnored) {
    Technique t = parseText("texture 2 x.jpg\r\ntexture -1 y.jpg\r\nend\r\n");
    EXPECT_FALSE(t.textured);
    EXPECT_TRUE(gTextureLines.empty());
}

TEST(TechniqueGrammar, OverlongNamesAreCutNotOverrun) {
    std::string longName(300, 'a');
    parseText("texture 0 " + longName + ".jpg\r\nend\r\n");
    ASSERT_EQ(gTextureLines.size(), 1u);
    EXPECT_LE(gTextureLines[0].name.size(), 127u);
}

struct Recorder final : SceneBuilder {
    std::vector<std::string> events;
    void beginBlock() override { events.push_back("{"); }
    void technique(const char* name) override { events.push_back("technique " + std::string(name)); }
    void reserveMeshes(int count) override { events.push_back("reserve " + std::to_string(count)); }
    void mesh(const char* stem) override { events.push_back(stem); }
    void endBlock() override { events.push_back("}"); }
};

std::vector<std::string> parseSceneText(const std::string& text) {
    FakePlatform fake;
    testing::TestArchive().text("s.txt", text).install(fake);
    AssetFile file;
    EXPECT_TRUE(file.openEntry("s.txt"));
    Recorder r;
    parseScene(file, r);
    return r.events;
}

TEST(SceneGrammar, CollectNamesTwoDigitsBelowTen) {
    auto e = parseSceneText("test\r\nrender\r\n{\r\ntechnique speaker.txt\r\ncollect a_tyres 5\r\n}\r\nend\r\n");
    std::vector<std::string> want{"{", "technique speaker.txt", "reserve 5", "a_tyres01", "a_tyres02",
                                  "a_tyres03", "a_tyres04", "a_tyres05", "}"};
    EXPECT_EQ(e, want);
}

TEST(SceneGrammar, CollectTenEndsWithX10) {
    auto e = parseSceneText("s\r\nrender\r\n{\r\ncollect x 10\r\n}\r\n");
    ASSERT_EQ(e.size(), 13u);
    EXPECT_EQ(e[2], "x01");
    EXPECT_EQ(e[10], "x09");
    EXPECT_EQ(e[11], "x10");
}

TEST(SceneGrammar, MeshWithAndWithoutNumberAndFileOrder) {
    auto e = parseSceneText(
        "land\r\nrender\r\n{\r\nmesh road\r\nmesh road 0\r\ncollect speaker 15\r\n}\r\nend\r\nrender\r\n{\r\nmesh "
        "never\r\n}\r\n");
    ASSERT_EQ(e.size(), 1u + 2 + 1 + 15 + 1);
    EXPECT_EQ(e[1], "road");
    EXPECT_EQ(e[2], "road");
    EXPECT_EQ(e[3], "reserve 15");
    EXPECT_EQ(e[4], "speaker01");
    EXPECT_EQ(e[18], "speaker15");
    EXPECT_EQ(e.back(), "}");  // nothing after "end" is read
}

TEST(SceneGrammar, RenderThenCloseGivesAnEmptyBlock) {
    auto e = parseSceneText("x\r\n\r\nrender\r\n}\r\nend\r\n");
    EXPECT_EQ(e, (std::vector<std::string>{"{", "}"}));
}

TEST(SceneGrammar, FirstLineIsTheNameEvenIfItLooksLikeAKeyword) {
    auto e = parseSceneText("render\r\nend\r\n");
    EXPECT_TRUE(e.empty());
}

TEST(SceneGrammar, HugeCollectIsCapped) {
    auto e = parseSceneText("x\r\nrender\r\n{\r\ncollect m 2000000000\r\n}\r\n");
    EXPECT_EQ(e[1], "reserve " + std::to_string(kMaxCollectCount));
    EXPECT_EQ(e.size(), static_cast<size_t>(kMaxCollectCount) + 3);
}

}  // namespace
}  // namespace ravelin
