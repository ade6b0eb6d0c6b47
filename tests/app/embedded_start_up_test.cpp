// Start-up over the texts as they are linked into the executable (resources 116 and 117).
#include <gtest/gtest.h>

#include <string>

#include "app/start_up.h"
#include "platform/fake/fake_platform.h"
#include "settings/settings.h"
#include "settings/ui_text.h"
#include "test_support.h"

namespace ravelin {
ByteRange embeddedFindResource(std::string_view type, uint16_t id);
}

using namespace ravelin;

namespace {

std::string blob(uint16_t id) {
    ByteRange r = embeddedFindResource("CustomData", id);
    return r.data ? std::string(reinterpret_cast<const char*>(r.data), r.size) : std::string();
}

}  // namespace

TEST(EmbeddedTexts, LinkedByteForByte) {
    EXPECT_EQ(blob(kUiTextResource), ravelin::testing::readSourceText("resources/ui_text.txt"));
    EXPECT_EQ(blob(kDefaultSettingsResource), ravelin::testing::readSourceText("resources/def_settings.txt"));
}

TEST(EmbeddedTexts, StartUpFromThemIsSilent) {
    FakePlatform fake;
    fake.addResource("CustomData", kUiTextResource, blob(kUiTextResource));
    fake.addResource("CustomData", kDefaultSettingsResource, blob(kDefaultSettingsResource));
    fake.desktopMode = {1920, 1080, 32, 60};
    liveSettings() = {};
    ScreensaverApp app;
    startUp(app, "ravelin -c");
    EXPECT_TRUE(fake.messages.empty());
    EXPECT_EQ(liveSettings().Width, 1920);
    EXPECT_EQ(liveSettings().Volume, 75);
    EXPECT_EQ(defaultSettings().Width, 800);
    EXPECT_EQ(uiText(u"screensaver_configuration"), u"Ravelin Configuration");
    EXPECT_EQ(aboutLines()[0], u"Ravelin");
    liveSettings() = {};
    defaultSettings() = {};
}
