// The sounds: three engine loops (a ten-cylinder racing engine at low, middle and high revs) and
// the background music, synthesised here and encoded as Ogg Vorbis. Every signal is built on a
// circular buffer the length of its loop (events past the end wrap to the start, filters and
// echoes run round twice) so the files loop without a seam.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "assetgen.h"

namespace assetgen {
namespace {

constexpr int kRate = 44100;

// Deterministic noise (same bytes on every run).
class Noise {
public:
    explicit Noise(uint32_t seed) : state_(seed) {}
    float next() {  // -1 .. 1
        state_ = state_ * 1664525u + 1013904223u;
        return float(int32_t(state_ >> 8) - (1 << 23)) / float(1 << 23);
    }

private:
    uint32_t state_;
};

// --- circular filters (the loop's end feeds its start) ---

// Two-pole resonant band-pass (RBJ, constant 0 dB peak), run twice round the loop so the state
// at the start is the state the end leaves.
void bandPassCircular(std::vector<float>& x, double centre, double q) {
    double w = 2.0 * kPi * centre / kRate, alpha = std::sin(w) / (2.0 * q);
    double a0 = 1.0 + alpha;
    double b0 = alpha / a0, b2 = -alpha / a0, a1 = -2.0 * std::cos(w) / a0, a2 = (1.0 - alpha) / a0;
    const std::vector<float> in = x;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    for (int pass = 0; pass < 2; ++pass) {
        for (size_t i = 0; i < in.size(); ++i) {
            double y = b0 * in[i] + b2 * x2 - a1 * y1 - a2 * y2;
            x2 = x1;
            x1 = in[i];
            y2 = y1;
            y1 = y;
            if (pass == 1) x[i] = float(y);
        }
    }
}

void lowPassCircular(std::vector<float>& x, double cutoff) {
    double a = 1.0 - std::exp(-2.0 * kPi * cutoff / kRate);
    double y = 0;
    for (int pass = 0; pass < 2; ++pass)
        for (float& v : x) {
            y += a * (v - y);
            if (pass == 1) v = float(y);
        }
}

void highPassCircular(std::vector<float>& x, double cutoff) {
    std::vector<float> low = x;
    lowPassCircular(low, cutoff);
    for (size_t i = 0; i < x.size(); ++i) x[i] -= low[i];
}

void removeMean(std::vector<float>& x) {
    double sum = 0;
    for (float v : x) sum += v;
    float mean = float(sum / double(x.size()));
    for (float& v : x) v -= mean;
}

float peakOf(const std::vector<float>& x) {
    float peak = 0;
    for (float v : x) peak = std::max(peak, std::fabs(v));
    return peak;
}

// --- engines ---

struct EngineVoice {
    double firingHz;         // firings per second (five per crank revolution)
    double unevenness;       // cylinder-to-cylinder level spread: the growl of the crank order
    double jitter;           // firing-time jitter, fraction of a firing period
    double exhaustHz, exhaustMs;
    double raspHz, raspMs;
    double bodyCycles;       // how long the firing's own tone rings, in firing periods
    double noiseLevel, noiseHz;
    double drive;            // saturation
    double brightness;       // low-pass cutoff
};

// A ten-cylinder four-stroke: 5 firings per revolution, the pattern of levels and timings repeats
// every 10 firings. The loop is two seconds and every firing rate is a multiple of 5 Hz, so the
// loop holds a whole number of patterns.
std::vector<float> synthEngine(const EngineVoice& v, uint32_t seed) {
    const size_t length = size_t(kRate) * 2;
    const int firings = int(std::lround(v.firingHz * 2.0));
    std::vector<float> out(length, 0.0f);
    Noise noise(seed);

    double cylinderLevel[10], cylinderShift[10];
    for (int c = 0; c < 10; ++c) {
        cylinderLevel[c] = 1.0 - v.unevenness * 0.5 * (1.0 + noise.next());
        cylinderShift[c] = 0.04 * noise.next();
    }
    const double period = double(kRate) / v.firingHz;  // samples
    const double bodyTau = v.bodyCycles * period;
    const double exhaustTau = v.exhaustMs * 0.001 * kRate;
    const double raspTau = v.raspMs * 0.001 * kRate;
    const int span = int(std::max({bodyTau, exhaustTau, raspTau}) * 7.0);
    const double wBody = 2.0 * kPi * v.firingHz / kRate;
    const double wExhaust = 2.0 * kPi * v.exhaustHz / kRate;
    const double wRasp = 2.0 * kPi * v.raspHz / kRate;

    for (int k = 0; k < firings; ++k) {
        int c = k % 10;
        double level = cylinderLevel[c] * (1.0 + 0.08 * noise.next());
        // Firings sit half a period off the loop point so the seam falls between them.
        double start = (k + 0.5 + cylinderShift[c] + v.jitter * noise.next()) * period;
        double phaseSpread = 0.6 * noise.next();
        int first = int(std::ceil(start));
        for (int n = first; n < first + span; ++n) {
            double t = n - start;
            double onset = 1.0 - std::exp(-t / 6.0);  // a fast rise, not a step: no clicks
            double s = std::exp(-t / bodyTau) * std::sin(wBody * t) +
                       0.55 * std::exp(-t / exhaustTau) * std::sin(wExhaust * t + phaseSpread) +
                       0.25 * std::exp(-t / raspTau) * std::sin(wRasp * t - phaseSpread);
            size_t i = size_t(((n % int(length)) + int(length)) % int(length));
            out[i] += float(level * onset * s);
        }
    }

    // Intake and exhaust noise, louder just after each firing.
    std::vector<float> hiss(length);
    for (float& h : hiss) h = noise.next();
    bandPassCircular(hiss, v.noiseHz, 0.8);
    for (size_t i = 0; i < length; ++i) {
        double phase = std::fmod(double(i) / period, 1.0);
        hiss[i] *= float(0.35 + 0.65 * std::exp(-phase * 5.0));
    }
    float outPeak = peakOf(out), hissPeak = peakOf(hiss);
    for (size_t i = 0; i < length; ++i) out[i] = out[i] / outPeak + float(v.noiseLevel) * hiss[i] / hissPeak;

    // Mechanical rasp: soft saturation, then take the edge off the highs.
    double norm = std::tanh(v.drive);
    for (float& s : out) s = float(std::tanh(v.drive * s) / norm);
    lowPassCircular(out, v.brightness);
    highPassCircular(out, 40.0);
    removeMean(out);
    float peak = peakOf(out);
    for (float& s : out) s *= 0.85f / peak;

    // Start the loop where the wave is quiet and flat: the encoder sees silence before the first
    // frame and after the last, and a loop point that already sits near zero leaves it least to
    // smear there.
    size_t best = 0;
    float bestScore = 1e9f;
    auto at = [&](size_t i, int d) { return out[size_t(int64_t(i + length) + d) % length]; };  // |d| < length
    for (size_t i = 0; i < length; ++i) {
        float score = 0.0f;
        for (int d = -3; d <= 3; ++d) {
            score += std::fabs(at(i, d));
            score += 4.0f * std::fabs(at(i, d + 1) - 2.0f * at(i, d) + at(i, d - 1));
        }
        if (score < bestScore) {
            bestScore = score;
            best = i;
        }
    }
    std::rotate(out.begin(), out.begin() + long(best), out.end());
    return out;
}

// --- music ---

constexpr int kBeat = kRate / 2;  // 120 beats per minute
constexpr int kBar = kBeat * 4;
constexpr int kBars = 32;
constexpr size_t kMusicLength = size_t(kBar) * kBars;  // 64 s

double midiHz(double note) { return 440.0 * std::pow(2.0, (note - 69.0) / 12.0); }

// One cycle of a timbre, read with linear interpolation.
struct Table {
    static constexpr int kSize = 2048;
    std::vector<float> v;
    template <typename Amp>
    explicit Table(int harmonics, Amp amplitude) : v(kSize + 1, 0.0f) {
        for (int h = 1; h <= harmonics; ++h) {
            double a = amplitude(h);
            if (a == 0.0) continue;
            for (int i = 0; i < kSize; ++i) v[size_t(i)] += float(a * std::sin(2.0 * kPi * h * i / kSize));
        }
        float peak = 0;
        for (float x : v) peak = std::max(peak, std::fabs(x));
        for (float& x : v) x /= peak;
        v[kSize] = v[0];
    }
    float at(double phase) const {  // phase in cycles
        double p = (phase - std::floor(phase)) * kSize;
        int i = int(p);
        float f = float(p - i);
        return v[size_t(i)] + (v[size_t(i) + 1] - v[size_t(i)]) * f;
    }
};

struct Stereo {
    std::vector<float> left, right;
    Stereo() : left(kMusicLength, 0.0f), right(kMusicLength, 0.0f) {}
    void add(size_t at, float value, float pan) {  // pan -1..1, equal power
        size_t i = at % kMusicLength;
        double angle = (pan + 1.0) * kPi / 4.0;
        left[i] += value * float(std::cos(angle));
        right[i] += value * float(std::sin(angle));
    }
};

struct Envelope {
    double attack, decay, sustain, release;  // seconds, seconds, level, seconds
    double at(double t, double length) const {
        double level;
        if (t < attack) level = t / attack;
        else if (t < attack + decay) level = 1.0 - (1.0 - sustain) * (t - attack) / decay;
        else level = sustain;
        if (t > length) level *= std::max(0.0, 1.0 - (t - length) / release);
        return level;
    }
};

// Plays one note: start sample, length in seconds, with vibrato after a moment.
void playNote(Stereo& out, const Table& table, double note, size_t start, double length, const Envelope& env,
              float gain, float pan, double detuneCents = 0.0, double vibrato = 0.0) {
    double hz = midiHz(note + detuneCents / 100.0);
    size_t count = size_t((length + env.release) * kRate);
    double phase = 0.0;
    for (size_t n = 0; n < count; ++n) {
        double t = double(n) / kRate;
        double wobble = vibrato > 0.0 && t > 0.25 ? 1.0 + vibrato * std::sin(2.0 * kPi * 5.2 * t) : 1.0;
        phase += hz * wobble / kRate;
        out.add(start + n, gain * float(env.at(t, length)) * table.at(phase), pan);
    }
}

struct Note {
    double beat, length;  // in beats within the bar
    int pitch;            // MIDI
};

using Bar = std::vector<Note>;

const std::vector<Bar>& melodyA() {
    static const std::vector<Bar> bars = {
        {{0, 1, 69}, {1, 0.5, 72}, {1.5, 1.5, 76}, {3, 0.5, 74}, {3.5, 0.5, 72}},
        {{0, 1.5, 72}, {1.5, 0.5, 69}, {2, 2, 65}},
        {{0, 1, 67}, {1, 0.5, 72}, {1.5, 1.5, 76}, {3, 1, 79}},
        {{0, 2, 74}, {2, 1, 71}, {3, 1, 67}},
        {{0, 1, 69}, {1, 0.5, 72}, {1.5, 1.5, 76}, {3, 0.5, 77}, {3.5, 0.5, 76}},
        {{0, 1.5, 72}, {1.5, 0.5, 74}, {2, 2, 77}},
        {{0, 1, 79}, {1, 1, 77}, {2, 1, 74}, {3, 1, 71}},
        {{0, 3, 68}, {3, 1, 71}},
    };
    return bars;
}

const std::vector<Bar>& melodyB() {
    static const std::vector<Bar> bars = {
        {{0, 0.5, 77}, {0.5, 0.5, 76}, {1, 1, 72}, {2, 2, 69}},
        {{0, 0.5, 74}, {0.5, 0.5, 72}, {1, 1, 71}, {2, 2, 67}},
        {{0, 1, 71}, {1, 1, 74}, {2, 1.5, 79}, {3.5, 0.5, 76}},
        {{0, 3, 76}, {3, 1, 72}},
        {{0, 0.5, 77}, {0.5, 0.5, 76}, {1, 1, 72}, {2, 1, 69}, {3, 1, 72}},
        {{0, 0.5, 74}, {0.5, 0.5, 76}, {1, 1, 79}, {2, 2, 74}},
        {{0, 1, 76}, {1, 1, 72}, {2, 1, 67}, {3, 1, 72}},
        {{0, 2, 71}, {2, 1, 68}, {3, 1, 64}},
    };
    return bars;
}

struct Chord {
    int root;      // bass note (MIDI, second octave)
    int tones[3];  // close voicing around middle C
};

// A minor: i VI III VII | i VI VII V, and a middle part VI VII v i | VI VII III V.
const Chord kAm{45, {57, 60, 64}}, kF{41, {57, 60, 65}}, kC{48, {55, 60, 64}}, kG{43, {55, 59, 62}},
    kE{40, {56, 59, 64}}, kEm{40, {55, 59, 64}};

const Chord& chordOfBar(int bar) {
    static const Chord* const a[8] = {&kAm, &kF, &kC, &kG, &kAm, &kF, &kG, &kE};
    static const Chord* const b[8] = {&kF, &kG, &kEm, &kAm, &kF, &kG, &kC, &kE};
    return (bar >= 16 && bar < 24) ? *b[bar % 8] : *a[bar % 8];
}

std::vector<float> oneShot(double seconds, uint32_t seed, double toneHz, double toneDecay, double noiseDecay,
                           double noiseCutoff, double toneLevel, double noiseLevel, double sweep) {
    size_t count = size_t(seconds * kRate);
    std::vector<float> s(count);
    Noise noise(seed);
    double phase = 0, lp = 0, a = 1.0 - std::exp(-2.0 * kPi * noiseCutoff / kRate);
    for (size_t n = 0; n < count; ++n) {
        double t = double(n) / kRate;
        double hz = toneHz * (1.0 + sweep * std::exp(-t / 0.03));
        phase += hz / kRate;
        lp += a * (noise.next() - lp);
        double attack = std::min(1.0, t / 0.002);
        s[n] = float(attack * (toneLevel * std::exp(-t / toneDecay) * std::sin(2.0 * kPi * phase) +
                               noiseLevel * std::exp(-t / noiseDecay) * lp));
    }
    return s;
}

void addShot(Stereo& out, const std::vector<float>& shot, size_t at, float gain, float pan) {
    for (size_t n = 0; n < shot.size(); ++n) out.add(at + n, gain * shot[n], pan);
}

// A ping-pong echo on the loop: each repeat crosses to the other side, quieter.
void pingPongEcho(Stereo& dry, const Stereo& send, size_t delay, float feedback, float wet) {
    std::vector<float> l(kMusicLength, 0.0f), r(kMusicLength, 0.0f);
    // Echo lines circulate for two rounds so the repeats of the loop's last notes land at its start.
    for (int pass = 0; pass < 2; ++pass) {
        for (size_t i = 0; i < kMusicLength; ++i) {
            size_t from = (i + kMusicLength - delay) % kMusicLength;
            l[i] = 0.5f * (send.left[from] + send.right[from]) + feedback * r[from];
            r[i] = feedback * l[from];
        }
    }
    for (size_t i = 0; i < kMusicLength; ++i) {
        dry.left[i] += wet * l[i];
        dry.right[i] += wet * r[i];
    }
}

Stereo synthMusic() {
    Stereo mix, echoSend;
    Noise noise(0x4d75);

    // Timbres: a soft saw for the pad, a rounded square for the lead, a warm bass, a pluck.
    const Table pad(10, [](int h) { return std::exp(-h / 3.0) / h; });
    const Table lead(9, [](int h) { return h % 2 ? 1.0 / (h * h * 0.6 + 0.4) : 0.12 / h; });
    const Table bass(4, [](int h) { return h == 1 ? 1.0 : h == 2 ? 0.35 : h == 3 ? 0.12 : 0.05; });
    const Table pluck(6, [](int h) { return 1.0 / (h * h); });

    const Envelope padEnv{0.35, 0.5, 0.8, 0.6};
    const Envelope leadEnv{0.02, 0.25, 0.7, 0.12};
    const Envelope bassEnv{0.004, 0.18, 0.55, 0.05};
    const Envelope pluckEnv{0.003, 0.12, 0.15, 0.1};

    for (int bar = 0; bar < kBars; ++bar) {
        const Chord& chord = chordOfBar(bar);
        size_t barStart = size_t(bar) * kBar;

        // Pad: the chord held through the bar, two detuned voices spread left and right.
        for (int t = 0; t < 3; ++t) {
            playNote(mix, pad, chord.tones[t], barStart, 2.0 - 0.05, padEnv, 0.05f, -0.5f, -7.0);
            playNote(mix, pad, chord.tones[t], barStart, 2.0 - 0.05, padEnv, 0.05f, 0.5f, 7.0);
        }

        // Bass: eighth-note groove on the root, with an octave and a fifth.
        static const int kBassSteps[8] = {0, -1, 0, 12, -1, 0, 7, 12};
        for (int step = 0; step < 8; ++step) {
            if (kBassSteps[step] < 0) continue;
            playNote(mix, bass, chord.root + kBassSteps[step], barStart + size_t(step) * kBeat / 2, 0.2, bassEnv,
                     0.22f, 0.0f);
        }

        // Arpeggio of chord tones an octave up, quiet, into the echo.
        static const int kArp[8] = {0, 1, 2, 1, 0, 2, 1, 2};
        float arpGain = bar < 8 ? 0.06f : 0.035f;
        for (int step = 0; step < 8; ++step) {
            float pan = (step % 2) ? 0.35f : -0.35f;
            playNote(mix, pluck, chord.tones[kArp[step]] + 12, barStart + size_t(step) * kBeat / 2, 0.1, pluckEnv,
                     arpGain, pan);
            playNote(echoSend, pluck, chord.tones[kArp[step]] + 12, barStart + size_t(step) * kBeat / 2, 0.1,
                     pluckEnv, arpGain * 0.6f, pan);
        }

        // Melody from the ninth bar on: A, B, then A again doubled an octave below.
        if (bar >= 8) {
            const Bar& notes = (bar < 16 || bar >= 24) ? melodyA()[size_t(bar % 8)] : melodyB()[size_t(bar % 8)];
            for (const Note& n : notes) {
                size_t at = barStart + size_t(n.beat * kBeat);
                double seconds = n.length * 0.5 * 0.92;
                playNote(mix, lead, n.pitch, at, seconds, leadEnv, 0.11f, 0.1f, 0.0, 0.004);
                playNote(echoSend, lead, n.pitch, at, seconds, leadEnv, 0.06f, 0.0f, 0.0, 0.004);
                if (bar >= 24) playNote(mix, lead, n.pitch - 12, at, seconds, leadEnv, 0.05f, -0.2f, 3.0, 0.004);
            }
        }
    }

    // Drums: kick on one and three (and the "and" of three every other bar), clap on two and
    // four, soft closed hats on the eighths, a short fill into the top of the loop.
    const std::vector<float> kick = oneShot(0.35, 1, 48.0, 0.16, 0.01, 2000.0, 1.0, 0.15, 1.6);
    const std::vector<float> snare = oneShot(0.25, 2, 185.0, 0.05, 0.09, 4500.0, 0.45, 0.9, 0.3);
    const std::vector<float> hat = oneShot(0.06, 3, 0.0, 0.01, 0.018, 9000.0, 0.0, 1.0, 0.0);
    std::vector<float> hatShaped = hat;
    {  // hats: keep only the band above the snare, still well under the harsh top
        std::vector<float> low = hatShaped;
        double y = 0, a = 1.0 - std::exp(-2.0 * kPi * 3000.0 / kRate);
        for (size_t i = 0; i < low.size(); ++i) {
            y += a * (low[i] - y);
            hatShaped[i] -= float(y);
        }
    }
    for (int bar = 0; bar < kBars; ++bar) {
        size_t barStart = size_t(bar) * kBar;
        addShot(mix, kick, barStart, 0.42f, 0.0f);
        addShot(mix, kick, barStart + 2 * kBeat, 0.42f, 0.0f);
        if (bar % 2 == 1) addShot(mix, kick, barStart + 2 * kBeat + kBeat / 2, 0.3f, 0.0f);
        addShot(mix, snare, barStart + kBeat, 0.2f, 0.05f);
        addShot(mix, snare, barStart + 3 * kBeat, 0.2f, 0.05f);
        for (int step = 0; step < 8; ++step) {
            float accent = step % 2 ? 0.05f : 0.08f;
            addShot(mix, hatShaped, barStart + size_t(step) * kBeat / 2 + size_t(noise.next() * 60.0f + 60.0f),
                    accent, 0.3f);
        }
        if (bar == kBars - 1) {
            for (int step = 0; step < 4; ++step)
                addShot(mix, snare, barStart + 3 * kBeat + size_t(step) * kBeat / 4, 0.08f + 0.03f * step, -0.1f);
        }
    }

    // Dotted-eighth ping-pong echo for the lead and the arpeggio.
    pingPongEcho(mix, echoSend, size_t(kBeat) * 3 / 4, 0.38f, 0.55f);

    // Master: gentle top roll-off, soft limit, and a level that sits under the engines.
    lowPassCircular(mix.left, 9000.0);
    lowPassCircular(mix.right, 9000.0);
    highPassCircular(mix.left, 25.0);
    highPassCircular(mix.right, 25.0);
    float peak = std::max(peakOf(mix.left), peakOf(mix.right));
    for (size_t i = 0; i < kMusicLength; ++i) {
        mix.left[i] = 0.36f * float(std::tanh(1.3 * mix.left[i] / peak) / std::tanh(1.3));
        mix.right[i] = 0.36f * float(std::tanh(1.3 * mix.right[i] / peak) / std::tanh(1.3));
    }
    return mix;
}

}  // namespace

void generateSounds(AssetSink& sink) {
    // The bands cross-fade (low into med around engine speed 300, med into high around 500); the
    // band table's rates there play low, med and high at about 1.75/1.11 and 1.49/1.39 of their
    // own rate, so the firing rates (and the resonances) are tuned to meet at those points:
    // one engine rising through its range rather than three engines at once. Every rate is a
    // multiple of 5 Hz so the two-second loop holds whole firing patterns.
    const EngineVoice low{200.0, 0.30, 0.020, 470.0, 2.2, 1400.0, 0.7, 1.3, 0.20, 1000.0, 1.2, 3500.0};
    const EngineVoice med{315.0, 0.22, 0.015, 740.0, 1.8, 2200.0, 0.6, 1.2, 0.18, 1550.0, 1.4, 5000.0};
    const EngineVoice high{335.0, 0.16, 0.012, 790.0, 1.5, 2350.0, 0.5, 1.1, 0.16, 1650.0, 1.6, 5300.0};
    const std::vector<float> engines[3] = {synthEngine(low, 11), synthEngine(med, 22), synthEngine(high, 33)};
    sink.addArchiveFile("low.ogg", encodeVorbis(&engines[0], 1, kRate, 0.7f));
    sink.addArchiveFile("med.ogg", encodeVorbis(&engines[1], 1, kRate, 0.7f));
    sink.addArchiveFile("max.ogg", encodeVorbis(&engines[2], 1, kRate, 0.7f));

    Stereo music = synthMusic();
    const std::vector<float> channels[2] = {std::move(music.left), std::move(music.right)};
    sink.addArchiveFile("music.ogg", encodeVorbis(channels, 2, kRate, 0.2f));
}

}  // namespace assetgen
