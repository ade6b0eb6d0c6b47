// The per-user settings file: location, first run, parsing of damaged files and the atomic
// replacement that keeps the old file when a write fails.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "platform/fake/fake_platform.h"
#include "platform/linux/file_settings_store.h"
#include "settings/settings.h"
#include "test_support.h"

using namespace ravelin;
namespace fs = std::filesystem;

namespace {

std::string readText(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void writeText(const fs::path& p, const std::string& text) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << text;
}

// A temporary configuration home, removed afterwards.
class TempHome {
public:
    TempHome() {
        std::string pattern = (fs::temp_directory_path() / "ravelin-store-XXXXXX").string();
        char* made = ::mkdtemp(pattern.data());
        if (made) path = made;
    }
    ~TempHome() {
        std::error_code ec;
        if (!path.empty()) {
            fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ec);
            fs::remove_all(path, ec);
        }
    }
    fs::path path;
};

// Environment variables put back as they were.
class EnvGuard {
public:
    explicit EnvGuard(const char* name) : name_(name) {
        const char* v = std::getenv(name);
        had_ = v != nullptr;
        if (had_) old_ = v;
    }
    ~EnvGuard() {
        if (had_)
            ::setenv(name_, old_.c_str(), 1);
        else
            ::unsetenv(name_);
    }

private:
    const char* name_;
    bool had_ = false;
    std::string old_;
};

size_t entriesIn(const fs::path& folder) {
    size_t n = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(folder)) ++n;
    return n;
}

}  // namespace

TEST(FileSettingsStoreLine, AcceptsNameEqualsNumber) {
    std::string name;
    uint32_t v = 0;
    ASSERT_TRUE(FileSettingsStore::parseLine("Width=1024", name, v));
    EXPECT_EQ(name, "Width");
    EXPECT_EQ(v, 1024u);
    ASSERT_TRUE(FileSettingsStore::parseLine("  Gamma =\t-50 \r", name, v));
    EXPECT_EQ(name, "Gamma");
    EXPECT_EQ(v, 0xFFFFFFCEu);
    ASSERT_TRUE(FileSettingsStore::parseLine("Detail=4294967295", name, v));
    EXPECT_EQ(v, 0xFFFFFFFFu);
    ASSERT_TRUE(FileSettingsStore::parseLine("Detail=-2147483648", name, v));
    EXPECT_EQ(v, 0x80000000u);
    ASSERT_TRUE(FileSettingsStore::parseLine("Volume=+7", name, v));
    EXPECT_EQ(v, 7u);
}

TEST(FileSettingsStoreLine, RejectsDamagedLines) {
    std::string name;
    uint32_t v = 0;
    for (const char* bad : {"", "# comment", "Width", "Width=", "=5", "Width=abc", "Width=12x", "Width=0x10",
                            "Width=4294967296", "Width=-2147483649", "Wid th=5", "Width==5", "Width=99999999999999999999",
                            "W\xC3\xA4=5", "Width=5 6", "Width=-"}) {
        EXPECT_FALSE(FileSettingsStore::parseLine(bad, name, v)) << bad;
    }
}

TEST(FileSettingsStoreLocation, FollowsXdgThenHome) {
    EnvGuard xdg("XDG_CONFIG_HOME");
    EnvGuard home("HOME");
    ::setenv("HOME", "/home/someone", 1);
    ::setenv("XDG_CONFIG_HOME", "/elsewhere/cfg", 1);
    EXPECT_EQ(FileSettingsStore::configHomeFromEnvironment(), "/elsewhere/cfg");
    EXPECT_EQ(FileSettingsStore().filePath(), "/elsewhere/cfg/ravelin/settings.conf");
    ::setenv("XDG_CONFIG_HOME", "relative/cfg", 1);  // not absolute: ignored
    EXPECT_EQ(FileSettingsStore::configHomeFromEnvironment(), "/home/someone/.config");
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(FileSettingsStore().filePath(), "/home/someone/.config/ravelin/settings.conf");
    ::setenv("XDG_CONFIG_HOME", "", 1);
    EXPECT_EQ(FileSettingsStore::configHomeFromEnvironment(), "/home/someone/.config");
}

TEST(FileSettingsStore, FirstRunCreatesFolderAndEmptyFile) {
    TempHome home;
    ASSERT_FALSE(home.path.empty());
    fs::path cfg = home.path / "deep" / "config";
    FileSettingsStore store(cfg.string());
    ASSERT_TRUE(store.open(false));
    uint32_t v = 10000;
    EXPECT_FALSE(store.query("Width", v));
    EXPECT_EQ(v, 10000u);
    store.close();
    fs::path file = cfg / "ravelin" / "settings.conf";
    ASSERT_TRUE(fs::is_regular_file(file));
    EXPECT_EQ(fs::file_size(file), 0u);
}

TEST(FileSettingsStore, FirstRunThroughLoadGivesDefaultsAndFullRoundTrip) {
    TempHome home;
    EnvGuard xdg("XDG_CONFIG_HOME");
    ::setenv("XDG_CONFIG_HOME", home.path.c_str(), 1);
    FileSettingsStore store;
    FakePlatform plat;  // in every respect but the settings store, which is the real file
    plat.storeOverride = &store;

    const ScreensaverSettings defaults = ravelin::testing::factorySettings();
    liveSettings() = defaults;
    loadSettings();
    EXPECT_EQ(liveSettings(), defaults);
    EXPECT_TRUE(fs::exists(home.path / "ravelin" / "settings.conf"));

    ScreensaverSettings s;
    s.EnableMusic = s.ShowFlame = s.VSync = s.MouseExit = s.Random = s.English = true;
    s.Detail = 3;
    s.Volume = 250;
    s.Gamma = -50;
    s.Width = 1920;
    s.Height = 1080;
    s.Depth = 16;
    liveSettings() = s;
    saveSettings();
    EXPECT_TRUE(store.lastWriteSucceeded());

    const std::string text = readText(home.path / "ravelin" / "settings.conf");
    for (const char* line : {"ShowClock=0\n", "TimeFormat=0\n", "English=1\n", "Random=1\n", "EnableMusic=1\n",
                             "EnableSFX=0\n", "UseDesktop=0\n", "ShowFlame=1\n", "DefGamma=0\n", "Width=1920\n",
                             "Height=1080\n", "Depth=16\n", "Volume=250\n", "Gamma=-50\n", "Detail=3\n", "VSync=1\n",
                             "MouseExit=1\n", "ShowFPS=0\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line;
    EXPECT_LT(text.find("VSync="), text.find("ShowFPS="));  // written in save order

    liveSettings() = defaults;
    loadSettings();
    EXPECT_EQ(liveSettings(), s);
    liveSettings() = {};
}

TEST(FileSettingsStore, DamagedLinesCountAsMissing) {
    TempHome home;
    fs::create_directories(home.path / "ravelin");
    static const char kNulLine[] = "Volume=-5\nGamma=10000\nDetail\0=5";  // a NUL inside a line
    writeText(home.path / "ravelin" / "settings.conf",
              std::string("garbage\nWidth=abc\r\nHeight = 768 \r\nDepth=99999999999\n\x01\xFF\xFE=\n") +
                  std::string(kNulLine, sizeof kNulLine - 1) + "\nShowFPS=1");
    FileSettingsStore store(home.path.string());
    ASSERT_TRUE(store.open(false));
    uint32_t v = 10000;
    EXPECT_FALSE(store.query("Width", v));
    EXPECT_FALSE(store.query("Depth", v));
    EXPECT_FALSE(store.query("Detail", v));
    ASSERT_TRUE(store.query("Height", v));
    EXPECT_EQ(v, 768u);
    ASSERT_TRUE(store.query("Volume", v));
    EXPECT_EQ(static_cast<int32_t>(v), -5);
    ASSERT_TRUE(store.query("ShowFPS", v));  // last line without a line end
    EXPECT_EQ(v, 1u);
    ASSERT_TRUE(store.query("Gamma", v));  // the store keeps it; the 10000 rule is the loader's
    EXPECT_EQ(v, 10000u);
    store.close();
}

TEST(FileSettingsStore, SaveKeepsNamesItDoesNotKnowAndLaterLinesWin) {
    TempHome home;
    fs::create_directories(home.path / "ravelin");
    writeText(home.path / "ravelin" / "settings.conf", "Extra=9\nWidth=1\nWidth=2\n");
    FileSettingsStore store(home.path.string());
    ASSERT_TRUE(store.open(false));
    uint32_t v = 0;
    ASSERT_TRUE(store.query("Width", v));
    EXPECT_EQ(v, 2u);
    store.close();
    ASSERT_TRUE(store.open(true));
    store.set("Width", 640);
    store.close();
    ASSERT_TRUE(store.lastWriteSucceeded());
    const std::string text = readText(home.path / "ravelin" / "settings.conf");
    EXPECT_NE(text.find("Extra=9\n"), std::string::npos);
    EXPECT_NE(text.find("Width=640\n"), std::string::npos);
    EXPECT_EQ(text.find("Width=2"), std::string::npos);
}

// A damaged file can hold a great many names: every one is read, a later line still wins and
// a save keeps them in the file's order.
TEST(FileSettingsStore, ManyNamesAreAllReadAndSavedInFileOrder) {
    TempHome home;
    fs::create_directories(home.path / "ravelin");
    std::string text;
    for (int i = 0; i < 50000; ++i) text += "n" + std::to_string(i) + "=" + std::to_string(i) + "\n";
    writeText(home.path / "ravelin" / "settings.conf", text + "n0=7\n");
    FileSettingsStore store(home.path.string());
    ASSERT_TRUE(store.open(true));  // a save starts from what the file holds
    uint32_t v = 0;
    ASSERT_TRUE(store.query("n0", v));
    EXPECT_EQ(v, 7u);
    ASSERT_TRUE(store.query("n49999", v));
    EXPECT_EQ(v, 49999u);
    store.close();
    ASSERT_TRUE(store.lastWriteSucceeded());
    const std::string saved = readText(home.path / "ravelin" / "settings.conf");
    EXPECT_EQ(saved.find("\nn0=0\n"), std::string::npos);
    EXPECT_LT(saved.find("\nn0=7\n"), saved.find("\nn1=1\n"));
    EXPECT_LT(saved.find("\nn1=1\n"), saved.find("\nn49999=49999\n"));
}

TEST(FileSettingsStore, FullDiskLeavesOldFileIntact) {
    TempHome home;
    FileSettingsStore store(home.path.string());
    ASSERT_TRUE(store.open(true));
    store.set("Width", 800);
    store.close();
    ASSERT_TRUE(store.lastWriteSucceeded());
    const fs::path file = home.path / "ravelin" / "settings.conf";
    const std::string before = readText(file);

    // A file-size limit makes every write past a few bytes fail, as a full disk would.
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
    rlimit tiny = old;
    tiny.rlim_cur = 8;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tiny), 0);
    ASSERT_TRUE(store.open(true));
    for (int i = 0; i < 18; ++i) store.set("Name" + std::to_string(i), static_cast<uint32_t>(i));
    store.close();
    ::setrlimit(RLIMIT_FSIZE, &old);
    ::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(store.lastWriteSucceeded());
    EXPECT_EQ(readText(file), before);
    EXPECT_EQ(entriesIn(home.path / "ravelin"), 1u);  // the temporary file is gone
}

TEST(FileSettingsStore, FailedRenameLeavesNoTemporaryFile) {
    TempHome home;
    // Something that is not a file stands where the settings go.
    fs::create_directories(home.path / "ravelin" / "settings.conf" / "inside");
    FileSettingsStore store(home.path.string());
    ASSERT_TRUE(store.open(true));
    store.set("Width", 800);
    store.close();
    EXPECT_FALSE(store.lastWriteSucceeded());
    EXPECT_EQ(entriesIn(home.path / "ravelin"), 1u);
    EXPECT_TRUE(fs::is_directory(home.path / "ravelin" / "settings.conf" / "inside"));

    // saveSettings says it, naming the file and the reason; a good save clears it.
    FakePlatform files;  // the real file behind the fake platform
    files.storeOverride = &store;
    std::string failure;
    EXPECT_FALSE(saveSettings(&failure));
    EXPECT_EQ(failure, (home.path / "ravelin" / "settings.conf").string() + ": Is a directory");
    fs::remove_all(home.path / "ravelin" / "settings.conf");
    EXPECT_TRUE(saveSettings(&failure));
    EXPECT_EQ(store.lastFailure(), "");
}

TEST(FileSettingsStore, ASaveRemovesTemporaryFilesAKilledSaveLeftButNotALiveOnes) {
    TempHome home;
    const fs::path folder = home.path / "ravelin";
    fs::create_directories(folder);
    writeText(folder / ".settings.conf.AbC123", "Width=1");                 // an older save's
    writeText(folder / ".settings.conf.999999999.XyZ789", "Width=2");       // no such process
    const fs::path live = folder / (".settings.conf." + std::to_string(::getppid()) + ".Live00");
    writeText(live, "Width=3");                                              // being written now
    FileSettingsStore store(home.path.string());
    ASSERT_TRUE(store.open(true));
    store.set("Width", 800);
    store.close();
    ASSERT_TRUE(store.lastWriteSucceeded());
    EXPECT_EQ(entriesIn(folder), 2u);
    EXPECT_TRUE(fs::exists(live));
}

TEST(FileSettingsStore, ALineCutByTheSizeCapIsDamagedNotAValue) {
    TempHome home;
    fs::create_directories(home.path / "ravelin");
    // "Width=1280" straddles the 1 MiB cap: only "Width=1" lies inside it.
    std::string text = "Height=768\n#" + std::string((1 << 20) - 12 - 7 - 1, 'x') + "\n";
    text += "Width=1280\nDepth=16\n";
    writeText(home.path / "ravelin" / "settings.conf", text);
    FileSettingsStore store(home.path.string());
    ASSERT_TRUE(store.open(false));
    uint32_t v = 10000;
    EXPECT_TRUE(store.query("Height", v));
    EXPECT_FALSE(store.query("Width", v)) << v;
    EXPECT_FALSE(store.query("Depth", v));
    store.close();
}

TEST(FileSettingsStore, ReadOnlyFolderLeavesOldFileIntact) {
    if (::geteuid() == 0) GTEST_SKIP() << "running as root: folder permissions do not stop writes";
    TempHome home;
    FileSettingsStore store(home.path.string());
    ASSERT_TRUE(store.open(true));
    store.set("Width", 800);
    store.close();
    const fs::path folder = home.path / "ravelin";
    const std::string before = readText(folder / "settings.conf");
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    ASSERT_TRUE(store.open(true));
    store.set("Width", 1024);
    store.close();
    fs::permissions(folder, fs::perms::owner_all);
    EXPECT_FALSE(store.lastWriteSucceeded());
    EXPECT_EQ(readText(folder / "settings.conf"), before);
}

TEST(FileSettingsStore, UncreatableFolderFailsEveryQuietly) {
    TempHome home;
    writeText(home.path / "ravelin", "a file where the folder should be");
    FileSettingsStore store(home.path.string());
    EXPECT_FALSE(store.open(false));
    uint32_t v = 10000;
    EXPECT_FALSE(store.query("Width", v));
    store.close();
    EXPECT_FALSE(store.open(true));
    store.set("Width", 5);
    store.close();
    EXPECT_EQ(readText(home.path / "ravelin"), "a file where the folder should be");

    FileSettingsStore nowhere{std::string()};
    EXPECT_FALSE(nowhere.open(false));
    nowhere.close();
}

// A save killed at any moment leaves the complete old file or the complete new one. A child
// process saves two sets of values in turn without pause and is killed after a random short
// delay, a few hundred times; the delays spread over two saves' time so that the kills land
// before, inside and after the write, the flush and the rename.
TEST(FileSettingsStore, KilledSavesLeaveTheOldOrTheNewFileWhole) {
    TempHome home;
    const fs::path file = home.path / "ravelin" / "settings.conf";
    // Two hundred values make a file of a few kilobytes.
    auto save = [&home](uint32_t base) {
        FileSettingsStore store(home.path.string());
        store.open(true);
        for (uint32_t i = 0; i < 200; ++i) store.set("Value" + std::to_string(i), base + i);
        store.close();
        return store.lastWriteSucceeded();
    };
    ASSERT_TRUE(save(1000000));
    const std::string first = readText(file);
    std::vector<int64_t> times;
    for (int i = 0; i < 5; ++i) {
        const auto start = std::chrono::steady_clock::now();
        ASSERT_TRUE(save(2000000));
        times.push_back(std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start)
                            .count());
    }
    std::sort(times.begin(), times.end());
    const std::string second = readText(file);
    ASSERT_NE(first, second);

    const int64_t spread = std::min<int64_t>(2 * times[2], 10000) + 1;
    std::mt19937 random(19);
    int unchanged = 0, replaced = 0;
    for (int round = 0; round < 200; ++round) {
        const std::string before = readText(file);
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            char go = 1;
            if (::write(ready[1], &go, 1) != 1) ::_exit(1);
            for (uint32_t k = 0;; ++k) save(k % 2 ? 1000000 : 2000000);
        }
        char go = 0;
        // The delay counts from the child's start, not from the fork.
        EXPECT_EQ(::read(ready[0], &go, 1), 1);
        ::close(ready[0]);
        ::close(ready[1]);
        ::usleep(static_cast<useconds_t>(random() % spread));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        const std::string after = readText(file);
        ASSERT_TRUE(after == first || after == second) << "round " << round << ": " << after.size() << " bytes";
        (after == before ? unchanged : replaced) += 1;
    }
    std::printf("200 kills within %lld us: the file unchanged after %d, replaced whole after %d\n",
                static_cast<long long>(spread), unchanged, replaced);
}
