// The built screensaver seen from Windows: its resource table holds every blob with the bytes the
// generator wrote; the audio library it carries loads from a temporary file of its own, binds
// by name and is unloaded without a trace; a module without it gives a silent run; and its
// offline mix matches the Linux build's mix of the same seed.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/win32_platform.h"
#include "app/offline_mix.h"
#include "sound/run_sound.h"

namespace ravelin {
namespace {

std::vector<uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

bool fileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The temporary files the library loader leaves ("bas*.tmp" in the temporary folder).
size_t temporaryLibraryFiles() {
    wchar_t folder[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, folder);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((std::wstring(folder) + L"bas*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    size_t count = 0;
    do ++count;
    while (FindNextFileW(search, &found));
    FindClose(search);
    return count;
}

// The screensaver loaded as a resource module (its code is not run).
class Screensaver : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        module_ = LoadLibraryExW(utf8ToWide(RAVELIN_SCR).c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    }
    static void TearDownTestSuite() {
        if (module_) FreeLibrary(module_);
        module_ = nullptr;
    }
    void SetUp() override {
        ASSERT_NE(module_, nullptr) << "cannot open " << RAVELIN_SCR;
        platform_ = std::make_unique<Win32Platform>(reinterpret_cast<uintptr_t>(module_));  // installs itself
    }
    static HMODULE module_;
    std::unique_ptr<Win32Platform> platform_;
};
HMODULE Screensaver::module_ = nullptr;

TEST_F(Screensaver, ResourceTableHoldsEveryBlobWithItsBytes) {
    const std::string generated = RAVELIN_GENERATED;
    const struct {
        uint16_t id;
        std::string file;
    } blobs[] = {
        {116, std::string(RAVELIN_SOURCE_DIR) + "/resources/ui_text.txt"},
        {117, std::string(RAVELIN_SOURCE_DIR) + "/resources/def_settings.txt"},
        {119, generated + "/archive.rar"},
        {120, generated + "/4loader_rd.tga"},
        {121, generated + "/4loader_ld.tga"},
        {122, generated + "/4loader_lu.tga"},
        {123, generated + "/4loader_ru.tga"},
        {127, generated + "/load.jpg"},
    };
    for (const auto& blob : blobs) {
        SCOPED_TRACE(blob.id);
        std::vector<uint8_t> expected = readFile(blob.file);
        ASSERT_FALSE(expected.empty()) << blob.file;
        ByteRange found = platform_->findResource("customdata", blob.id);  // type names fold case
        ASSERT_EQ(found.size, expected.size());
        EXPECT_EQ(std::memcmp(found.data, expected.data(), expected.size()), 0);
    }
    // The archive is handed out in place: the same bytes every time.
    EXPECT_EQ(platform_->findResource("CustomData", 119).data, platform_->findResource("CustomData", 119).data);
    EXPECT_TRUE(platform_->findResource("CustomData", 118).empty());
    EXPECT_TRUE(platform_->findResource("AUDIO", 116).empty());

    ByteRange audio = platform_->findResource("AUDIO", kAudioResourceId);
    ASSERT_GT(audio.size, 2u);
    EXPECT_EQ(std::memcmp(audio.data, "MZ", 2), 0);
    EXPECT_NE(FindResourceW(module_, MAKEINTRESOURCEW(107), MAKEINTRESOURCEW(2)), nullptr);  // RT_BITMAP
    EXPECT_NE(FindResourceW(module_, MAKEINTRESOURCEW(112), MAKEINTRESOURCEW(2)), nullptr);
    EXPECT_NE(FindResourceW(module_, MAKEINTRESOURCEW(111), MAKEINTRESOURCEW(14)), nullptr);  // RT_GROUP_ICON
    EXPECT_NE(FindResourceW(module_, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(16)), nullptr);    // RT_VERSION
}

TEST_F(Screensaver, EachLoadOfTheAudioLibraryHasItsOwnFileGoneAfterUnload) {
    const size_t before = temporaryLibraryFiles();
    LibraryHandle first = platform_->loadResourceLibrary("AUDIO", kAudioResourceId);
    LibraryHandle second = platform_->loadResourceLibrary("AUDIO", kAudioResourceId);
    ASSERT_NE(first, 0u);
    ASSERT_NE(second, 0u);
    std::wstring firstFile = platform_->libraryFile(first), secondFile = platform_->libraryFile(second);
    EXPECT_NE(firstFile, secondFile);
    EXPECT_TRUE(fileExists(firstFile));
    EXPECT_TRUE(fileExists(secondFile));
    EXPECT_EQ(temporaryLibraryFiles(), before + 2);

    EXPECT_NE(platform_->librarySymbol(first, "Audio_Init"), nullptr);
    EXPECT_EQ(platform_->librarySymbol(LibraryHandle(1), "Audio_Init"), nullptr);  // not one we loaded
    EXPECT_EQ(platform_->librarySymbol(first, "Audio_NoSuchCall"), nullptr);

    platform_->unloadLibrary(first);
    platform_->unloadLibrary(second);
    EXPECT_FALSE(fileExists(firstFile));
    EXPECT_FALSE(fileExists(secondFile));
    EXPECT_EQ(temporaryLibraryFiles(), before);
}

TEST_F(Screensaver, ABlobThatIsNoLibraryOrNoBlobLoadsNothingAndLeavesNoFile) {
    const size_t before = temporaryLibraryFiles();
    EXPECT_EQ(platform_->loadResourceLibrary("CustomData", 116), 0u);
    EXPECT_EQ(platform_->loadResourceLibrary("AUDIO", 129), 0u);
    EXPECT_EQ(temporaryLibraryFiles(), before);
}

TEST_F(Screensaver, BindingFindsAllEntryPointsByNameAndUnbindsCleanly) {
    const size_t before = temporaryLibraryFiles();
    RunSound run;
    SoundSystem& sound = run.system;
    ASSERT_TRUE(sound.bindLoopback());
    EXPECT_TRUE(sound.loadedFromResource());
    const AudioEntryPoints& e = sound.entries;
    const void* entries[] = {
        reinterpret_cast<void*>(e.errorGetCode), reinterpret_cast<void*>(e.init),
        reinterpret_cast<void*>(e.free), reinterpret_cast<void*>(e.setVolume),
        reinterpret_cast<void*>(e.start), reinterpret_cast<void*>(e.stop),
        reinterpret_cast<void*>(e.getVolume), reinterpret_cast<void*>(e.sampleLoad),
        reinterpret_cast<void*>(e.samplePlay3D), reinterpret_cast<void*>(e.samplePlay),
        reinterpret_cast<void*>(e.channelGetAttributes), reinterpret_cast<void*>(e.channelSetAttributes),
        reinterpret_cast<void*>(e.channelSet3DPosition), reinterpret_cast<void*>(e.apply3D),
        reinterpret_cast<void*>(e.set3DFactors), reinterpret_cast<void*>(e.initLoopback),
        reinterpret_cast<void*>(e.renderLoopback), reinterpret_cast<void*>(e.sampleFree)};
    for (const void* entry : entries) EXPECT_NE(entry, nullptr);
    EXPECT_EQ(e.getVolume(), 100);
    EXPECT_EQ(temporaryLibraryFiles(), before + 1);
    sound.unbind();
    EXPECT_EQ(temporaryLibraryFiles(), before);

    // The run's binding on the output device. ctest gives Wine a null ALSA device to open (see
    // alsa-null.conf); without any device the run would go on silently.
    const bool device = sound.bind(0);
    if (std::getenv("ALSA_CONFIG_PATH")) {
        EXPECT_TRUE(device);
    }
    EXPECT_TRUE(sound.bound());
    EXPECT_TRUE(sound.loadedFromResource());
    EXPECT_EQ(sound.entries.getVolume(), device ? 100 : -1);
    run.setVolume(40);
    sound.unbind();
    EXPECT_EQ(temporaryLibraryFiles(), before);
}

TEST(WithoutAudioResource, TheRunIsSilentAndEveryCallHarmless) {
    Win32Platform own;  // this program carries no "AUDIO" 128 and, like the screensaver, links no library
    RunSound sound;
    EXPECT_FALSE(sound.bind(0));
    EXPECT_TRUE(sound.system.bound());
    EXPECT_FALSE(sound.system.deviceOpen());
    EXPECT_FALSE(sound.system.loadedFromResource());
    EXPECT_EQ(sound.system.entries.init, nullptr);
    sound.loadEngineSamples();
    sound.start(true, true);
    sound.setVolume(70);
    std::array<Car, kCarCount> cars;
    cars[0].soundPosition = {1.0f, 2.0f, 3.0f};
    sound.updateEngines(cars);
    sound.restoreVolume();
    sound.unbind();
    EXPECT_FALSE(sound.system.bound());
}

// 16-bit stereo samples of a WAV written by the offline mix (after its 44-byte header).
std::vector<int16_t> wavSamples(const std::vector<uint8_t>& wav) {
    std::vector<int16_t> out;
    for (size_t i = 44; i + 1 < wav.size(); i += 2) out.push_back(int16_t(wav[i] | wav[i + 1] << 8));
    return out;
}

// The offline mix through the library the platform loads, the only one this program has (the
// same options as the Linux build's reference mixes: 4 s, seed 5, the default frame time and
// volume).
std::vector<int16_t> libraryMix(bool engines) {
    AudioCaptureOptions options;
    options.path = ::testing::TempDir() + "ravelin_windows_mix.wav";
    options.seconds = 4.0;
    options.seed = 5;
    options.engines = engines;
    AudioCaptureResult result;
    std::string error;
    EXPECT_TRUE(captureAudio(options, result, error)) << error;
    return wavSamples(readFile(options.path));
}

// Level of one channel over samples [begin, end) of an interleaved stereo mix, in dB.
double levelDb(const std::vector<int16_t>& mix, size_t channel, size_t begin, size_t end) {
    double sum = 0;
    for (size_t i = begin; i < end; ++i) sum += double(mix[i * 2 + channel]) * mix[i * 2 + channel];
    return 10.0 * std::log10(sum / double(end - begin) + 1.0);
}

TEST_F(Screensaver, OfflineMixThroughTheLibraryMatchesTheLinuxMix) {
    const char* folder = std::getenv("RAVELIN_LINUX_MIX_DIR");
    if (!folder || !*folder) GTEST_SKIP() << "RAVELIN_LINUX_MIX_DIR names no mixes of the Linux build";

    // The music alone: the same decoder, the same plain playback and volume steps, so the same
    // samples to within one step of rounding.
    std::vector<int16_t> reference = wavSamples(readFile(std::string(folder) + "/music.wav"));
    std::vector<int16_t> mix = libraryMix(false);
    ASSERT_FALSE(reference.empty());
    ASSERT_EQ(mix.size(), reference.size());
    int largest = 0;
    for (size_t i = 0; i < mix.size(); ++i) largest = std::max(largest, std::abs(int(mix[i]) - int(reference[i])));
    EXPECT_LE(largest, 1);

    // Music and engines: the engines' 3D placement and ever-changing pitch go through two
    // versions of OpenAL Soft (Debian's on Linux, the one built into the DLL), whose waveforms
    // drift apart in phase; what must agree is the level of each channel, 50 ms at a time.
    reference = wavSamples(readFile(std::string(folder) + "/full.wav"));
    mix = libraryMix(true);
    ASSERT_EQ(mix.size(), reference.size());
    const size_t frames = mix.size() / 2, block = 44100 / 20;
    double worst = 0;
    for (size_t channel = 0; channel < 2; ++channel)
        for (size_t begin = 0; begin + block <= frames; begin += block)
            worst = std::max(worst, std::fabs(levelDb(mix, channel, begin, begin + block) -
                                              levelDb(reference, channel, begin, begin + block)));
    std::printf("Windows vs Linux mix: music largest difference %d; 50 ms levels within %.2f dB\n", largest, worst);
    EXPECT_GT(levelDb(reference, 0, 0, frames), 50.0);  // not two silences
    EXPECT_LT(worst, 1.0);
}

}  // namespace
}  // namespace ravelin
