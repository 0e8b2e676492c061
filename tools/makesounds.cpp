// Synthesises the game's four sound cues as 16-bit mono WAV files, so that
// every sound the game plays is made here from plain waveforms.
//
//   makesounds OUTPUT_DIR
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr int SampleRate = 22050;
constexpr double Tau = 2 * std::numbers::pi;

using Voice = std::function<double(double t)>;

std::vector<double> render(double seconds, const Voice &voice)
{
    std::vector<double> samples(std::size_t(seconds * SampleRate));
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = voice(double(i) / SampleRate);
    // A few milliseconds of fade at both ends keep the cue free of clicks.
    const std::size_t fade = SampleRate / 200;
    for (std::size_t i = 0; i < fade && i < samples.size(); ++i) {
        const double gain = double(i) / fade;
        samples[i] *= gain;
        samples[samples.size() - 1 - i] *= gain;
    }
    return samples;
}

// A bell-like tone: a few inharmonic partials with an exponential decay.
double bell(double t, double frequency, double decay)
{
    if (t < 0)
        return 0;
    const double envelope = std::exp(-t * decay) * std::min(1.0, t * 400);
    return envelope * (0.6 * std::sin(Tau * frequency * t) + 0.25 * std::sin(Tau * frequency * 2.76 * t)
                       + 0.15 * std::sin(Tau * frequency * 5.4 * t));
}

// A brassy tone: odd and even harmonics under a soft attack and release.
double brass(double t, double frequency, double length)
{
    if (t < 0 || t > length)
        return 0;
    const double envelope = std::min(1.0, t * 60) * std::min(1.0, (length - t) * 30);
    double sum = 0;
    for (int h = 1; h <= 6; ++h)
        sum += std::sin(Tau * frequency * h * t) / (h * 1.3);
    return 0.45 * envelope * sum;
}

// Deterministic noise, so that the files come out the same on every build.
double noise(double t)
{
    std::uint32_t x = std::uint32_t(t * SampleRate) * 2654435761u;
    x ^= x >> 15;
    x *= 2246822519u;
    x ^= x >> 13;
    return double(x & 0xffff) / 32768.0 - 1.0;
}

void writeWav(const std::string &path, const std::vector<double> &samples)
{
    std::ofstream out(path, std::ios::binary);
    auto put32 = [&](std::uint32_t v) { out.write(reinterpret_cast<const char *>(&v), 4); };
    auto put16 = [&](std::uint16_t v) { out.write(reinterpret_cast<const char *>(&v), 2); };
    const std::uint32_t dataBytes = std::uint32_t(samples.size() * 2);
    out.write("RIFF", 4);
    put32(36 + dataBytes);
    out.write("WAVEfmt ", 8);
    put32(16);
    put16(1); // PCM
    put16(1); // mono
    put32(SampleRate);
    put32(SampleRate * 2);
    put16(2);
    put16(16);
    out.write("data", 4);
    put32(dataBytes);
    for (double s : samples)
        put16(std::uint16_t(std::int16_t(std::lround(std::clamp(s, -1.0, 1.0) * 30000))));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: makesounds OUTPUT_DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    try {
        // A new hand: three rising bells.
        writeWav(dir + "/chimes.wav", render(0.9, [](double t) {
                     return 0.5 * (bell(t, 1046.5, 5) + bell(t - 0.12, 1318.5, 5) + bell(t - 0.24, 1568.0, 4));
                 }));
        // The draw: a low, dull knock.
        writeWav(dir + "/clunk.wav", render(0.28, [](double t) {
                     const double pitch = 70 + 80 * std::exp(-t * 30);
                     return std::exp(-t * 16) * (0.8 * std::sin(Tau * pitch * t) + 0.25 * noise(t) * std::exp(-t * 60));
                 }));
        // The turn-down: a short glassy tick, played twice by the game.
        writeWav(dir + "/clink.wav", render(0.16, [](double t) {
                     return std::exp(-t * 35) * (0.5 * std::sin(Tau * 2793.8 * t) + 0.3 * std::sin(Tau * 4186.0 * t)
                                                 + 0.15 * std::sin(Tau * 6271.9 * t));
                 }));
        // A hold: a bright two-note flourish.
        writeWav(dir + "/tada.wav", render(0.5, [](double t) {
                     return brass(t, 392.0, 0.12) + brass(t - 0.13, 523.25, 0.35);
                 }));
    } catch (const std::exception &error) {
        std::fprintf(stderr, "makesounds: %s\n", error.what());
        return 1;
    }
    return 0;
}
