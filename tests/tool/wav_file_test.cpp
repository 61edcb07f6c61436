// Our WAV code against libsndfile: the Windows build writes PCM with the former and the
// native build with the latter, and their renders must be byte-identical.
#include "tools/vsthost/audio_file.h"
#include "tools/vsthost/signals.h"
#include "tools/vsthost/text.h"
#include "tools/vsthost/wav_file.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <limits>

namespace vsthost {
namespace {

std::vector<std::uint8_t> fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string scratch(const std::string& name) {
    return ::testing::TempDir() + "vsthost_wav_" + name + "_" + std::to_string(::getpid()) + ".wav";
}

AudioData ramp(int channels, long frames, int rate) {
    AudioData audio;
    audio.channels = channels;
    audio.sampleRate = rate;
    for (long i = 0; i < frames * channels; ++i) {
        audio.samples.push_back(static_cast<float>(i % 97) / 50.0f - 0.9f);
    }
    return audio;
}

class WavLayout : public ::testing::TestWithParam<std::tuple<SampleFormat, int, long>> {};

TEST_P(WavLayout, OurPcmBytesAreLibsndfileBytes) {
    const auto [format, channels, frames] = GetParam();
    AudioData audio = ramp(channels, frames, 48000);  // reaches 1.02: clipped
    const std::string path = scratch("layout");
    std::string error;
    ASSERT_TRUE(writeAudio(path, audio, format, error)) << error;
    std::vector<std::uint8_t> theirs = fileBytes(path);
    std::remove(path.c_str());
    EXPECT_EQ(encodeWav(audio, format), theirs);
}

INSTANTIATE_TEST_SUITE_P(Layouts, WavLayout,
                         ::testing::Combine(::testing::Values(SampleFormat::Pcm16, SampleFormat::Pcm24),
                                            ::testing::Values(1, 2, 3), ::testing::Values(0L, 1L, 1001L)));

// Non-PCM data asks for the format chunk's extension size and a fact chunk with the frame
// count; readers such as sox warn without them.
TEST(WavFile, FloatHeaderCarriesExtensionSizeAndFrameCount) {
    const std::vector<std::uint8_t> bytes = encodeWav(ramp(3, 7, 96000));
    const std::string header(bytes.begin(), bytes.begin() + 58);
    auto word = [&](std::size_t at) {
        return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | bytes[at + 3] << 24;
    };
    EXPECT_EQ(header.substr(12, 4), "fmt ");
    EXPECT_EQ(word(16), 18);
    EXPECT_EQ(word(20) & 0xFFFF, 3);  // IEEE float
    EXPECT_EQ(word(36) & 0xFFFF, 0);  // extension size
    EXPECT_EQ(header.substr(38, 4), "fact");
    EXPECT_EQ(word(46), 7);
    EXPECT_EQ(header.substr(50, 4), "data");
    EXPECT_EQ(word(54), 3 * 7 * 4);
    EXPECT_EQ(word(4), static_cast<int>(bytes.size()) - 8);
}

TEST(WavFile, QuantizesByRoundingAndClipping) {
    AudioData audio;
    audio.channels = 1;
    audio.sampleRate = 44100;
    const float step = 1.0f / 8388608.0f;
    audio.samples = {0.0f,         2.4f * step, 2.6f * step,
                     -2.6f * step, 1.0f,        -1.0f,
                     7.0f,         -7.0f,       std::numeric_limits<float>::quiet_NaN()};
    EXPECT_EQ(quantize(audio, SampleFormat::Pcm24),
              (std::vector<std::int32_t>{0, 2, 3, -3, 8388607, -8388608, 8388607, -8388608, 0}));
}

TEST(WavFile, Dithers16BitWithTriangularNoiseFromAFixedSeed) {
    AudioData audio;
    audio.channels = 2;
    audio.sampleRate = 44100;
    audio.samples.assign(40000, 0.25f / 32768.0f);  // a quarter of a step
    const std::vector<std::int32_t> codes = quantize(audio, SampleFormat::Pcm16);
    EXPECT_EQ(codes, quantize(audio, SampleFormat::Pcm16));
    double sum = 0.0;
    int counts[3] = {};
    for (std::int32_t code : codes) {
        ASSERT_GE(code, -1);
        ASSERT_LE(code, 1);
        ++counts[code + 1];
        sum += code;
    }
    // Dither keeps the mean (a quarter step; undithered it would round to 0) and spreads the
    // codes as a triangle of two steps' width around it: P(-1) = 1/32, P(1) = 9/32.
    EXPECT_NEAR(sum / codes.size(), 0.25, 0.01);
    EXPECT_NEAR(counts[0] / 40000.0, 1.0 / 32, 0.005);
    EXPECT_NEAR(counts[2] / 40000.0, 9.0 / 32, 0.01);
}

TEST(WavFile, DecodesWhatItEncodes) {
    AudioData audio = ramp(2, 300, 44100);
    audio.samples[5] = std::numeric_limits<float>::quiet_NaN();
    AudioData back;
    std::string error;
    ASSERT_TRUE(decodeWav(encodeWav(audio), back, error)) << error;
    EXPECT_EQ(back.channels, 2);
    EXPECT_EQ(back.sampleRate, 44100);
    ASSERT_EQ(back.samples.size(), audio.samples.size());
    EXPECT_TRUE(std::isnan(back.samples[5]));
    back.samples[5] = audio.samples[5] = 0.0f;
    EXPECT_EQ(back.samples, audio.samples);
}

TEST(WavFile, ReadsWhatLibsndfileReads) {
    AudioData audio;
    ASSERT_TRUE(makeSignal("drums", 22050, 5000, audio));
    const std::string path = scratch("read");
    std::string error;
    ASSERT_TRUE(writeAudio(path, audio, SampleFormat::Float, error)) << error;
    AudioData ours, theirs;
    EXPECT_TRUE(readWavFile(path, ours, error)) << error;
    EXPECT_TRUE(readAudio(path, theirs, error)) << error;
    std::remove(path.c_str());
    EXPECT_EQ(ours.samples, audio.samples);
    EXPECT_EQ(theirs.samples, audio.samples);
}

TEST(WavFile, Reads16BitPcm) {
    // 2 frames of mono 16-bit: 0x4000 (0.5) and 0x8000 (-1).
    std::vector<std::uint8_t> bytes = {'R',  'I',  'F', 'F', 40,   0,    0, 0, 'W',  'A',  'V',  'E',
                                       'f',  'm',  't', ' ', 16,   0,    0, 0, 1,    0,    1,    0,
                                       0x44, 0xAC, 0,   0,   0x88, 0x58, 1, 0, 2,    0,    16,   0,
                                       'd',  'a',  't', 'a', 4,    0,    0, 0, 0x00, 0x40, 0x00, 0x80};
    AudioData audio;
    std::string error;
    ASSERT_TRUE(decodeWav(bytes, audio, error)) << error;
    EXPECT_EQ(audio.sampleRate, 44100);
    EXPECT_EQ(audio.samples, (std::vector<float>{0.5f, -1.0f}));
}

TEST(WavFile, RefusesDamagedFilesWithoutReadingPastThem) {
    std::vector<std::uint8_t> good = encodeWav(ramp(2, 10, 44100));
    AudioData audio;
    std::string error;
    for (std::size_t length = 0; length < good.size(); ++length) {
        std::vector<std::uint8_t> cut(good.begin(), good.begin() + length);
        EXPECT_FALSE(decodeWav(cut, audio, error)) << "length " << length;
    }
    std::vector<std::uint8_t> noChannels = good;
    noChannels[22] = noChannels[23] = 0;
    EXPECT_FALSE(decodeWav(noChannels, audio, error));
    std::vector<std::uint8_t> hugeChunk = good;
    hugeChunk[16] = hugeChunk[17] = hugeChunk[18] = hugeChunk[19] = 0xFF;
    EXPECT_FALSE(decodeWav(hugeChunk, audio, error));
    std::vector<std::uint8_t> oddBits = good;
    oddBits[34] = 12;
    EXPECT_FALSE(decodeWav(oddBits, audio, error));
    // A cut-off file is refused; a stream's placeholder length means "to the end".
    std::vector<std::uint8_t> cutData = good;
    cutData.resize(cutData.size() - 8);
    EXPECT_FALSE(decodeWav(cutData, audio, error));
    EXPECT_NE(error.find("truncated"), std::string::npos) << error;
    for (std::uint8_t placeholder : {0x00, 0xFF}) {
        std::fill(cutData.begin() + 54, cutData.begin() + 58, placeholder);
        ASSERT_TRUE(decodeWav(cutData, audio, error)) << error;
        EXPECT_EQ(audio.frames(), 9);
    }
}

TEST(Signals, AreFixedAndStereo) {
    AudioData a, b;
    ASSERT_TRUE(makeSignal("noise", 44100, 1000, a));
    ASSERT_TRUE(makeSignal("noise", 44100, 1000, b));
    EXPECT_EQ(a.channels, 2);
    EXPECT_EQ(a.samples, b.samples);
    EXPECT_NE(a.samples[0], a.samples[1]);
    for (float x : a.samples) {
        EXPECT_LE(std::fabs(x), 0.25f);
    }
    ASSERT_TRUE(makeSignal("impulse", 44100, 3, a));
    EXPECT_EQ(a.samples, (std::vector<float>{1, 1, 0, 0, 0, 0}));
    EXPECT_FALSE(makeSignal("sine", 44100, 3, a));
}

TEST(Signals, DrumsHitOnEveryEighth) {
    AudioData drums;
    ASSERT_TRUE(makeSignal("drums", 8000, 8000, drums));
    for (long hit = 0; hit < 8000; hit += 2000) {
        float energy = 0.0f;
        for (long i = hit; i < hit + 200; ++i) {
            energy += std::fabs(drums.samples[i * 2]);
        }
        EXPECT_GT(energy, 1.0f) << "hit at " << hit;
    }
    // Well after a hit has decayed it is quiet again.
    EXPECT_LT(std::fabs(drums.samples[3900 * 2]), 0.05f);
}

TEST(Text, QuotesSoBlanksShow) {
    EXPECT_EQ(quoted("Swap \t "), "\"Swap \\t \"");
    EXPECT_EQ(quoted("a\"b\\c\n\x01\xff"), "\"a\\\"b\\\\c\\n\\x01\\xFF\"");
    EXPECT_EQ(fourCharText(fourCharCode('T', 'v', 'H', 'm')), "\"TvHm\"");
    EXPECT_EQ(fourCharText(0x00414243), "\"\\x00ABC\"");
}

TEST(Text, ParsesWholeNumbersOnly) {
    long n = 0;
    double d = 0.0;
    EXPECT_TRUE(parseLong("42", n));
    EXPECT_EQ(n, 42);
    EXPECT_FALSE(parseLong("42x", n));
    EXPECT_FALSE(parseLong("", n));
    EXPECT_FALSE(parseLong("99999999999999999999999", n));
    EXPECT_TRUE(parseDouble("0.25", d));
    EXPECT_EQ(d, 0.25);
    EXPECT_FALSE(parseDouble("nan", d));
    EXPECT_FALSE(parseDouble("1e999", d));
    EXPECT_FALSE(parseDouble("0.5.", d));
}

}  // namespace
}  // namespace vsthost
