// The screensaver executable under a virtual display: the capture mode's pictures, hosted
// rendering into a window this test creates (how xscreensaver runs it), the preview painted
// into a host window, a two-screen display of its own, termination signals in every mode, a
// host window that goes away, and the messages when there is no display at all.
#include <gtest/gtest.h>
#include <png.h>
// After GoogleTest: Xlib's macros (None, Bool) would break its headers.
#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

// Reading a window that is going away is part of these tests; its errors are not fatal here.
int ignoreXError(Display*, XErrorEvent*) { return 0; }

// Generous: the software rasteriser on a loaded machine may take long to load the assets. The
// tests wait for what they need to see, never for a fixed time.
constexpr auto kPatience = std::chrono::seconds(120);

struct Child {
    pid_t pid = -1;
    std::string output;  // file holding stdout and stderr
};

// An X server of the test's own, for layouts the shared one does not have (several screens).
class PrivateXvfb {
public:
    explicit PrivateXvfb(std::vector<std::string> screens) {
        int ready[2];
        if (::pipe(ready) != 0) return;
        std::vector<std::string> args = {"Xvfb", "-displayfd", std::to_string(ready[1]), "-nolisten", "tcp", "-noreset",
                                         "+extension", "GLX"};
        args.insert(args.end(), screens.begin(), screens.end());
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawnp(&pid_, "Xvfb", nullptr, nullptr, argv.data(), environ) != 0) pid_ = -1;
        ::close(ready[1]);
        // The server writes its display number once it accepts connections.
        char number[16] = {};
        ssize_t got = pid_ > 0 ? ::read(ready[0], number, sizeof number - 1) : 0;
        ::close(ready[0]);
        if (got > 0) name = ":" + std::to_string(std::atoi(number));
    }
    ~PrivateXvfb() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    std::string name;  // ":N"; empty when the server did not start

private:
    pid_t pid_ = -1;
};

class ShellRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY") || !*std::getenv("DISPLAY")) GTEST_SKIP() << "no DISPLAY (run under scripts/with_display.sh)";
        display = XOpenDisplay(nullptr);
        if (!display) GTEST_SKIP() << "cannot open DISPLAY";
        XSetErrorHandler(ignoreXError);
        dir = fs::temp_directory_path() / ("ravelin_shell_" + std::to_string(getpid()) + "_" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir / "config");
    }
    void TearDown() override {
        if (display) XCloseDisplay(display);
        if (!dir.empty()) fs::remove_all(dir);
    }

    // Stored settings for the run (the per-user file under the test's own config folder).
    void storeSettings(const std::string& lines) {
        fs::create_directories(dir / "config" / "ravelin");
        std::ofstream(dir / "config" / "ravelin" / "settings.conf") << lines;
    }

    // `environment` entries "NAME=value" replace the variable, a bare "NAME" removes it.
    Child spawn(const std::vector<std::string>& args, const std::vector<std::string>& environment = {}) {
        Child child;
        child.output = (dir / "output.txt").string();
        std::vector<std::string> env;
        std::vector<std::string> replaced = {"XDG_CONFIG_HOME"};
        for (const std::string& v : environment) replaced.push_back(v.substr(0, v.find('=')));
        for (char** e = environ; *e; ++e) {
            std::string v = *e;
            if (std::find(replaced.begin(), replaced.end(), v.substr(0, v.find('='))) == replaced.end()) env.push_back(v);
        }
        for (const std::string& v : environment)
            if (v.find('=') != std::string::npos) env.push_back(v);
        env.push_back("XDG_CONFIG_HOME=" + (dir / "config").string());
        std::vector<char*> envp, argv;
        for (std::string& v : env) envp.push_back(v.data());
        envp.push_back(nullptr);
        std::string exe = RAVELIN_EXECUTABLE;
        argv.push_back(exe.data());
        std::vector<std::string> copy = args;
        for (std::string& a : copy) argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, child.output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        EXPECT_EQ(posix_spawn(&child.pid, exe.c_str(), &actions, nullptr, argv.data(), envp.data()), 0);
        posix_spawn_file_actions_destroy(&actions);
        return child;
    }

    // The exit code, or -signal when it was killed; a child that does not end in time is
    // killed (and reported as -SIGKILL) so that a failing run cannot hang the test.
    static int wait(Child& child) {
        int status = 0;
        if (child.pid <= 0) return -1000;
        auto end = std::chrono::steady_clock::now() + kPatience;
        pid_t done = 0;
        while ((done = waitpid(child.pid, &status, WNOHANG)) == 0 && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (done == 0) {
            kill(child.pid, SIGKILL);
            waitpid(child.pid, &status, 0);
        }
        child.pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
    }
    // The shown top-level windows of one screen.
    static std::vector<Window> shownWindows(Display* d, int screen) {
        Window rootReturn, parent, *children = nullptr;
        unsigned count = 0;
        std::vector<Window> shown;
        if (!XQueryTree(d, RootWindow(d, screen), &rootReturn, &parent, &children, &count)) return shown;
        for (unsigned i = 0; i < count; ++i) {
            XWindowAttributes wa;
            if (XGetWindowAttributes(d, children[i], &wa) && wa.map_state == IsViewable) shown.push_back(children[i]);
        }
        if (children) XFree(children);
        return shown;
    }
    // A shown top-level window of the screen's own size; 0 when there is none.
    static Window screenSizedWindow(Display* d, int screen) {
        for (Window w : shownWindows(d, screen)) {
            XWindowAttributes wa;
            if (XGetWindowAttributes(d, w, &wa) && wa.width == DisplayWidth(d, screen) && wa.height == DisplayHeight(d, screen))
                return w;
        }
        return 0;
    }
    // A shown top-level window smaller than the screen (a dialog, or a message box waiting for
    // a person), described as "WxH"; "" when there is none.
    std::string smallWindow() {
        std::string found;
        for (Window w : shownWindows(display, DefaultScreen(display))) {
            XWindowAttributes wa;
            if (found.empty() && XGetWindowAttributes(display, w, &wa) && wa.width < DisplayWidth(display, DefaultScreen(display)))
                found = std::to_string(wa.width) + "x" + std::to_string(wa.height);
        }
        return found;
    }
    // Processes whose parent is pid (read from /proc).
    static int childrenOf(pid_t pid) {
        int count = 0;
        for (const auto& entry : fs::directory_iterator("/proc")) {
            std::ifstream stat(entry.path() / "stat");
            std::string line;
            if (!std::getline(stat, line) || line.rfind(')') == std::string::npos) continue;
            std::istringstream rest(line.substr(line.rfind(')') + 2));
            char state = 0;
            long parent = 0;
            if (rest >> state >> parent && parent == pid) ++count;
        }
        return count;
    }
    static bool running(const Child& child) {
        int status = 0;
        return child.pid > 0 && waitpid(child.pid, &status, WNOHANG) == 0;
    }
    static std::string outputOf(const Child& child) {
        std::ifstream in(child.output);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    // Polls until `done` holds (true) or the child ends or patience runs out (false).
    bool waitFor(const Child& child, const std::function<bool()>& done) {
        auto end = std::chrono::steady_clock::now() + kPatience;
        while (std::chrono::steady_clock::now() < end) {
            if (done()) return true;
            if (!running(child)) return done();
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    }

    // A window like xscreensaver's for a GL hack: its visual is one GLX can draw with, or (deep)
    // the 32-bit one xscreensaver picks when it has no GL visual helper.
    Window makeGlWindow(int width, int height, bool deep = false) {
        int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_DEPTH_SIZE, 24, GLX_STENCIL_SIZE, 8, None};
        XVisualInfo deepVisual{};
        XVisualInfo* visual = nullptr;
        if (!deep)
            visual = glXChooseVisual(display, DefaultScreen(display), attributes);
        else if (XMatchVisualInfo(display, DefaultScreen(display), 32, TrueColor, &deepVisual))
            visual = &deepVisual;
        if (!visual) return 0;
        XSetWindowAttributes wa{};
        Window root = DefaultRootWindow(display);
        wa.colormap = XCreateColormap(display, root, visual->visual, AllocNone);
        wa.background_pixel = 0;
        wa.border_pixel = 0;
        Window w = XCreateWindow(display, root, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
                                 visual->depth, InputOutput, visual->visual, CWColormap | CWBackPixel | CWBorderPixel,
                                 &wa);
        if (!deep) XFree(visual);
        XMapWindow(display, w);
        XSync(display, False);
        return w;
    }

    // Distinct colours in a grid of samples of the window's current contents (0: unreadable).
    int distinctColours(Window w, int width, int height, long* brightSum = nullptr, Display* on = nullptr) {
        XImage* image = XGetImage(on ? on : display, w, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height),
                                  AllPlanes, ZPixmap);
        if (!image) return 0;
        std::vector<unsigned long> seen;
        long sum = 0;
        for (int y = 2; y < height; y += 7)
            for (int x = 2; x < width; x += 7) {
                unsigned long p = XGetPixel(image, x, y) & 0xFFFFFF;
                sum += static_cast<long>((p >> 16 & 255) + (p >> 8 & 255) + (p & 255));
                if (std::find(seen.begin(), seen.end(), p) == seen.end()) seen.push_back(p);
            }
        XDestroyImage(image);
        if (brightSum) *brightSum = sum;
        return static_cast<int>(seen.size());
    }

    Display* display = nullptr;
    fs::path dir;
};

bool readPng(const fs::path& path, int& width, int& height, std::vector<uint8_t>& rgb) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_read_info(png, info);
    width = static_cast<int>(png_get_image_width(png, info));
    height = static_cast<int>(png_get_image_height(png, info));
    if (png_get_color_type(png, info) != PNG_COLOR_TYPE_RGB || png_get_bit_depth(png, info) != 8) longjmp(png_jmpbuf(png), 1);
    rgb.resize(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) png_read_row(png, rgb.data() + static_cast<size_t>(y) * width * 3, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(file);
    return true;
}

TEST_F(ShellRunTest, CaptureWritesPicturesThatShowAMovingRace) {
    fs::path frames = dir / "frames";
    fs::create_directories(frames);
    // With the GL check on: the capture fails on any GL error.
    Child child = spawn({"--capture", frames.string(), "--frames", "25", "--every", "8", "--size", "320x240"},
                        {"RAVELIN_GL_CHECK=1"});
    ASSERT_EQ(wait(child), 0) << outputOf(child);
    EXPECT_NE(outputOf(child).find("gl_errors 0"), std::string::npos) << outputOf(child);
    std::vector<std::vector<uint8_t>> pictures;
    for (int frame : {0, 8, 16, 24}) {
        char name[32];
        std::snprintf(name, sizeof name, "frame_%05d.png", frame);
        int w = 0, h = 0;
        std::vector<uint8_t> rgb;
        ASSERT_TRUE(readPng(frames / name, w, h, rgb)) << name;
        EXPECT_EQ(w, 320);
        EXPECT_EQ(h, 240);
        long sum = 0;
        size_t differing = 0;
        for (size_t i = 0; i < rgb.size(); ++i) {
            sum += rgb[i];
            if (rgb[i] != rgb[i % 3]) ++differing;
        }
        EXPECT_GT(sum / static_cast<long>(rgb.size()), 8) << name << " is black";
        EXPECT_GT(differing, rgb.size() / 10) << name << " is one colour";
        pictures.push_back(std::move(rgb));
    }
    for (size_t i = 1; i < pictures.size(); ++i) EXPECT_NE(pictures[i], pictures[i - 1]) << "frame " << i * 8;
}

TEST_F(ShellRunTest, HostedRunDrawsIntoTheGivenWindowFollowsResizesAndEndsOnSigterm) {
    Window host = makeGlWindow(320, 240);
    ASSERT_NE(host, 0u) << "no GLX visual";
    char id[32];
    std::snprintf(id, sizeof id, "0%lu", host);  // decimal, a leading zero and all (never octal)
    Child child = spawn({"--window-id", id}, {"ALSOFT_DRIVERS=alsa", "ALSA_CARD=ravelin_no_such_card"});
    // Something beyond the black background appears in our window.
    EXPECT_TRUE(waitFor(child, [&] { return distinctColours(host, 320, 240) > 20; })) << outputOf(child);
    // Input in the window does not end a hosted run: the host decides.
    XResizeWindow(display, host, 200, 150);
    XSync(display, False);
    EXPECT_TRUE(waitFor(child, [&] { return distinctColours(host, 200, 150) > 10; }));
    ASSERT_TRUE(running(child)) << outputOf(child);
    kill(child.pid, SIGTERM);
    EXPECT_EQ(wait(child), 0) << outputOf(child);
    EXPECT_EQ(outputOf(child), "") << "a hosted run keeps the host's log clean, silent sound included";
    // The host's window is still the host's.
    XWindowAttributes wa;
    EXPECT_TRUE(XGetWindowAttributes(display, host, &wa));
    XDestroyWindow(display, host);
}

TEST_F(ShellRunTest, SigtermEndsAFullScreenRunThroughItsShutdown) {
    // A mode the virtual screen cannot take: the desktop stays, the run goes on.
    storeSettings("UseDesktop=0\nWidth=640\nHeight=480\nDepth=32\nEnableMusic=0\nEnableSFX=0\n");
    Window root = DefaultRootWindow(display);
    const int screenWidth = DisplayWidth(display, DefaultScreen(display));
    const int screenHeight = DisplayHeight(display, DefaultScreen(display));
    // A sound device that cannot be opened, as on a machine without a sound card.
    const std::vector<std::string> noSound = {"ALSOFT_DRIVERS=alsa", "ALSA_CARD=ravelin_no_such_card"};
    Child child = spawn({"/s"}, noSound);
    // Wait for the full-screen window to show a picture.
    std::string box;
    auto covered = [&] {
        box = smallWindow();
        if (!box.empty()) return true;
        Window rootReturn, parent, *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(display, root, &rootReturn, &parent, &children, &count)) return false;
        bool found = false;
        for (unsigned i = 0; i < count && !found; ++i) {
            XWindowAttributes wa;
            if (XGetWindowAttributes(display, children[i], &wa) && wa.map_state == IsViewable &&
                wa.width == screenWidth && wa.height == screenHeight)
                found = distinctColours(children[i], 400, 300) > 20;
        }
        if (children) XFree(children);
        return found;
    };
    EXPECT_TRUE(waitFor(child, covered)) << outputOf(child);
    if (!box.empty()) {
        // Message boxes are modal and nobody here can press OK; the hosted run's test covers
        // the same SIGTERM path without them.
        kill(child.pid, SIGKILL);
        wait(child);
        GTEST_SKIP() << "the run waits on a message box (a " << box << " window): an asset is missing";
    }
    ASSERT_TRUE(running(child)) << outputOf(child);
    kill(child.pid, SIGTERM);
    EXPECT_EQ(wait(child), 0) << outputOf(child);
    // The backends' own lines stay quiet; the run says once that it is silent.
    EXPECT_EQ(outputOf(child), "ravelin: no sound device could be opened; the run is silent\n");
    XSync(display, False);
    EXPECT_EQ(DisplayWidth(display, DefaultScreen(display)), screenWidth);
    EXPECT_EQ(DisplayHeight(display, DefaultScreen(display)), screenHeight);
}

TEST_F(ShellRunTest, PreviewPaintsThePictureIntoTheHostWindowUntilItCloses) {
    Window root = DefaultRootWindow(display);
    Window host = XCreateSimpleWindow(display, root, 0, 0, 200, 150, 0, 0, BlackPixel(display, DefaultScreen(display)));
    XMapWindow(display, host);
    XSync(display, False);
    char id[32];
    std::snprintf(id, sizeof id, "%lu", host);
    Child child = spawn({"/p", id});
    long bright = 0;
    EXPECT_TRUE(waitFor(child, [&] { return distinctColours(host, 155, 115, &bright) > 10; })) << outputOf(child);
    // Outside the 155 × 115 picture the window stays black.
    XImage* corner = XGetImage(display, host, 180, 130, 10, 10, AllPlanes, ZPixmap);
    ASSERT_NE(corner, nullptr);
    EXPECT_EQ(XGetPixel(corner, 5, 5) & 0xFFFFFF, 0u);
    XDestroyImage(corner);
    XDestroyWindow(display, host);
    XSync(display, False);
    EXPECT_EQ(wait(child), 0) << outputOf(child);
}

TEST_F(ShellRunTest, HexWindowIdsWorkForThePreviewToo) {
    Window root = DefaultRootWindow(display);
    Window host = XCreateSimpleWindow(display, root, 0, 0, 160, 120, 0, 0, BlackPixel(display, DefaultScreen(display)));
    XMapWindow(display, host);
    XSync(display, False);
    char id[32];
    std::snprintf(id, sizeof id, "0x%lx", host);
    Child child = spawn({"-p", id});
    EXPECT_TRUE(waitFor(child, [&] { return distinctColours(host, 155, 115) > 10; })) << outputOf(child);
    XDestroyWindow(display, host);
    XSync(display, False);
    EXPECT_EQ(wait(child), 0) << outputOf(child);
}

TEST_F(ShellRunTest, WithoutADisplayEveryModeSaysWhyAndFails) {
    const std::vector<std::string> none = {"DISPLAY", "WAYLAND_DISPLAY"};
    // A display name nobody answers: SDL's off-screen fallback does not count as a display.
    int unused = 4000;
    while (fs::exists("/tmp/.X11-unix/X" + std::to_string(unused))) ++unused;
    const std::vector<std::string> dead = {"DISPLAY=:" + std::to_string(unused), "WAYLAND_DISPLAY"};
    for (const auto& environment : {none, dead}) {
        for (const char* mode : {"/s", "-c"}) {
            Child child = spawn({mode}, environment);
            EXPECT_NE(wait(child), 0) << mode;
            EXPECT_NE(outputOf(child).find("no display"), std::string::npos) << mode << ": " << outputOf(child);
        }
        Child preview = spawn({"/p", "1234"}, environment);
        EXPECT_NE(wait(preview), 0);
        EXPECT_NE(outputOf(preview).find("ERROR: Cannot creat window!"), std::string::npos) << outputOf(preview);
    }
}

TEST_F(ShellRunTest, TwoScreensTheMainWindowDrawsHasTheKeyboardAndTheIconTheOtherIsBlack) {
    PrivateXvfb x({"-screen", "0", "1024x768x24", "-screen", "1", "800x600x24"});
    ASSERT_FALSE(x.name.empty()) << "Xvfb did not start";
    Display* d = XOpenDisplay(x.name.c_str());
    ASSERT_NE(d, nullptr);
    storeSettings("EnableMusic=0\nEnableSFX=0\n");
    Child child = spawn({"/s"}, {"DISPLAY=" + x.name, "LIBGL_ALWAYS_SOFTWARE=1"});
    Window main = 0;
    EXPECT_TRUE(waitFor(child, [&] {
        main = screenSizedWindow(d, 0);
        return main && distinctColours(main, 400, 300, nullptr, d) > 20;
    })) << outputOf(child);
    ASSERT_TRUE(running(child)) << outputOf(child);
    // The keys go to the window whose key press ends the run.
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(d, &focus, &revert);
    EXPECT_EQ(focus, main);
    // It carries the program's 32 × 32 icon for window lists.
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* icon = nullptr;
    XGetWindowProperty(d, main, XInternAtom(d, "_NET_WM_ICON", False), 0, 4096, False, AnyPropertyType, &type, &format,
                       &items, &after, &icon);
    ASSERT_GE(items, 2u + 32 * 32);
    EXPECT_EQ(reinterpret_cast<unsigned long*>(icon)[0], 32u);
    EXPECT_EQ(reinterpret_cast<unsigned long*>(icon)[1], 32u);
    XFree(icon);
    Window blank = screenSizedWindow(d, 1);
    ASSERT_NE(blank, 0u);
    long bright = -1;
    EXPECT_EQ(distinctColours(blank, 800, 600, &bright, d), 1);
    EXPECT_EQ(bright, 0);
    kill(child.pid, SIGTERM);
    EXPECT_EQ(wait(child), 0) << outputOf(child);
    XCloseDisplay(d);
}

TEST_F(ShellRunTest, DialogsAndPreviewsEndOnATerminationSignalLeavingNothingBehind) {
    // The settings dialog (asked for with -c or with no switch at all): closed as Cancel.
    for (std::vector<std::string> args : {std::vector<std::string>{"-c"}, std::vector<std::string>{}}) {
        Child dialog = spawn(args);
        EXPECT_TRUE(waitFor(dialog, [&] { return !smallWindow().empty(); })) << outputOf(dialog);
        kill(dialog.pid, args.empty() ? SIGINT : SIGTERM);
        EXPECT_EQ(wait(dialog), 0) << outputOf(dialog);
        EXPECT_EQ(smallWindow(), "");
    }
    std::ifstream stored(dir / "config" / "ravelin" / "settings.conf");
    std::string text((std::istreambuf_iterator<char>(stored)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text.find("Volume="), std::string::npos) << "Cancel saves nothing: " << text;

    // A preview whose window cannot be made waits on its message box, in this process.
    Child lost = spawn({"/p", "12345"});
    EXPECT_TRUE(waitFor(lost, [&] { return !smallWindow().empty(); })) << outputOf(lost);
    EXPECT_EQ(childrenOf(lost.pid), 0);
    kill(lost.pid, SIGTERM);
    EXPECT_EQ(wait(lost), 1) << outputOf(lost);
    EXPECT_EQ(smallWindow(), "");

    // A preview that paints ends as when its host closes.
    Window host = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 200, 150, 0, 0, 0);
    XMapWindow(display, host);
    XSync(display, False);
    Child preview = spawn({"/p", std::to_string(host)});
    EXPECT_TRUE(waitFor(preview, [&] { return distinctColours(host, 155, 115) > 10; })) << outputOf(preview);
    kill(preview.pid, SIGINT);
    EXPECT_EQ(wait(preview), 0) << outputOf(preview);
    XDestroyWindow(display, host);
}

TEST_F(ShellRunTest, AHostedRunInADeepWindowDrawsEndsCleanlyWhenItGoesAwayAndAMissingWindowIsSaid) {
    Window host = makeGlWindow(320, 240, true);
    ASSERT_NE(host, 0u) << "no 32-bit visual";
    char id[32];
    std::snprintf(id, sizeof id, "0x%lx", host);
    Child child = spawn({"--window-id", id});
    EXPECT_TRUE(waitFor(child, [&] { return distinctColours(host, 320, 240) > 20; })) << outputOf(child);
    ASSERT_TRUE(running(child)) << outputOf(child);
    XDestroyWindow(display, host);
    XSync(display, False);
    EXPECT_EQ(wait(child), 0) << outputOf(child);

    Child missing = spawn({"--window-id", id});
    EXPECT_EQ(wait(missing), 1);
    EXPECT_NE(outputOf(missing).find(std::string("there is no window ") + id), std::string::npos) << outputOf(missing);
}

TEST_F(ShellRunTest, BadShellOptionsAreRefused) {
    Child child = spawn({"--window-id", "nonsense"});
    EXPECT_EQ(wait(child), 2);
    EXPECT_NE(outputOf(child).find("--window-id needs a window id"), std::string::npos) << outputOf(child);
    Child empty = spawn({"--capture", ""});
    EXPECT_EQ(wait(empty), 2);
    EXPECT_NE(outputOf(empty).find("--capture needs a folder"), std::string::npos) << outputOf(empty);
}

TEST_F(ShellRunTest, HelpAndVersionStartNothingAndCaptureMakesItsFolderFirst) {
    // Without a display, so that anything beyond printing would fail.
    for (const char* ask : {"--help", "-h"}) {
        Child help = spawn({ask}, {"DISPLAY", "WAYLAND_DISPLAY"});
        EXPECT_EQ(wait(help), 0) << ask;
        EXPECT_EQ(outputOf(help).rfind("usage: ravelin", 0), 0u) << outputOf(help);
    }
    Child version = spawn({"--version"}, {"DISPLAY", "WAYLAND_DISPLAY"});
    EXPECT_EQ(wait(version), 0);
    EXPECT_EQ(outputOf(version).rfind("ravelin 0.", 0), 0u) << outputOf(version);

    // A folder that cannot be made is said before anything loads.
    std::ofstream(dir / "plain_file") << "not a folder";
    Child blocked = spawn({"--capture", (dir / "plain_file" / "frames").string(), "--frames", "1"});
    EXPECT_EQ(wait(blocked), 1);
    EXPECT_NE(outputOf(blocked).find("cannot write frames into"), std::string::npos) << outputOf(blocked);
    EXPECT_EQ(outputOf(blocked).find("frames drawn"), std::string::npos);
    // Missing folders are made, parents included.
    Child nested = spawn({"--capture", (dir / "a" / "b").string(), "--frames", "1", "--size", "64x48"});
    EXPECT_EQ(wait(nested), 0) << outputOf(nested);
    EXPECT_TRUE(fs::exists(dir / "a" / "b" / "frame_00000.png"));
}

}  // namespace
