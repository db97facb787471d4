#include "data/jpeg_encoder.h"
#include "data/jpeg_picture.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

using namespace vm::data;

namespace {

// Left half red, right half blue: easy to recognise after a lossy round trip.
DecodedPicture twoColourPicture(int width, int height) {
    DecodedPicture picture{width, height, std::vector<std::uint8_t>(width * height * 3)};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = &picture.rgb[(y * width + x) * 3];
            p[0] = x < width / 2 ? 230 : 20;
            p[2] = x < width / 2 ? 20 : 230;
        }
    }
    return picture;
}

std::vector<std::uint8_t> jpegOf(int width, int height, bool progressive = false) {
    EncodedJpeg jpeg = encodeJpeg(twoColourPicture(width, height), 90, progressive);
    EXPECT_TRUE(jpeg.ok) << jpeg.message;
    return jpeg.bytes;
}

std::vector<std::uint8_t> reversedHead(std::vector<std::uint8_t> bytes) {
    std::reverse(bytes.begin(), bytes.begin() + 100);
    return bytes;
}

TEST(JpegPicture, ReversedPictureDecodesToItsSizeAndColours) {
    TempFolder dir;
    const auto jpeg = jpegOf(37, 23); // sizes that are not multiples of the 8x8 blocks
    writeFileBytes(dir / "F001.dat", reversedHead(jpeg));
    const PictureResult result = decodeReversedPicture(dir / "F001.dat", dir / "temp.dat");
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_EQ(result.picture.width, 37);
    EXPECT_EQ(result.picture.height, 23);
    ASSERT_EQ(result.picture.rgb.size(), 37u * 23u * 3u);
    const std::uint8_t* left = &result.picture.rgb[(11 * 37 + 4) * 3];
    const std::uint8_t* right = &result.picture.rgb[(11 * 37 + 32) * 3];
    EXPECT_GT(left[0], 180);
    EXPECT_LT(left[2], 80);
    EXPECT_LT(right[0], 80);
    EXPECT_GT(right[2], 180);
    // The scratch copy holds the picture with its head put back in order; the source is kept.
    EXPECT_EQ(readBytes(dir / "temp.dat"), jpeg);
    EXPECT_EQ(readBytes(dir / "F001.dat"), reversedHead(jpeg));
}

TEST(JpegPicture, PlainFileDecodesWithoutReversal) {
    TempFolder dir;
    writeFileBytes(dir / "tlo.dat", jpegOf(64, 48));
    const PictureResult plain = decodeJpegFile(dir / "tlo.dat");
    ASSERT_TRUE(plain.ok) << plain.message;
    EXPECT_EQ(plain.picture.width, 64);
    EXPECT_EQ(plain.picture.height, 48);
}

// Every failure names the file it concerns and says why; the scratch file is only written once
// the source has been read whole.
TEST(JpegPicture, FailuresNameTheFileAndTheReason) {
    TempFolder dir;
    std::filesystem::create_directory(dir / "folder.dat");
    writeFileBytes(dir / "notjpeg.dat", std::string(300, 'A'));
    writeFileBytes(dir / "short.dat", std::string(99, '\xFF'));
    writeFileBytes(dir / "good.dat", reversedHead(jpegOf(16, 16)));
    std::filesystem::create_directory(dir / "scratchfolder");
    const struct {
        std::string source;
        std::string scratch;
        std::string message;
    } cases[] = {
        {"absent.dat", "temp.dat",
         "File not found: " + (dir / "absent.dat").string() + " (No such file or directory)"},
        {"folder.dat", "temp.dat",
         "File access denied: " + (dir / "folder.dat").string() + " (not a regular file)"},
        {"notjpeg.dat", "temp.dat",
         "Not a JPEG file: starts with 0x41 0x41: " + (dir / "notjpeg.dat").string()},
        {"short.dat", "temp.dat", "Read beyond end of file: " + (dir / "short.dat").string()},
        {"good.dat", "scratchfolder",
         "File access denied: " + (dir / "scratchfolder").string() + " (Is a directory)"},
    };
    for (const auto& c : cases) {
        const PictureResult result = decodeReversedPicture(dir / c.source, dir / c.scratch);
        EXPECT_FALSE(result.ok) << c.source;
        EXPECT_EQ(result.message, c.message);
        EXPECT_TRUE(result.picture.rgb.empty()) << c.source;
        if (c.source != "notjpeg.dat") {
            EXPECT_FALSE(std::filesystem::exists(dir / "temp.dat")) << c.source;
        }
        std::filesystem::remove(dir / "temp.dat");
    }
    writeFileBytes(dir / "tlo.dat", std::string(300, 'A'));
    EXPECT_EQ(decodeJpegFile(dir / "tlo.dat").message,
              "Not a JPEG file: starts with 0x41 0x41: " + (dir / "tlo.dat").string());
}

TEST(JpegPicture, AJpegStoredUnreversedIsRefused) {
    TempFolder dir;
    writeFileBytes(dir / "F003.dat", jpegOf(16, 16)); // forgot to reverse the head
    const PictureResult result = decodeReversedPicture(dir / "F003.dat", dir / "temp.dat");
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.message.empty());
}

TEST(JpegPicture, DamagedPicturesFailWithoutCrashing) {
    const auto good = jpegOf(40, 40);
    std::vector<std::vector<std::uint8_t>> damaged = {
        {},
        {0xFF, 0xD8},
        std::vector<std::uint8_t>(good.begin(), good.begin() + good.size() / 2),
    };
    auto flipped = good;
    for (std::size_t i = 200; i < flipped.size(); i += 7)
        flipped[i] ^= 0x5A;
    damaged.push_back(flipped);
    for (std::size_t i = 0; i < damaged.size(); ++i) {
        const PictureResult result = decodeJpegBytes(damaged[i]);
        EXPECT_FALSE(result.ok) << "case " << i;
        EXPECT_FALSE(result.message.empty()) << "case " << i;
    }
}

TEST(JpegPicture, TruncatedPictureIsRefusedRatherThanShownHalfGrey) {
    auto jpeg = jpegOf(256, 256);
    jpeg.resize(jpeg.size() * 3 / 4); // cut inside the compressed pixels
    const PictureResult result = decodeJpegBytes(jpeg);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, "Premature end of JPEG file");
}

// Finds the start-of-frame segment and claims a new size in it.
void claimSize(std::vector<std::uint8_t>& jpeg, int width, int height) {
    for (std::size_t i = 2; i + 9 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] >= 0xC0 && jpeg[i + 1] <= 0xC2) {
            jpeg[i + 5] = static_cast<std::uint8_t>(height >> 8);
            jpeg[i + 6] = static_cast<std::uint8_t>(height);
            jpeg[i + 7] = static_cast<std::uint8_t>(width >> 8);
            jpeg[i + 8] = static_cast<std::uint8_t>(width);
            return;
        }
    }
    FAIL() << "no start-of-frame marker";
}

TEST(JpegPicture, OversizedPictureIsRefusedBeforeDecoding) {
    auto jpeg = jpegOf(16, 16);
    claimSize(jpeg, 10000, 10000); // 100 megapixels
    const PictureResult result = decodeJpegBytes(jpeg);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, "Picture too large");
    // A progressive one is held whole before scaling: 36 megapixels, 100 MB of coefficients.
    auto progressive = jpegOf(16, 16, true);
    claimSize(progressive, 6000, 6000);
    EXPECT_EQ(decodeJpegBytes(progressive, {320, 240}).message, "Picture too large");
}

// A picture larger than it is shown decodes at the smallest eighth of its size that still covers
// the shown size both ways (libjpeg rounds up), never larger than stored, its colours in place.
TEST(JpegPicture, DecodesNoLargerThanItIsShown) {
    const std::pair<PictureSize, PictureSize> cases[] = {
        {{0, 0}, {400, 240}},  {{401, 10}, {400, 240}}, {{1, 1}, {50, 30}},
        {{51, 30}, {100, 60}}, {{90, 59}, {100, 60}},   {{120, 200}, {350, 210}},
    };
    for (const bool progressive : {false, true}) {
        const auto jpeg = jpegOf(400, 240, progressive);
        for (const auto& [shownAt, decoded] : cases) {
            const PictureResult result = decodeJpegBytes(jpeg, shownAt);
            ASSERT_TRUE(result.ok) << result.message;
            const DecodedPicture& p = result.picture;
            EXPECT_EQ(std::pair(p.width, p.height), std::pair(decoded.width, decoded.height))
                << progressive << " " << shownAt.width << "x" << shownAt.height;
            EXPECT_GT(p.rgb[(p.height / 2 * p.width + p.width / 8) * 3], 180);         // red
            EXPECT_GT(p.rgb[(p.height / 2 * p.width + p.width * 7 / 8) * 3 + 2], 180); // blue
        }
    }
}

TEST(JpegPicture, ReversingTwiceGivesTheFileBack) {
    TempFolder dir;
    std::vector<std::uint8_t> bytes(300);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 37 + 11);
    writeFileBytes(dir / "f.dat", bytes);
    ASSERT_TRUE(reverseFirst100Bytes(dir / "f.dat").ok);
    const auto once = readBytes(dir / "f.dat");
    EXPECT_EQ(once[0], bytes[99]);
    EXPECT_EQ(once[99], bytes[0]);
    EXPECT_TRUE(std::equal(once.begin() + 100, once.end(), bytes.begin() + 100));
    ASSERT_TRUE(reverseFirst100Bytes(dir / "f.dat").ok);
    EXPECT_EQ(readBytes(dir / "f.dat"), bytes);
}

TEST(JpegPicture, ReversingExactly100Bytes) {
    std::vector<std::uint8_t> bytes(100);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i);
    EXPECT_TRUE(reverseFirst100Bytes(std::span<std::uint8_t>(bytes)));
    EXPECT_EQ(bytes.front(), 99);
    EXPECT_EQ(bytes.back(), 0);
    std::vector<std::uint8_t> shortBytes(99, 1);
    EXPECT_FALSE(reverseFirst100Bytes(std::span<std::uint8_t>(shortBytes)));
}

} // namespace
