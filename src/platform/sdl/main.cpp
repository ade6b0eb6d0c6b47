// Entry point of the Linux screensaver: parses the command line, installs the SDL platform and
// hands over to the core's run loop (a window run, the capture mode or the benchmark).
#include <cstdio>
#include <string>

#include "app/capture_run.h"
#include "sound/capture_audio.h"
#include "platform/sdl/sdl_platform.h"

int main(int argc, char** argv) {
    ravelin::SdlPlatform sdl;
    ravelin::setPlatform(&sdl);
    if (argc >= 2 && std::string(argv[1]) == "--capture-audio") {  // the offline mix needs no display
        int result = ravelin::runAudioCaptureCommand(argc, argv);
        ravelin::setPlatform(nullptr);
        return result;
    }
    ravelin::RunOptions options;
    options.startCounter = sdl.counter();
    std::string error;
    if (!ravelin::parseRunOptions(argc, argv, options, error)) {
        std::fprintf(stderr,
                     "ravelin: %s\nusage: ravelin [--capture DIR [--frames N] [--every K] [--seed S] [--dt SECONDS]"
                     " [--size WxH] [--time HH:MM:SS]] [--benchmark [--size WxH] [--seconds T]]"
                     " [--no-multitexture]\n",
                     error.c_str());
        ravelin::setPlatform(nullptr);
        return 2;
    }
    if (!sdl.videoAvailable()) {
        std::fprintf(stderr, "ravelin: no display available\n");
        ravelin::setPlatform(nullptr);
        return 1;
    }
    if (options.mode != ravelin::RunMode::Window) {
        // Unattended runs never wait for a person and always draw the same window size.
        sdl.setNonBlocking(true);
        sdl.setFullScreen(false);
        if (options.mode == ravelin::RunMode::Capture) sdl.setFixedLocalTime(&options.time);
    } else if (!options.sizeGiven) {
        ravelin::DisplayMode desktop;
        if (sdl.currentDisplayMode(desktop)) {
            options.width = desktop.width;
            options.height = desktop.height;
        }
    }
    int result = ravelin::runFrames(options);
    ravelin::setPlatform(nullptr);
    return result;
}
