// Our WAV code against libsndfile: the Windows build writes with the former and the
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

class WavLayout : public ::testing::TestWithParam<std::tuple<int, long>> {};

TEST_P(WavLayout, OurBytesAreLibsndfileBytes) {
    const auto [channels, frames] = GetParam();
    AudioData audio = ramp(channels, frames, 48000);
    const std::string path = scratch("layout");
    std::string error;
    ASSERT_TRUE(writeAudio(path, audio, error)) << error;
    std::vector<std::uint8_t> theirs = fileBytes(path);
    std::remove(path.c_str());
    EXPECT_EQ(encodeWav(audio), theirs);
}

INSTANTIATE_TEST_SUITE_P(Layouts, WavLayout,
                         ::testing::Combine(::testing::Values(1, 2, 3, 8), ::testing::Values(0L, 1L, 1000L)));

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
    ASSERT_TRUE(writeAudio(path, audio, error)) << error;
    AudioData ours, theirs;
    EXPECT_TRUE(readWavFile(path, ours, error)) << error;
    EXPECT_TRUE(readAudio(path, theirs, error)) << error;
    std::remove(path.c_str());
    EXPECT_EQ(ours.samples, audio.samples);
    EXPECT_EQ(theirs.samples, audio.samples);
}

TEST(WavFile, Reads16BitPcm) {
    // 2 frames of mono 16-bit: 0x4000 (0.5) and 0x8000 (-1).
    std::vector<std::uint8_t> bytes = {'R', 'I', 'F', 'F', 40, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ',
                                       16,  0,   0,   0,   1, 0, 1, 0, 0x44, 0xAC, 0, 0, 0x88, 0x58, 1, 0,
                                       2,   0,   16,  0,   'd', 'a', 't', 'a', 4, 0, 0, 0, 0x00, 0x40, 0x00, 0x80};
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
    for (std::size_t length = 0; length < 80; ++length) {
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
    // A data length beyond the end means "to the end": the frames that are there.
    std::vector<std::uint8_t> longData = good;
    longData.resize(longData.size() - 8);
    ASSERT_TRUE(decodeWav(longData, audio, error)) << error;
    EXPECT_EQ(audio.frames(), 9);
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
