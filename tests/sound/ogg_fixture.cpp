#include "ogg_fixture.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "assetgen.h"

namespace ravelin::test {

std::vector<uint8_t> encodeOgg(const std::vector<float>& samples, int channels, int rate, float quality) {
    if (channels < 1) return {};
    // The generator's encoder takes one vector per channel.
    std::vector<std::vector<float>> split(static_cast<size_t>(channels));
    const size_t frames = samples.size() / size_t(channels);
    for (int c = 0; c < channels; ++c) {
        split[size_t(c)].resize(frames);
        for (size_t i = 0; i < frames; ++i) split[size_t(c)][i] = samples[i * size_t(channels) + size_t(c)];
    }
    return assetgen::encodeVorbis(split.data(), channels, rate, quality);
}

namespace {
struct Reader {
    const std::vector<uint8_t>* bytes;
    size_t position;
};
size_t readFn(void* dst, size_t size, size_t count, void* src) {
    Reader& r = *static_cast<Reader*>(src);
    if (size == 0) return 0;
    size_t items = std::min(count, (r.bytes->size() - r.position) / size);
    std::memcpy(dst, r.bytes->data() + r.position, items * size);
    r.position += items * size;
    return items;
}
}  // namespace

bool decodeOgg(const std::vector<uint8_t>& file, std::vector<float>& samples, int& channels, int& rate) {
    Reader reader{&file, 0};
    OggVorbis_File vf;
    ov_callbacks callbacks{readFn, nullptr, nullptr, nullptr};
    if (ov_open_callbacks(&reader, &vf, nullptr, 0, callbacks) != 0) return false;
    vorbis_info* info = ov_info(&vf, -1);
    channels = info->channels;
    rate = int(info->rate);
    samples.clear();
    for (;;) {
        float** pcm = nullptr;
        int section = 0;
        long got = ov_read_float(&vf, &pcm, 4096, &section);
        if (got == 0) break;
        if (got < 0) {
            ov_clear(&vf);
            return false;
        }
        for (long i = 0; i < got; ++i)
            for (int c = 0; c < channels; ++c) samples.push_back(pcm[c][i]);
    }
    ov_clear(&vf);
    return true;
}

std::vector<float> sine(float frequency, int frames, int rate, float amplitude) {
    std::vector<float> out(static_cast<size_t>(frames));
    for (int i = 0; i < frames; ++i)
        out[size_t(i)] = amplitude * float(std::sin(2.0 * M_PI * double(frequency) * i / rate));
    return out;
}

double rms(const std::vector<float>& stereo, int channel, size_t begin, size_t end) {
    double sum = 0;
    for (size_t i = begin; i < end; ++i) {
        double v = stereo[i * 2 + size_t(channel)];
        sum += v * v;
    }
    return end > begin ? std::sqrt(sum / double(end - begin)) : 0.0;
}

double zeroCrossingFrequency(const std::vector<float>& stereo, int channel, size_t begin, size_t end, int rate) {
    // Fractional positions of upward crossings; frequency from the first to the last.
    double first = -1, last = -1;
    int count = 0;
    for (size_t i = begin + 1; i < end; ++i) {
        float a = stereo[(i - 1) * 2 + size_t(channel)];
        float b = stereo[i * 2 + size_t(channel)];
        if (a < 0 && b >= 0) {
            double at = double(i - 1) + double(a / (a - b));
            if (first < 0) first = at;
            last = at;
            ++count;
        }
    }
    if (count < 2) return 0.0;
    return double(count - 1) * rate / (last - first);
}

}  // namespace ravelin::test
