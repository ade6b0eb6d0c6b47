// The sample loads that read the asset archive: each engine's three band samples and the music.
// Kept apart from the per-frame engine code, which needs no archive.
#include "assets/asset_file.h"
#include "sound/engine_sound.h"
#include "sound/run_sound.h"
#include "sound/sound_system.h"

namespace ravelin {
namespace {

constexpr uint32_t kEngineSampleFlags = kAudioSampleLoop | kAudioSample3D;
constexpr uint32_t kMusicSampleFlags = kAudioSampleLoop;

// Loads one whole archive entry as a sample (0 when the entry or the library is missing).
AudioHandle loadSample(const AudioEntryPoints& audio, const char* name, uint32_t flags) {
    if (!audio.sampleLoad) return 0;
    AssetFile file;
    if (!file.openEntry(name)) return 0;
    return audio.sampleLoad(true, file.data(), 0, file.size(), 1, flags);
}

}  // namespace

void EngineSound::loadSamples(const AudioEntryPoints& audio) {
    for (int b = 0; b < 3; ++b) sample[b] = loadSample(audio, kEngineBands[b].file, kEngineSampleFlags);
}

void RunSound::startMusic() {
    const AudioEntryPoints& audio = system.entries;
    musicSample = loadSample(audio, "music.ogg", kMusicSampleFlags);
    if (audio.samplePlay) audio.samplePlay(musicSample);
}

}  // namespace ravelin
