// Command-line parsing of the capture and benchmark modes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/run_options.h"

namespace ravelin {
namespace {

bool parse(std::initializer_list<const char*> args, RunOptions& options, std::string& error) {
    std::vector<const char*> argv{"ravelin"};
    argv.insert(argv.end(), args.begin(), args.end());
    return parseRunOptions(static_cast<int>(argv.size()), argv.data(), options, error);
}

TEST(RunOptions, CaptureWithEverything) {
    RunOptions o;
    std::string error;
    ASSERT_TRUE(parse({"--capture", "out", "--frames", "12", "--every", "4", "--seed", "99", "--dt", "0.05", "--size",
                       "1024x768", "--time", "13:04:59"},
                      o, error))
        << error;
    EXPECT_EQ(o.mode, UnattendedMode::Capture);
    EXPECT_EQ(o.captureDir, "out");
    EXPECT_EQ(o.frames, 12);
    EXPECT_EQ(o.every, 4);
    EXPECT_EQ(o.seed, 99u);
    EXPECT_FLOAT_EQ(o.dt, 0.05f);
    EXPECT_EQ(o.width, 1024);
    EXPECT_EQ(o.height, 768);
    EXPECT_TRUE(o.sizeGiven);
    EXPECT_EQ(o.time.hour, 13);
    EXPECT_EQ(o.time.minute, 4);
    EXPECT_EQ(o.time.second, 59);
}

TEST(RunOptions, BenchmarkDefaults) {
    RunOptions o;
    std::string error;
    ASSERT_TRUE(parse({"--benchmark", "--seconds", "3"}, o, error));
    EXPECT_EQ(o.mode, UnattendedMode::Benchmark);
    EXPECT_DOUBLE_EQ(o.seconds, 3.0);
    EXPECT_EQ(o.width, 800);
    EXPECT_EQ(o.height, 600);
    EXPECT_FALSE(o.sizeGiven);
    EXPECT_FALSE(o.phaseSync);
    EXPECT_FALSE(o.dtGiven);
    ASSERT_TRUE(parse({"--benchmark", "--phase-sync", "--dt", "0.02"}, o, error));
    EXPECT_TRUE(o.phaseSync);
    EXPECT_TRUE(o.dtGiven);
}

TEST(RunOptions, RefusesBadValues) {
    std::string error;
    for (auto args : std::vector<std::vector<const char*>>{{"--capture"},
                                                          {"--frames", "0"},
                                                          {"--every", "x"},
                                                          {"--size", "800"},
                                                          {"--size", "800x600x"},
                                                          {"--time", "24:00:00"},
                                                          {"--dt", "-1"},
                                                          {"--seed", "5000000000"},
                                                          {"--whatever"}}) {
        RunOptions o;
        std::vector<const char*> argv{"ravelin"};
        argv.insert(argv.end(), args.begin(), args.end());
        error.clear();
        EXPECT_FALSE(parseRunOptions(static_cast<int>(argv.size()), argv.data(), o, error)) << args[0];
        EXPECT_FALSE(error.empty());
    }
}

}  // namespace
}  // namespace ravelin
