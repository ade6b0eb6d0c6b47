// The audio library over OpenAL Soft. One device and context at a time, fixed tables of samples
// (OpenAL buffers) and channels (OpenAL sources); handles carry a slot index and a generation so
// a stale handle is refused rather than reaching another channel. Every entry point checks its
// arguments and does nothing harmful without a device.
#include "sound/audio/audio.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

namespace ravelin {
namespace {

constexpr uint32_t kMaxSamples = 1024;
constexpr uint32_t kMaxChannels = 255;  // OpenAL Soft mixes 256 sources by default
constexpr uint32_t kSlotBits = 12;
constexpr uint32_t kSlotMask = (1u << kSlotBits) - 1;
constexpr int32_t kMinFrequency = 100;
constexpr int32_t kMaxFrequency = 200000;
// A decoded sample may hold at most this many 16-bit values (about ten minutes of stereo).
constexpr size_t kMaxDecodedValues = size_t(48000) * 2 * 600;

struct Sample {
    AudioHandle handle = 0;
    ALuint buffer = 0;
    int32_t rate = 0;
    int channels = 0;
    uint32_t flags = 0;
    uint32_t maxPlaybacks = 1;
};

struct Channel {
    AudioHandle handle = 0;
    AudioHandle sample = 0;
    ALuint source = 0;
    bool is3D = false;
    bool mono = true;
    int32_t rate = 44100;
    int32_t frequency = 44100;
    int32_t volume = 100;
    int32_t pan = 0;
    SoundVector position;
    SoundVector velocity;
    bool pending3D = false;
    bool pausedByStop = false;
};

struct Library {
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
    bool loopback = false;
    LPALCRENDERSAMPLESSOFT renderSamples = nullptr;
    bool directChannels = false;
    int32_t volume = 100;
    float distanceFactor = 1.0f;
    float rolloff = 1.0f;
    float doppler = 1.0f;
    int32_t error = kAudioOk;
    bool stopped = false;
    uint32_t sampleGeneration = 0;
    uint32_t channelGeneration = 0;
    Sample samples[kMaxSamples];
    Channel channels[kMaxChannels];
};

Library& lib() {
    static Library library;
    return library;
}

bool fail(AudioError code) {
    lib().error = code;
    return false;
}
bool succeed() {
    lib().error = kAudioOk;
    return true;
}

bool finite(const SoundVector& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

AudioHandle makeHandle(uint32_t& generation, uint32_t slot) {
    generation = (generation + 1) & ((1u << (32 - kSlotBits)) - 1);
    if (generation == 0) generation = 1;
    return (generation << kSlotBits) | (slot + 1);
}

Sample* findSample(AudioHandle handle) {
    uint32_t slot = (handle & kSlotMask);
    if (handle == 0 || slot == 0 || slot > kMaxSamples) return nullptr;
    Sample& s = lib().samples[slot - 1];
    return s.handle == handle ? &s : nullptr;
}

Channel* findChannel(AudioHandle handle) {
    uint32_t slot = (handle & kSlotMask);
    if (handle == 0 || slot == 0 || slot > kMaxChannels) return nullptr;
    Channel& c = lib().channels[slot - 1];
    return c.handle == handle ? &c : nullptr;
}

ALint sourceState(ALuint source) {
    ALint state = AL_STOPPED;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    return state;
}

// The inverse-distance model with the distance scaled into metres: full gain within one metre,
// then gain = 1 / (1 + rolloff * (metres - 1)). OpenAL's clamped inverse model expresses it
// exactly with a reference distance of one metre in position units.
void applyDistanceModel(const Channel& c) {
    const Library& l = lib();
    alSourcef(c.source, AL_REFERENCE_DISTANCE, 1.0f / l.distanceFactor);
    alSourcef(c.source, AL_ROLLOFF_FACTOR, l.rolloff);
    alSourcef(c.source, AL_MAX_DISTANCE, 3.0e37f);
}

void applyPan(const Channel& c) {
    // A plain mono channel sits on a unit circle around the listener, in the listener's own
    // frame (x right, z behind): -100 hard left, 0 ahead, 100 hard right.
    if (c.is3D || !c.mono) return;
    float angle = float(c.pan) / 100.0f * 1.5707964f;
    alSource3f(c.source, AL_POSITION, std::sin(angle), 0.0f, -std::cos(angle));
}

void setUpContext() {
    Library& l = lib();
    const ALfloat orientation[6] = {0.0f, 0.0f, 1.0f, 0.0f, -1.0f, 0.0f};
    alListenerfv(AL_ORIENTATION, orientation);
    alListener3f(AL_POSITION, 0.0f, 0.0f, 0.0f);
    alListener3f(AL_VELOCITY, 0.0f, 0.0f, 0.0f);
    alListenerf(AL_GAIN, float(l.volume) / 100.0f);
    alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
    alSpeedOfSound(kAudioSpeedOfSound);
    alDopplerFactor(l.doppler);
    l.directChannels = alIsExtensionPresent("AL_SOFT_direct_channels") == AL_TRUE;
    alGetError();
}

void resetState() {
    Library& l = lib();
    l.device = nullptr;
    l.context = nullptr;
    l.loopback = false;
    l.renderSamples = nullptr;
    l.volume = 100;
    l.distanceFactor = 1.0f;
    l.rolloff = 1.0f;
    l.doppler = 1.0f;
    l.stopped = false;
    for (Sample& s : l.samples) s = Sample{};
    for (Channel& c : l.channels) c = Channel{};
}

bool openContext(ALCdevice* device, const ALCint* attributes, bool loopback) {
    Library& l = lib();
    ALCcontext* context = alcCreateContext(device, attributes);
    if (!context) {
        alcCloseDevice(device);
        return fail(kAudioErrorDevice);
    }
    if (alcMakeContextCurrent(context) != ALC_TRUE) {
        alcDestroyContext(context);
        alcCloseDevice(device);
        return fail(kAudioErrorDevice);
    }
    resetState();
    l.device = device;
    l.context = context;
    l.loopback = loopback;
    setUpContext();
    return succeed();
}

// --- Ogg Vorbis from memory ---

struct MemoryFile {
    const uint8_t* data;
    size_t size;
    size_t position;
};

size_t memoryRead(void* destination, size_t size, size_t count, void* source) {
    MemoryFile& f = *static_cast<MemoryFile*>(source);
    if (size == 0 || count == 0 || f.position >= f.size) return 0;
    size_t items = std::min(count, (f.size - f.position) / size);
    std::memcpy(destination, f.data + f.position, items * size);
    f.position += items * size;
    return items;
}

struct Decoded {
    std::vector<int16_t> values;
    int channels = 0;
    int32_t rate = 0;
};

bool decodeVorbis(const uint8_t* data, size_t size, Decoded& out) {
    MemoryFile file{data, size, 0};
    // Read front to back as a stream, without seek callbacks: the seekable open scans a chained
    // file's links by bisection, and libvorbisfile 1.3.7 leaks memory on that path (a chained
    // file whose second link changes the layout is enough). A stream has no total length to
    // reserve ahead; the values grow as decoded.
    ov_callbacks callbacks{memoryRead, nullptr, nullptr, nullptr};
    OggVorbis_File vf;
    if (ov_open_callbacks(&file, &vf, nullptr, 0, callbacks) != 0) return false;
    bool ok = true;
    vorbis_info* info = ov_info(&vf, -1);
    if (!info || (info->channels != 1 && info->channels != 2) || info->rate < 1000 || info->rate > 192000) {
        ov_clear(&vf);
        return false;
    }
    out.channels = info->channels;
    out.rate = int32_t(info->rate);
    char buffer[8192];
    for (;;) {
        int section = 0;
        long got = ov_read(&vf, buffer, sizeof buffer, 0, 2, 1, &section);
        if (got == 0) break;
        if (got == OV_HOLE) continue;
        if (got < 0) {
            ok = false;
            break;
        }
        vorbis_info* now = ov_info(&vf, section);
        if (!now || now->channels != out.channels || now->rate != out.rate) {
            ok = false;  // a chained stream that changes its layout is not one sample
            break;
        }
        size_t count = size_t(got) / 2;
        if (out.values.size() + count > kMaxDecodedValues) {
            ok = false;
            break;
        }
        size_t old = out.values.size();
        out.values.resize(old + count);
        std::memcpy(out.values.data() + old, buffer, count * 2);
    }
    ov_clear(&vf);
    // Whole frames only.
    out.values.resize(out.values.size() - out.values.size() % size_t(out.channels));
    return ok && !out.values.empty();
}

}  // namespace

extern "C" {

int32_t Audio_ErrorGetCode() { return lib().error; }

bool Audio_Init(int32_t device, uint32_t frequency, uint32_t flags, uintptr_t window, const void* guid) {
    (void)flags;
    (void)window;
    (void)guid;
    if (lib().device) return fail(kAudioErrorAlready);
    if (device != -1 && device != 1) return fail(kAudioErrorDevice);
    ALCdevice* dev = alcOpenDevice(nullptr);
    if (!dev) return fail(kAudioErrorDevice);
    ALCint rate = (frequency >= 8000 && frequency <= 192000) ? ALCint(frequency) : 44100;
    // Eighteen engines near the camera can add up past full scale: the device's limiter keeps
    // the output from clipping. Plain stereo panning, no HRTF.
    ALCint attributes[7] = {ALC_FREQUENCY, rate, ALC_OUTPUT_LIMITER_SOFT, ALC_TRUE, 0, 0, 0};
    if (alcIsExtensionPresent(dev, "ALC_SOFT_HRTF") == ALC_TRUE) {
        attributes[4] = ALC_HRTF_SOFT;
        attributes[5] = ALC_FALSE;
    }
    return openContext(dev, attributes, false);
}

bool Audio_Free() {
    Library& l = lib();
    if (!l.device) return fail(kAudioErrorNotInitialised);
    for (Channel& c : l.channels) {
        if (c.source) {
            alSourceStop(c.source);
            alSourcei(c.source, AL_BUFFER, 0);
            alDeleteSources(1, &c.source);
        }
    }
    for (Sample& s : l.samples) {
        if (s.buffer) alDeleteBuffers(1, &s.buffer);
    }
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(l.context);
    alcCloseDevice(l.device);
    resetState();
    return succeed();
}

bool Audio_SetVolume(int32_t volume) {
    Library& l = lib();
    if (!l.device) return fail(kAudioErrorNotInitialised);
    l.volume = std::clamp(volume, 0, 100);
    alListenerf(AL_GAIN, float(l.volume) / 100.0f);
    return succeed();
}

int32_t Audio_GetVolume() {
    Library& l = lib();
    if (!l.device) {
        fail(kAudioErrorNotInitialised);
        return -1;
    }
    succeed();
    return l.volume;
}

bool Audio_Start() {
    Library& l = lib();
    if (!l.device) return fail(kAudioErrorNotInitialised);
    if (l.stopped) {
        for (Channel& c : l.channels) {
            if (c.handle && c.pausedByStop) alSourcePlay(c.source);
            c.pausedByStop = false;
        }
        l.stopped = false;
    }
    return succeed();
}

bool Audio_Stop() {
    Library& l = lib();
    if (!l.device) return fail(kAudioErrorNotInitialised);
    if (!l.stopped) {
        for (Channel& c : l.channels) {
            c.pausedByStop = false;
            if (c.handle && sourceState(c.source) == AL_PLAYING) {
                alSourcePause(c.source);
                c.pausedByStop = true;
            }
        }
        l.stopped = true;
    }
    return succeed();
}

AudioHandle Audio_SampleLoad(bool fromMemory, const void* file, uint32_t offset, uint32_t length,
                             uint32_t max, uint32_t flags) {
    Library& l = lib();
    if (!l.device) return fail(kAudioErrorNotInitialised), 0;
    if (!fromMemory || !file || length == 0) return fail(kAudioErrorParameter), 0;
    uint32_t slot = 0;
    while (slot < kMaxSamples && l.samples[slot].handle) ++slot;
    if (slot == kMaxSamples) return fail(kAudioErrorMemory), 0;

    Decoded decoded;
    bool ok = false;
    try {  // the decoder's buffer may fail to grow; that is a failed load, not a crash
        ok = decodeVorbis(static_cast<const uint8_t*>(file) + offset, length, decoded);
    } catch (const std::bad_alloc&) {
        return fail(kAudioErrorMemory), 0;
    }
    if (!ok) return fail(kAudioErrorFileFormat), 0;

    alGetError();
    ALuint buffer = 0;
    alGenBuffers(1, &buffer);
    if (alGetError() != AL_NO_ERROR) return fail(kAudioErrorMemory), 0;
    alBufferData(buffer, decoded.channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16, decoded.values.data(),
                 ALsizei(decoded.values.size() * 2), decoded.rate);
    if (alGetError() != AL_NO_ERROR) {
        alDeleteBuffers(1, &buffer);
        return fail(kAudioErrorMemory), 0;
    }
    Sample& s = l.samples[slot];
    s.handle = makeHandle(l.sampleGeneration, slot);
    s.buffer = buffer;
    s.rate = decoded.rate;
    s.channels = decoded.channels;
    s.flags = flags;
    s.maxPlaybacks = std::max<uint32_t>(max, 1);
    succeed();
    return s.handle;
}

namespace {

// Starts a new playback of a sample: refuses when its playbacks are all busy, reuses the slot
// of a channel that has finished.
Channel* startChannel(AudioHandle sampleHandle, bool is3D) {
    Library& l = lib();
    if (!l.device) return fail(kAudioErrorNotInitialised), nullptr;
    Sample* sample = findSample(sampleHandle);
    if (!sample) return fail(kAudioErrorHandle), nullptr;
    if (is3D && !(sample->flags & kAudioSample3D)) return fail(kAudioErrorNo3D), nullptr;
    uint32_t busy = 0;
    Channel* slot = nullptr;
    for (Channel& c : l.channels) {
        if (c.handle == 0) {
            if (!slot) slot = &c;
            continue;
        }
        ALint state = sourceState(c.source);
        bool finished = state == AL_STOPPED || state == AL_INITIAL;
        if (finished && !c.pausedByStop) {
            if (!slot) slot = &c;
            continue;
        }
        if (c.sample == sampleHandle) ++busy;
    }
    if (busy >= sample->maxPlaybacks || !slot) return fail(kAudioErrorNoChannel), nullptr;

    alGetError();
    if (slot->source == 0) {
        alGenSources(1, &slot->source);
        if (alGetError() != AL_NO_ERROR) {
            slot->source = 0;
            return fail(kAudioErrorNoChannel), nullptr;
        }
    } else {
        alSourceStop(slot->source);
    }
    ALuint source = slot->source;
    uint32_t index = uint32_t(slot - l.channels);
    *slot = Channel{};
    slot->source = source;
    slot->handle = makeHandle(l.channelGeneration, index);
    slot->sample = sampleHandle;
    slot->is3D = is3D;
    slot->mono = sample->channels == 1;
    slot->rate = sample->rate;
    slot->frequency = sample->rate;

    alSourcei(source, AL_BUFFER, ALint(sample->buffer));
    alSourcei(source, AL_LOOPING, (sample->flags & kAudioSampleLoop) ? AL_TRUE : AL_FALSE);
    alSourcef(source, AL_PITCH, 1.0f);
    alSourcef(source, AL_GAIN, 1.0f);
    if (l.directChannels) alSourcei(source, AL_DIRECT_CHANNELS_SOFT, (!is3D && !slot->mono) ? AL_TRUE : AL_FALSE);
    if (is3D) {
        alSourcei(source, AL_SOURCE_RELATIVE, AL_FALSE);
        applyDistanceModel(*slot);
    } else {
        alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
        alSourcef(source, AL_ROLLOFF_FACTOR, 0.0f);
        alSource3f(source, AL_POSITION, 0.0f, 0.0f, 0.0f);
        alSource3f(source, AL_VELOCITY, 0.0f, 0.0f, 0.0f);
        applyPan(*slot);
    }
    return slot;
}

void play(Channel& c) {
    Library& l = lib();
    if (l.stopped) {
        c.pausedByStop = true;  // starts with the output
        return;
    }
    alSourcePlay(c.source);
}

}  // namespace

AudioHandle Audio_SamplePlay3D(AudioHandle sample, const SoundVector* position, const SoundVector* orientation,
                               const SoundVector* velocity) {
    (void)orientation;
    Channel* c = startChannel(sample, true);
    if (!c) return 0;
    if (position && finite(*position)) c->position = *position;
    if (velocity && finite(*velocity)) c->velocity = *velocity;
    alSource3f(c->source, AL_POSITION, c->position.x, c->position.y, c->position.z);
    alSource3f(c->source, AL_VELOCITY, c->velocity.x, c->velocity.y, c->velocity.z);
    play(*c);
    succeed();
    return c->handle;
}

AudioHandle Audio_SamplePlay(AudioHandle sample) {
    Channel* c = startChannel(sample, false);
    if (!c) return 0;
    play(*c);
    succeed();
    return c->handle;
}

bool Audio_ChannelGetAttributes(AudioHandle channel, int32_t* frequency, int32_t* volume, int32_t* pan) {
    if (!lib().device) return fail(kAudioErrorNotInitialised);
    Channel* c = findChannel(channel);
    if (!c) return fail(kAudioErrorHandle);
    if (frequency) *frequency = c->frequency;
    if (volume) *volume = c->volume;
    if (pan) *pan = c->pan;
    return succeed();
}

bool Audio_ChannelSetAttributes(AudioHandle channel, int32_t frequency, int32_t volume, int32_t pan) {
    if (!lib().device) return fail(kAudioErrorNotInitialised);
    Channel* c = findChannel(channel);
    if (!c) return fail(kAudioErrorHandle);
    if (frequency > 0) {
        c->frequency = std::clamp(frequency, kMinFrequency, kMaxFrequency);
        alSourcef(c->source, AL_PITCH, float(c->frequency) / float(c->rate));
    }
    if (volume >= 0) {
        c->volume = std::min(volume, 100);
        alSourcef(c->source, AL_GAIN, float(c->volume) / 100.0f);
    }
    if (pan != kAudioPanUnchanged) {
        c->pan = std::clamp(pan, -100, 100);
        applyPan(*c);
    }
    return succeed();
}

bool Audio_ChannelSet3DPosition(AudioHandle channel, const SoundVector* position, const SoundVector* orientation,
                                const SoundVector* velocity) {
    (void)orientation;
    if (!lib().device) return fail(kAudioErrorNotInitialised);
    Channel* c = findChannel(channel);
    if (!c) return fail(kAudioErrorHandle);
    if (!c->is3D) return fail(kAudioErrorNo3D);
    if (position && finite(*position)) c->position = *position;
    if (velocity && finite(*velocity)) c->velocity = *velocity;
    c->pending3D = true;
    return succeed();
}

void Audio_Apply3D() {
    Library& l = lib();
    if (!l.device) {
        fail(kAudioErrorNotInitialised);
        return;
    }
    for (Channel& c : l.channels) {
        if (!c.handle || !c.pending3D) continue;
        alSource3f(c.source, AL_POSITION, c.position.x, c.position.y, c.position.z);
        alSource3f(c.source, AL_VELOCITY, c.velocity.x, c.velocity.y, c.velocity.z);
        c.pending3D = false;
    }
    succeed();
}

bool Audio_Set3DFactors(float distance, float rolloff, float doppler) {
    Library& l = lib();
    if (!l.device) return fail(kAudioErrorNotInitialised);
    if (std::isfinite(distance) && distance > 0.0f) l.distanceFactor = std::clamp(distance, 1.0e-6f, 1.0e6f);
    if (std::isfinite(rolloff) && rolloff >= 0.0f) l.rolloff = std::min(rolloff, 10.0f);
    if (std::isfinite(doppler) && doppler >= 0.0f) l.doppler = std::min(doppler, 10.0f);
    alDopplerFactor(l.doppler);
    for (Channel& c : l.channels) {
        if (c.handle && c.is3D) applyDistanceModel(c);
    }
    return succeed();
}

}  // extern "C"

bool audioInitLoopback(uint32_t frequency) {
    if (lib().device) return fail(kAudioErrorAlready);
    if (alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback") != ALC_TRUE) return fail(kAudioErrorDevice);
    auto openLoopback =
        reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
    auto render = reinterpret_cast<LPALCRENDERSAMPLESSOFT>(alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
    if (!openLoopback || !render) return fail(kAudioErrorDevice);
    ALCdevice* device = openLoopback(nullptr);
    if (!device) return fail(kAudioErrorDevice);
    ALCint rate = (frequency >= 8000 && frequency <= 192000) ? ALCint(frequency) : 44100;
    ALCint attributes[] = {ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT, ALC_FORMAT_TYPE_SOFT, ALC_FLOAT_SOFT,
                           ALC_FREQUENCY, rate, ALC_HRTF_SOFT, ALC_FALSE, ALC_OUTPUT_LIMITER_SOFT, ALC_TRUE, 0};
    if (!openContext(device, attributes, true)) return false;
    lib().renderSamples = render;
    return true;
}

bool audioSampleFree(AudioHandle sampleHandle) {
    Library& l = lib();
    if (!l.device) return fail(kAudioErrorNotInitialised);
    Sample* sample = findSample(sampleHandle);
    if (!sample) return fail(kAudioErrorHandle);
    for (Channel& c : l.channels) {
        if (c.handle && c.sample == sampleHandle) {
            alSourceStop(c.source);
            alSourcei(c.source, AL_BUFFER, 0);
            ALuint source = c.source;
            c = Channel{};
            c.source = source;  // kept for the next channel in this slot
        }
    }
    alDeleteBuffers(1, &sample->buffer);
    *sample = Sample{};
    return succeed();
}

bool audioRenderLoopback(float* out, uint32_t frames) {
    Library& l = lib();
    if (!out) return false;
    if (!l.device || !l.loopback || !l.renderSamples) {
        std::memset(out, 0, size_t(frames) * 2 * sizeof(float));
        return fail(kAudioErrorNotInitialised);
    }
    l.renderSamples(l.device, out, ALCsizei(frames));
    return succeed();
}

}  // namespace ravelin
