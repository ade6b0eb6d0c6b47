// Keyframe files: the grammar, the tangent and control pass, and evaluation against poses
// worked out by hand (rotations about one axis, where the Bézier controls sit on the arc).
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "race/keyframe_track.h"

namespace ravelin {
namespace {

KeyframeTrack parse(const std::string& text) {
    BufferLineSource source(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    KeyframeTrack track;
    track.load(source);
    return track;
}

// Rotation by degrees about Z: (0, 0, sin(a/2), cos(a/2)).
std::string zQuat(const char* sinHalf, const char* cosHalf) {
    return std::string("quaternion Q(0 0 ") + sinHalf + " " + cosHalf + ")\n";
}

void expectVec(Vec3 v, float x, float y, float z, float eps = 1e-4f) {
    EXPECT_NEAR(v.x, x, eps);
    EXPECT_NEAR(v.y, y, eps);
    EXPECT_NEAR(v.z, z, eps);
}

void expectQuat(Quat q, float x, float y, float z, float w, float eps = 1e-5f) {
    EXPECT_NEAR(q.x, x, eps);
    EXPECT_NEAR(q.y, y, eps);
    EXPECT_NEAR(q.z, z, eps);
    EXPECT_NEAR(q.w, w, eps);
}

const std::string kTwoKeys =
    "KEYFRAMES\n"
    "keyframe\n"
    "time 0\n"
    "position V(0 0 0)\n" +
    zQuat("0", "1") +
    "end\n"
    "keyframe\n"
    "time 10\n"
    "position V(10 0 0)\n" +
    zQuat("0.70710678", "0.70710678") +
    "end\n"
    "ENDKEYS\n";

TEST(KeyframeGrammar, ReadsKeysInFileOrder) {
    const KeyframeTrack track = parse(kTwoKeys);
    ASSERT_EQ(track.keys().size(), 2u);
    EXPECT_EQ(track.keys()[1].time, 10.0f);
    EXPECT_EQ(track.keys()[1].position.x, 10.0f);
    EXPECT_FLOAT_EQ(track.keys()[1].rotation.z, 0.70710678f);
    EXPECT_FALSE(track.keys()[0].freeze);
    // Defaults before prepare.
    EXPECT_EQ(track.keys()[0].inControl.y, 1.0f);
    EXPECT_EQ(track.keys()[0].inControl.w, 1.0f);
}

TEST(KeyframeGrammar, DefaultsOfANewKey) {
    const KeyframeTrack track = parse("keyframe\nend\nENDKEYS\n");
    ASSERT_EQ(track.keys().size(), 1u);
    const Keyframe& k = track.keys()[0];
    EXPECT_EQ(k.rotation.w, 0.0f);  // rotation starts as (0, 0, 0, 0)
    EXPECT_EQ(k.outControl.x, 0.0f);
    EXPECT_EQ(k.outControl.y, 1.0f);
    EXPECT_EQ(k.outControl.z, 0.0f);
    EXPECT_EQ(k.outControl.w, 1.0f);
}

TEST(KeyframeGrammar, LinesInAnyOrderBlankAndIndented) {
    const std::string text =
        "KEYFRAMES\r\n"
        "\r\n"
        "   keyframe\r\n"
        "      quaternion Q(0.1 0.2 0.3 0.9)\r\n"
        "\r\n"
        "      freeze\r\n"
        "      position V(1 2 3)\r\n"
        "      time 4.5\r\n"
        "   end\r\n"
        "\n"
        "ENDKEYS\r\n";
    const KeyframeTrack track = parse(text);
    ASSERT_EQ(track.keys().size(), 1u);
    const Keyframe& k = track.keys()[0];
    EXPECT_EQ(k.time, 4.5f);
    expectVec(k.position, 1, 2, 3, 0);
    expectQuat(k.rotation, 0.1f, 0.2f, 0.3f, 0.9f, 0);
    EXPECT_TRUE(k.freeze);
}

TEST(KeyframeGrammar, EndIsCaseSensitiveAndEndkeysOnlyOutsideAKey) {
    // "ENDKEYS" inside a key neither ends the key nor the track; the key ends at "end".
    const std::string text =
        "keyframe\n"
        "time 1\n"
        "ENDKEYS\n"
        "time 2\n"
        "END\n"
        "keyframe\n"  // ignored inside a key
        "time 3\n"
        "end\n"
        "keyframe\n"
        "time 7\n"
        "endings count as end too\n"
        "ENDKEYS\n"
        "keyframe\n"
        "time 9\n"
        "end\n";
    const KeyframeTrack track = parse(text);
    ASSERT_EQ(track.keys().size(), 2u);
    EXPECT_EQ(track.keys()[0].time, 3.0f);
    EXPECT_EQ(track.keys()[1].time, 7.0f);
}

TEST(KeyframeGrammar, TabsAndUnknownLinesAreIgnored) {
    // Only spaces are skipped before a keyword; a tab-indented line matches nothing.
    const KeyframeTrack track = parse("keyframe\n\ttime 5\ntime 6\ncolour red\nend\nENDKEYS\n");
    ASSERT_EQ(track.keys().size(), 1u);
    EXPECT_EQ(track.keys()[0].time, 6.0f);
}

TEST(KeyframeGrammar, NumericLinesThatDoNotParseLeaveTheField) {
    const KeyframeTrack track = parse(
        "keyframe\n"
        "time 5\n"
        "time abc\n"
        "position V(1 2 3)\n"
        "position V(4 5)\n"
        "position (7 8 9)\n"
        "quaternion Q(0 0 0 1)\n"
        "quaternion Q(1 1 x 1)\n"
        "time nan\n"
        "position V(inf 0 0)\n"
        "end\n");
    ASSERT_EQ(track.keys().size(), 1u);
    const Keyframe& k = track.keys()[0];
    EXPECT_EQ(k.time, 5.0f);
    expectVec(k.position, 1, 2, 3, 0);
    expectQuat(k.rotation, 0, 0, 0, 1, 0);
}

TEST(KeyframeGrammar, StopsAtTheEndOfTheData) {
    // No "ENDKEYS", the last key has no "end", the last line has no line feed.
    const KeyframeTrack a = parse("keyframe\ntime 1\nend\nkeyframe\ntime 2\nend");
    ASSERT_EQ(a.keys().size(), 2u);
    EXPECT_EQ(a.keys()[1].time, 2.0f);
    const KeyframeTrack b = parse("keyframe\ntime 1\nend\nkeyframe\ntime 2\n");
    EXPECT_EQ(b.keys().size(), 1u);
    EXPECT_TRUE(parse("").keys().empty());
}

TEST(KeyframeGrammar, LongLinesAreCutNotOverrun) {
    std::string text = "keyframe\ntime 8" + std::string(300, ' ') + "x\nend\n";
    const KeyframeTrack track = parse(text);
    ASSERT_EQ(track.keys().size(), 1u);
    EXPECT_EQ(track.keys()[0].time, 8.0f);
}

TEST(KeyframePrepare, RefusesFewerThanTwoKeys) {
    KeyframeTrack none = parse("KEYFRAMES\nENDKEYS\n");
    EXPECT_FALSE(none.prepare());
    EXPECT_FALSE(none.ready());
    EXPECT_TRUE(none.evaluate(0).ended);

    KeyframeTrack one = parse("keyframe\ntime 0\nposition V(1 2 3)\nquaternion Q(0 0 0 1)\nend\n");
    EXPECT_FALSE(one.prepare());
    const TrackPose pose = one.evaluate(0);
    EXPECT_TRUE(pose.ended);
    expectVec(pose.position, 1, 2, 3, 0);
}

TEST(KeyframePrepare, TwoKeysGradientsAndControls) {
    KeyframeTrack track = parse(kTwoKeys + "");
    // A "gradient" line in the file is overwritten.
    ASSERT_TRUE(track.prepare());
    const auto& k = track.keys();
    expectVec(k[0].gradient, 10, 0, 0, 0);
    expectVec(k[1].gradient, 10, 0, 0, 0);
    // Controls at 1/3 and 2/3 of the 90° arc: 30° and 60° about Z.
    expectQuat(k[0].outControl, 0, 0, 0.25881905f, 0.96592583f);
    expectQuat(k[1].inControl, 0, 0, 0.5f, 0.86602540f);
}

TEST(KeyframePrepare, GradientLinesHaveNoEffect) {
    std::string text = kTwoKeys;
    text.insert(text.find("time 10"), "gradient V(100 100 100)\n");
    KeyframeTrack track = parse(text);
    EXPECT_EQ(track.keys()[1].gradient.x, 100.0f);
    ASSERT_TRUE(track.prepare());
    expectVec(track.keys()[1].gradient, 10, 0, 0, 0);
}

TEST(KeyframeEvaluate, TwoKeysMoveStraightAndTurnEvenly) {
    KeyframeTrack track = parse(kTwoKeys);
    ASSERT_TRUE(track.prepare());
    // Tangents equal to the chord make the Hermite curve the straight line itself.
    TrackPose pose = track.evaluate(2.5f);
    EXPECT_FALSE(pose.ended);
    expectVec(pose.position, 2.5f, 0, 0);
    // Controls evenly on the arc: a quarter of the way is 22.5° about Z.
    expectQuat(pose.rotation, 0, 0, 0.19509032f, 0.98078528f);
    pose = track.evaluate(0.0f);
    EXPECT_FALSE(pose.ended);
    expectVec(pose.position, 0, 0, 0);
    expectQuat(pose.rotation, 0, 0, 0, 1);
}

const std::string kThreeKeys =
    "KEYFRAMES\n"
    "keyframe\ntime 0\nposition V(0 0 0)\n" + zQuat("0", "1") + "end\n" +
    "keyframe\ntime 10\nposition V(10 0 0)\n" + zQuat("0.70710678", "0.70710678") + "end\n" +
    "keyframe\ntime 20\nposition V(10 10 0)\n" + zQuat("1", "0") + "end\n" +
    "ENDKEYS\n";

TEST(KeyframePrepare, InteriorKeyTangentAndControls) {
    KeyframeTrack track = parse(kThreeKeys);
    ASSERT_TRUE(track.prepare());
    const auto& k = track.keys();
    expectVec(k[0].gradient, 10, 0, 0, 0);
    expectVec(k[1].gradient, 5, 5, 0, 0);  // (P2 − P0) / 2
    expectVec(k[2].gradient, 0, 10, 0, 0);
    // Keys at 0°, 90°, 180°: the interior controls land at 60° and 120°, the end controls at
    // 30° and 150°.
    expectQuat(k[1].inControl, 0, 0, 0.5f, 0.86602540f);
    expectQuat(k[1].outControl, 0, 0, 0.86602540f, 0.5f);
    expectQuat(k[2].inControl, 0, 0, 0.96592583f, 0.25881905f);
}

TEST(KeyframeEvaluate, BetweenAndAtKeys) {
    KeyframeTrack track = parse(kThreeKeys);
    ASSERT_TRUE(track.prepare());
    // Segment 0 at u = ½ with m0 = (10, 0, 0), m1 = (5, 5, 0):
    // x = ½·0 + ⅛·10 + ½·10 − ⅛·5 = 5.625, y = −⅛·5 = −0.625.
    TrackPose pose = track.evaluate(5.0f);
    EXPECT_FALSE(pose.ended);
    expectVec(pose.position, 5.625f, -0.625f, 0);
    expectQuat(pose.rotation, 0, 0, 0.38268343f, 0.92387953f);  // 45°
    // Segment 1 at u = ½: m0 = (5, 5, 0), m1 = (0, 10, 0):
    // x = ½·10 + ⅛·5 + ½·10 − ⅛·0 = 10.625; y = ⅛·5 + ½·10 − ⅛·10 = 4.375.
    pose = track.evaluate(15.0f);
    expectVec(pose.position, 10.625f, 4.375f, 0);
    expectQuat(pose.rotation, 0, 0, 0.92387953f, 0.38268343f);  // 135°
    // Exactly on the inner key: the segment that starts there, u = 0.
    pose = track.evaluate(10.0f);
    EXPECT_FALSE(pose.ended);
    expectVec(pose.position, 10, 0, 0);
    expectQuat(pose.rotation, 0, 0, 0.70710678f, 0.70710678f);
}

TEST(KeyframeEvaluate, EndedAtOrAfterTheLastKeyAndBeforeTheFirst) {
    KeyframeTrack track = parse(kThreeKeys);
    ASSERT_TRUE(track.prepare());
    for (float t : {20.0f, 25.0f, -1.0f}) {
        const TrackPose pose = track.evaluate(t);
        EXPECT_TRUE(pose.ended) << t;
        expectVec(pose.position, 10, 10, 0, 0);
        expectQuat(pose.rotation, 0, 0, 1, 0, 0);
    }
}

TEST(KeyframeEvaluate, FirstMatchingPairWins) {
    // Out-of-order times: the walk stops at the first pair that contains the time.
    KeyframeTrack track = parse(
        "keyframe\ntime 0\nposition V(0 0 0)\nquaternion Q(0 0 0 1)\nend\n"
        "keyframe\ntime 10\nposition V(10 0 0)\nquaternion Q(0 0 0 1)\nend\n"
        "keyframe\ntime 0\nposition V(50 0 0)\nquaternion Q(0 0 0 1)\nend\n"
        "keyframe\ntime 10\nposition V(60 0 0)\nquaternion Q(0 0 0 1)\nend\n");
    ASSERT_TRUE(track.prepare());
    EXPECT_LT(track.evaluate(5.0f).position.x, 10.0f);
}

}  // namespace
}  // namespace ravelin
