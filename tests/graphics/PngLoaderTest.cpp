#include <gtest/gtest.h>

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "graphics/MemorySurface.h"
#include "graphics/PngLoader.h"
#include "tests/graphics/GraphicsTestSupport.h"
#include "tools/SurfacePng.h"

namespace {

std::unique_ptr<Surface> Decode(const std::vector<uint8_t>& bytes)
{
    return std::unique_ptr<Surface>(DecodePng(bytes.data(), bytes.size(), nullptr));
}

PngLayout Layout(uint32_t w, uint32_t h, int type, int depth, std::vector<uint32_t> samples)
{
    PngLayout s;
    s.width = w;
    s.height = h;
    s.colourType = type;
    s.bitDepth = depth;
    s.samples = std::move(samples);
    return s;
}

void ExpectPixels(const std::vector<uint8_t>& png, const std::vector<uint32_t>& expected, uint32_t width)
{
    ASSERT_FALSE(png.empty());
    const auto s = Decode(png);
    ASSERT_TRUE(s);
    ASSERT_EQ(uint32_t(s->width()), width);
    ASSERT_EQ(size_t(s->width()) * s->height(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(s->bits()[i], expected[i]) << "pixel " << i;
}

// A valid 5 x 4 RGBA image used for damage tests.
std::vector<uint8_t> SampleImage()
{
    std::vector<uint32_t> samples;
    for (uint32_t i = 0; i < 5 * 4; ++i) {
        samples.push_back(i * 12);
        samples.push_back(255 - i);
        samples.push_back(i * 7);
        samples.push_back(200 + i);
    }
    return EncodePng(Layout(5, 4, PNG_COLOR_TYPE_RGB_ALPHA, 8, samples));
}

}  // namespace

TEST(PngLoader, GreyDepthsExpandToOpaqueRgb)
{
    ExpectPixels(EncodePng(Layout(4, 1, PNG_COLOR_TYPE_GRAY, 1, {0, 1, 1, 0})),
                 {0xFF000000u, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFF000000u}, 4);
    ExpectPixels(EncodePng(Layout(4, 1, PNG_COLOR_TYPE_GRAY, 2, {0, 1, 2, 3})),
                 {0xFF000000u, 0xFF555555u, 0xFFAAAAAAu, 0xFFFFFFFFu}, 4);
    ExpectPixels(EncodePng(Layout(3, 1, PNG_COLOR_TYPE_GRAY, 4, {0, 7, 15})),
                 {0xFF000000u, 0xFF777777u, 0xFFFFFFFFu}, 3);
    ExpectPixels(EncodePng(Layout(2, 2, PNG_COLOR_TYPE_GRAY, 8, {0, 0x40, 0x80, 0xFF})),
                 {0xFF000000u, 0xFF404040u, 0xFF808080u, 0xFFFFFFFFu}, 2);
    // 16-bit samples keep their high byte.
    ExpectPixels(EncodePng(Layout(2, 1, PNG_COLOR_TYPE_GRAY, 16, {0x12FF, 0xABCD})),
                 {0xFF121212u, 0xFFABABABu}, 2);
}

TEST(PngLoader, GreyWithAlphaAndGreyTransparency)
{
    ExpectPixels(EncodePng(Layout(2, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {0x20, 0x80, 0xF0, 0x00})),
                 {0x80202020u, 0x00F0F0F0u}, 2);
    ExpectPixels(EncodePng(Layout(1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 16, {0x3344, 0x99AA})), {0x99333333u}, 1);
    PngLayout t = Layout(3, 1, PNG_COLOR_TYPE_GRAY, 4, {5, 9, 5});
    t.hasTransparentColour = true;
    t.transparentGrey = 5;
    ExpectPixels(EncodePng(t), {0x00555555u, 0xFF999999u, 0x00555555u}, 3);
}

TEST(PngLoader, RgbRgbaAndSixteenBit)
{
    ExpectPixels(EncodePng(Layout(2, 1, PNG_COLOR_TYPE_RGB, 8, {1, 2, 3, 250, 251, 252})),
                 {0xFF010203u, 0xFFFAFBFCu}, 2);
    ExpectPixels(EncodePng(Layout(2, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8, {1, 2, 3, 4, 250, 251, 252, 0})),
                 {0x04010203u, 0x00FAFBFCu}, 2);
    ExpectPixels(EncodePng(Layout(1, 1, PNG_COLOR_TYPE_RGB, 16, {0x1111, 0x2222, 0x3399})), {0xFF112233u}, 1);
    ExpectPixels(EncodePng(Layout(1, 1, PNG_COLOR_TYPE_RGB_ALPHA, 16, {0x1111, 0x2222, 0x3399, 0x7F00})),
                 {0x7F112233u}, 1);
    PngLayout t = Layout(2, 1, PNG_COLOR_TYPE_RGB, 8, {10, 20, 30, 10, 20, 31});
    t.hasTransparentColour = true;
    t.transparentR = 10;
    t.transparentG = 20;
    t.transparentB = 30;
    ExpectPixels(EncodePng(t), {0x000A141Eu, 0xFF0A141Fu}, 2);
}

TEST(PngLoader, PalettesWithAndWithoutTransparency)
{
    PngLayout p = Layout(4, 1, PNG_COLOR_TYPE_PALETTE, 2, {0, 1, 2, 3});
    p.palette = {255, 0, 0, 0, 255, 0, 0, 0, 255, 10, 20, 30};
    ExpectPixels(EncodePng(p), {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFF0A141Eu}, 4);
    p.paletteAlpha = {0, 128};  // entries beyond the tRNS list stay opaque
    ExpectPixels(EncodePng(p), {0x00FF0000u, 0x8000FF00u, 0xFF0000FFu, 0xFF0A141Eu}, 4);
    PngLayout q = Layout(3, 1, PNG_COLOR_TYPE_PALETTE, 8, {2, 0, 1});
    q.palette = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    ExpectPixels(EncodePng(q), {0xFF070809u, 0xFF010203u, 0xFF040506u}, 3);
}

TEST(PngLoader, InterlacedImagesDecodeWhole)
{
    std::vector<uint32_t> samples;
    for (uint32_t i = 0; i < 9 * 7; ++i) samples.push_back(i * 4);
    PngLayout s = Layout(9, 7, PNG_COLOR_TYPE_GRAY, 8, samples);
    s.interlaced = true;
    std::vector<uint32_t> expected;
    for (uint32_t v : samples) expected.push_back(0xFF000000u | v * 0x010101u);
    ExpectPixels(EncodePng(s), expected, 9);
}

TEST(PngLoader, DecodesIntoAGivenSurface)
{
    MemorySurface dest(1, 1);
    const auto png = EncodePng(Layout(3, 2, PNG_COLOR_TYPE_RGB, 8, std::vector<uint32_t>(18, 0x42)));
    EXPECT_EQ(DecodePng(png.data(), png.size(), &dest), &dest);
    EXPECT_EQ(dest.width(), 3);
    EXPECT_EQ(dest.height(), 2);
    EXPECT_EQ(dest.bits()[5], 0xFF424242u);
}

TEST(PngLoader, RejectsMissingShortAndForeignData)
{
    const auto png = SampleImage();
    EXPECT_EQ(DecodePng(nullptr, 100, nullptr), nullptr);
    EXPECT_EQ(DecodePng(png.data(), 7, nullptr), nullptr);
    EXPECT_EQ(DecodePng(png.data(), 8, nullptr), nullptr);
    const char text[] = "GIF89a, not a PNG image";
    EXPECT_EQ(DecodePng(text, sizeof text, nullptr), nullptr);
    EXPECT_EQ(LoadPngResource(nullptr, 1, nullptr), nullptr);  // no resources natively
}

TEST(PngLoader, TruncatedDataNeverCrashes)
{
    const auto png = SampleImage();
    ASSERT_TRUE(Decode(png));
    for (size_t n = 0; n < png.size(); ++n) {
        const std::vector<uint8_t> cut(png.begin(), png.begin() + n);
        std::unique_ptr<Surface> s(DecodePng(cut.data(), cut.size(), nullptr));
        // Cut inside the image data the result is null; cut after it (in the trailing IEND
        // chunk) the picture is already whole.
        if (s) {
            EXPECT_EQ(s->width(), 5);
        }
    }
    MemorySurface dest(2, 2);
    const std::vector<uint8_t> half(png.begin(), png.begin() + png.size() / 2);
    EXPECT_EQ(DecodePng(half.data(), half.size(), &dest), nullptr);
}

TEST(PngLoader, CorruptBytesNeverCrash)
{
    const auto png = SampleImage();
    const auto original = Decode(png);
    ASSERT_TRUE(original);
    // Every chunk before the trailing 12-byte IEND is checksummed, so damage there fails the
    // decode; IEND itself is never read, so damage to it changes nothing.
    const size_t iend = png.size() - 12;
    for (size_t i = 8; i < png.size(); ++i)
        for (uint8_t flip : {0x01, 0x80, 0xFF}) {
            std::vector<uint8_t> bad = png;
            bad[i] ^= flip;
            std::unique_ptr<Surface> s(DecodePng(bad.data(), bad.size(), nullptr));
            if (i < iend) {
                EXPECT_FALSE(s) << "byte " << i;
            } else {
                ASSERT_TRUE(s);
                EXPECT_EQ(std::memcmp(s->bits(), original->bits(), 5 * 4 * 4), 0);
            }
        }
}

TEST(PngLoader, ChunkClaimingGigabytesInAFewBytesFailsAtTheEndOfTheData)
{
    // Found by the decoder's fuzzer: the signature, then an ancillary chunk claiming 2 GiB.
    // Its every byte past the data was read as a zero to check the chunk, seconds per image.
    const std::vector<uint8_t> bytes = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A,
                                        0x7F, 0xFF, 0xFF, 0xFF, 'r', 'Q', 'R', 'R', 'N', 0x0A};
    for (int i = 0; i < 100; ++i) ASSERT_EQ(Decode(bytes), nullptr);
}

TEST(PngLoader, OversizedHeaderIsRefusedBeforeAllocating)
{
    auto png = SampleImage();
    // IHDR data starts at byte 16: width and height, big-endian. Claim 30000 x 30000 and
    // repair the chunk checksum so that only the size limit can refuse it.
    const uint8_t size[8] = {0, 0, 0x75, 0x30, 0, 0, 0x75, 0x30};
    std::copy(size, size + 8, png.begin() + 16);
    const uLong crc = crc32(crc32(0, nullptr, 0), png.data() + 12, 17);
    for (int i = 0; i < 4; ++i) png[29 + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
    EXPECT_EQ(Decode(png), nullptr);
    // The same patch with a small size decodes (then fails for lack of data, but safely).
    const uint8_t small[8] = {0, 0, 0, 5, 0, 0, 0, 4};
    std::copy(small, small + 8, png.begin() + 16);
    const uLong crc2 = crc32(crc32(0, nullptr, 0), png.data() + 12, 17);
    for (int i = 0; i < 4; ++i) png[29 + i] = static_cast<uint8_t>(crc2 >> (24 - 8 * i));
    EXPECT_TRUE(Decode(png));
}

TEST(PngLoader, TheResourceImagesOfTheWindowsCheck)
{
    // The same files are built into a test DLL and found by FindResourceA under Wine.
    const auto rgba = ReadSurfacePng(std::string(QUILLOGRAPH_DATA_DIR) + "/resource-rgba.png");
    const auto palette = ReadSurfacePng(std::string(QUILLOGRAPH_DATA_DIR) + "/resource-palette.png");
    ASSERT_TRUE(rgba);
    ASSERT_TRUE(palette);
    const uint32_t rgbaPixels[6] = {0xFFFF0000u, 0x8000FF00u, 0x000000FFu, 0x40102030u, 0xFFC86432u, 0x04010203u};
    const uint32_t palettePixels[4] = {0x000A141Eu, 0x6328323Cu, 0xFF46505Au, 0xFFFFFFFFu};
    ASSERT_EQ(rgba->width(), 3);
    ASSERT_EQ(palette->width(), 4);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(rgba->bits()[i], rgbaPixels[i]) << i;
    for (int i = 0; i < 4; ++i) EXPECT_EQ(palette->bits()[i], palettePixels[i]) << i;
}
