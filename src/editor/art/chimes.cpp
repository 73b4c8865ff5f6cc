// Synthesises the two pack-choice sounds at build time: short bell-like chimes,
// each note a few partials that fade exponentially, higher partials sooner.
// The files are complete RIFF WAVE images: PCM, 2 channels, 16 bits, 11025 Hz.
//
//   vuplora-editor-chimes <output folder>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr int RATE = 11025;
constexpr int CHANNELS = 2;

struct TNote {
    double Frequency; // Hz
    double Start;     // seconds
    double Pan;       // -1 left .. 1 right
};

// Relative frequency, level and decay rate (1/s) of a partial: a struck bar's
// octave and its slightly sharp twelfth give the bell colour.
struct TPartial {
    double Ratio;
    double Level;
    double Decay;
};
constexpr TPartial PARTIALS[] = {{1.0, 1.0, 3.2}, {2.0, 0.35, 5.5}, {3.01, 0.12, 8.0}, {4.2, 0.05, 12.0}};

std::vector<int16_t> Render(double arSeconds, const std::vector<TNote> &aoNotes)
{
    const int iFrames = static_cast<int>(std::lround(arSeconds * RATE));
    std::vector<double> left(size_t(iFrames), 0.0);
    std::vector<double> right(size_t(iFrames), 0.0);
    for (const TNote &n : aoNotes) {
        const double rLeft = std::sqrt((1 - n.Pan) / 2);
        const double rRight = std::sqrt((1 + n.Pan) / 2);
        for (int i = static_cast<int>(n.Start * RATE); i < iFrames; ++i) {
            const double t = double(i) / RATE - n.Start;
            // A few milliseconds of attack keep the onset from clicking.
            double v = 0;
            for (const TPartial &p : PARTIALS) {
                const double f = n.Frequency * p.Ratio;
                if (f < RATE / 2.0)
                    v += p.Level * std::exp(-p.Decay * t) * std::sin(2 * std::numbers::pi * f * t);
            }
            v *= std::min(1.0, t / 0.004);
            left[size_t(i)] += v * rLeft;
            right[size_t(i)] += v * rRight;
        }
    }
    double rPeak = 1e-9;
    for (int i = 0; i < iFrames; ++i)
        rPeak = std::max({rPeak, std::abs(left[size_t(i)]), std::abs(right[size_t(i)])});
    // A comfortable level, and the last 60 ms fade so the sound ends in silence.
    const double rGain = 0.5 / rPeak;
    std::vector<int16_t> pcm;
    pcm.reserve(size_t(iFrames) * CHANNELS);
    for (int i = 0; i < iFrames; ++i) {
        const double rFade = std::min(1.0, (iFrames - 1 - i) / (0.06 * RATE));
        for (const double s : {left[size_t(i)], right[size_t(i)]})
            pcm.push_back(static_cast<int16_t>(std::lround(std::clamp(s * rGain * rFade, -1.0, 1.0) * 32767)));
    }
    return pcm;
}

void PutU32(std::string &asOut, uint32_t aiValue)
{
    for (int i = 0; i < 4; ++i)
        asOut.push_back(char((aiValue >> (8 * i)) & 0xFF));
}

void PutU16(std::string &asOut, uint16_t aiValue)
{
    asOut.push_back(char(aiValue & 0xFF));
    asOut.push_back(char(aiValue >> 8));
}

bool WriteWave(const std::string &asPath, const std::vector<int16_t> &aoPcm)
{
    const auto iData = uint32_t(aoPcm.size() * 2);
    std::string wav = "RIFF";
    PutU32(wav, 36 + iData);
    wav += "WAVEfmt ";
    PutU32(wav, 16);
    PutU16(wav, 1); // PCM
    PutU16(wav, CHANNELS);
    PutU32(wav, RATE);
    PutU32(wav, RATE * CHANNELS * 2);
    PutU16(wav, CHANNELS * 2);
    PutU16(wav, 16);
    wav += "data";
    PutU32(wav, iData);
    for (const int16_t s : aoPcm)
        PutU16(wav, uint16_t(s));
    std::ofstream out(asPath, std::ios::binary);
    out.write(wav.data(), std::streamsize(wav.size()));
    return bool(out);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: vuplora-editor-chimes <output folder>\n");
        return 2;
    }
    const std::string sDir = argv[1];
    // Pack 1: a bright rising major arpeggio (C6 E6 G6 C7); pack 2: a softer
    // rising fourth and fifth (G5 C6 D6).
    const bool bOk =
        WriteWave(sDir + "/res_audio_1",
                  Render(1.4, {{1046.5, 0.0, -0.4}, {1318.5, 0.09, -0.1}, {1568.0, 0.18, 0.2}, {2093.0, 0.27, 0.4}}))
        && WriteWave(sDir + "/res_audio_2", Render(1.1, {{784.0, 0.0, -0.3}, {1046.5, 0.11, 0.0}, {1174.7, 0.22, 0.3}}));
    if (!bOk)
        std::fprintf(stderr, "cannot write the sounds into %s\n", sDir.c_str());
    return bOk ? 0 : 1;
}
