// Tests of the pictures P1 to P13: each is built in with its stated format and size and decodes to
// a bitmap of that size; cut, damaged and foreign bytes give no picture.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <jpeglib.h>

#include "ui/pictures.h"

namespace {

using Bytes = std::vector<unsigned char>;

struct PictureCase {
  Picture picture;
  const char* name;
  const char* format;
  int width;
  int height;
};

const PictureCase kPictures[] = {
    {Picture::P1, "P1", "GIF", 660, 460}, {Picture::P2, "P2", "ICO", 48, 48},
    {Picture::P3, "P3", "GIF", 160, 22},  {Picture::P4, "P4", "ICO", 16, 16},
    {Picture::P5, "P5", "JPEG", 15, 19},  {Picture::P6, "P6", "BMP", 16, 21},
    {Picture::P7, "P7", "GIF", 42, 17},   {Picture::P8, "P8", "BMP", 42, 17},
    {Picture::P9, "P9", "JPEG", 16, 18},  {Picture::P10, "P10", "BMP", 18, 18},
    {Picture::P11, "P11", "BMP", 26, 17}, {Picture::P12, "P12", "BMP", 29, 17},
    {Picture::P13, "P13", "BMP", 29, 17},
};

Bytes CopyOf(Picture picture) {
  const auto bytes = PictureBytes(picture);
  return Bytes(bytes.begin(), bytes.end());
}

std::string FormatOf(const Bytes& bytes) {
  auto startsWith = [&](std::initializer_list<unsigned char> signature) {
    return bytes.size() >= signature.size() &&
           std::equal(signature.begin(), signature.end(), bytes.begin());
  };
  if (startsWith({'G', 'I', 'F', '8', '9', 'a'}) || startsWith({'G', 'I', 'F', '8', '7', 'a'}))
    return "GIF";
  if (startsWith({0xFF, 0xD8, 0xFF})) return "JPEG";
  if (startsWith({'B', 'M'})) return "BMP";
  if (startsWith({0, 0, 1, 0})) return "ICO";
  return "unknown";
}

int Read16(const Bytes& bytes, size_t at) {
  return bytes.at(at) | bytes.at(at + 1) << 8;
}

struct DibShape {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;
};

DibShape ShapeOf(HBITMAP bitmap) {
  DIBSECTION section{};
  if (GetObject(bitmap, sizeof(section), &section) != sizeof(section)) return {};
  return {section.dsBm.bmWidth, section.dsBm.bmHeight, section.dsBm.bmBitsPixel};
}

COLORREF PixelOf(HBITMAP bitmap, int x, int y) {
  GdiFlush();
  DIBSECTION section{};
  GetObject(bitmap, sizeof(section), &section);
  const auto* row = static_cast<const unsigned char*>(section.dsBm.bmBits) +
                    size_t(y) * section.dsBm.bmWidthBytes;
  return RGB(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
}

int IconSide(HICON icon) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return 0;
  BITMAP shape{};
  GetObject(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(shape), &shape);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return shape.bmWidth;
}

// Decodes and frees at once; whether a bitmap came out is all these tests need.
bool Decodes(const Bytes& bytes) {
  HBITMAP bitmap = DecodePicture(bytes);
  if (bitmap) DeleteObject(bitmap);
  return bitmap != nullptr;
}

TEST(Pictures, EachIsBuiltInInItsStatedFormat) {
  for (const auto& c : kPictures) {
    SCOPED_TRACE(c.name);
    const Bytes bytes = CopyOf(c.picture);
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(FormatOf(bytes), c.format);
    if (FormatOf(bytes) == "BMP") {
      EXPECT_EQ(Read16(bytes, 28), 24) << "bits per pixel";
    }
    if (FormatOf(bytes) == "ICO") {
      EXPECT_EQ(Read16(bytes, 4), 1) << "images in the file";
      EXPECT_EQ(bytes.at(6), c.width);
      EXPECT_EQ(bytes.at(7), c.height);
      EXPECT_EQ(Read16(bytes, 12), 8) << "bits per pixel";
    }
  }
}

TEST(Pictures, EachDecodesToA24BitBitmapOfItsOwnSize) {
  for (const auto& c : kPictures) {
    SCOPED_TRACE(c.name);
    HBITMAP bitmap = LoadPictureBitmap(c.picture);
    ASSERT_NE(bitmap, nullptr);
    const DibShape shape = ShapeOf(bitmap);
    EXPECT_EQ(shape.width, c.width);
    EXPECT_EQ(shape.height, c.height);
    EXPECT_EQ(shape.bitsPerPixel, 24);
    DeleteObject(bitmap);
  }
}

// Pictures of known content, one per format: four quadrants of different colours, so a decoder
// that swaps the red and blue channels, leaves the rows bottom-up or misreads the row padding
// shows. Pixels are read from the bitmap's memory as top-down rows.
const COLORREF kQuadrants[4] = {RGB(255, 0, 0), RGB(0, 0, 255), RGB(0, 255, 0), RGB(255, 255, 0)};

int QuadrantOf(int x, int y, int width, int height) {
  return (y >= height / 2 ? 2 : 0) + (x >= width / 2 ? 1 : 0);
}

void Put16(Bytes& out, int value) {
  out.push_back(value & 0xFF);
  out.push_back(value >> 8 & 0xFF);
}

void Put32(Bytes& out, uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

void PutInfoHeader(Bytes& out, int width, int height, int bits, uint32_t imageSize) {
  for (uint32_t value : {40u, uint32_t(width), uint32_t(height)}) Put32(out, value);
  Put16(out, 1);
  Put16(out, bits);
  for (uint32_t value : {0u, imageSize, 0u, 0u, 0u, 0u}) Put32(out, value);
}

Bytes KnownBmp(int width, int height) {
  const int stride = (width * 3 + 3) & ~3;
  Bytes out{'B', 'M'};
  Put32(out, 54 + stride * height);
  Put32(out, 0);
  Put32(out, 54);
  PutInfoHeader(out, width, height, 24, stride * height);
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) {
      const COLORREF colour = kQuadrants[QuadrantOf(x, y, width, height)];
      out.insert(out.end(), {GetBValue(colour), GetGValue(colour), GetRValue(colour)});
    }
    out.resize(out.size() + stride - width * 3);
  }
  return out;
}

// LZW data as a GIF holds it, in sub-blocks of up to 255 bytes, then the end of the file.
void PutImageDataAndTrailer(Bytes& out, const Bytes& data) {
  for (size_t at = 0; at < data.size(); at += 255) {
    const size_t length = std::min<size_t>(255, data.size() - at);
    out.push_back(uint8_t(length));
    out.insert(out.end(), data.begin() + at, data.begin() + at + length);
  }
  out.insert(out.end(), {0, ';'});
}

// The image data holds one LZW code per pixel and starts the code table afresh every second
// pixel, so every code keeps the width of three bits.
Bytes KnownGif(int width, int height) {
  Bytes out{'G', 'I', 'F', '8', '9', 'a'};
  Put16(out, width);
  Put16(out, height);
  out.insert(out.end(), {0x81, 0, 0});
  for (COLORREF colour : kQuadrants)
    out.insert(out.end(), {GetRValue(colour), GetGValue(colour), GetBValue(colour)});
  out.push_back(',');
  for (int value : {0, 0, width, height}) Put16(out, value);
  out.insert(out.end(), {0, 2});
  constexpr int kClear = 4, kEnd = 5;
  std::vector<int> codes;
  for (int i = 0; i < width * height; ++i) {
    if (i % 2 == 0) codes.push_back(kClear);
    codes.push_back(QuadrantOf(i % width, i / width, width, height));
  }
  codes.push_back(kEnd);
  Bytes data((codes.size() * 3 + 7) / 8);
  for (size_t i = 0; i < codes.size(); ++i)
    for (int bit = 0; bit < 3; ++bit)
      if (codes[i] >> bit & 1) data[(i * 3 + bit) / 8] |= 1 << ((i * 3 + bit) % 8);
  PutImageDataAndTrailer(out, data);
  return out;
}

// GIF's LZW compression, written plainly: the table grows, and the codes widen with it, as
// encoders do, so the decoder meets codes of more than one width.
Bytes LzwCompress(const std::vector<uint8_t>& indices, int minimumCodeSize) {
  const int clear = 1 << minimumCodeSize, end = clear + 1;
  std::map<std::pair<int, uint8_t>, int> table;
  int next = end + 1, codeSize = minimumCodeSize + 1;
  Bytes data;
  size_t bit = 0;
  auto emit = [&](int code) {
    for (int i = 0; i < codeSize; ++i, ++bit) {
      if (bit / 8 >= data.size()) data.push_back(0);
      if (code >> i & 1) data[bit / 8] |= 1 << (bit % 8);
    }
  };
  emit(clear);
  int prefix = indices.at(0);
  for (size_t i = 1; i < indices.size(); ++i) {
    auto found = table.find({prefix, indices[i]});
    if (found != table.end()) {
      prefix = found->second;
      continue;
    }
    emit(prefix);
    if (next == 1 << codeSize && codeSize < 12) ++codeSize;
    table[{prefix, indices[i]}] = next++;
    prefix = indices[i];
  }
  emit(prefix);
  emit(end);
  return data;
}

// A GIF with no global palette whose one image of palette indices lies at (left, top) on a larger
// screen, with its own four-colour palette, its rows stored interlaced, and a transparent colour.
Bytes PlacedGif(int screenWidth, int screenHeight, int left, int top,
                const std::vector<std::vector<uint8_t>>& rows, int transparent) {
  const int width = int(rows[0].size()), height = int(rows.size());
  Bytes out{'G', 'I', 'F', '8', '9', 'a'};
  Put16(out, screenWidth);
  Put16(out, screenHeight);
  out.insert(out.end(), {0, 0, 0});
  out.insert(out.end(), {0x21, 0xF9, 4, 1, 0, 0, uint8_t(transparent), 0});
  out.push_back(',');
  for (int value : {left, top, width, height}) Put16(out, value);
  out.push_back(0x80 | 0x40 | 1);
  for (COLORREF colour : kQuadrants)
    out.insert(out.end(), {GetRValue(colour), GetGValue(colour), GetBValue(colour)});
  std::vector<uint8_t> stored;
  for (int pass : {0, 1, 2, 3}) {
    const int start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
    for (int y = start[pass]; y < height; y += step[pass])
      stored.insert(stored.end(), rows[y].begin(), rows[y].end());
  }
  out.push_back(2);
  const Bytes data = LzwCompress(stored, 2);
  PutImageDataAndTrailer(out, data);
  return out;
}

TEST(Pictures, GifImageIsPlacedDeinterlacedAndItsTransparentColourIsBlack) {
  constexpr int kLeft = 3, kTop = 2, kTransparent = 3;
  std::vector<std::vector<uint8_t>> rows(13, std::vector<uint8_t>(20));
  for (int y = 0; y < 13; ++y)
    for (int x = 0; x < 20; ++x) rows[y][x] = uint8_t((x / 3 + y * y) % 4);
  HBITMAP bitmap = DecodePicture(PlacedGif(24, 16, kLeft, kTop, rows, kTransparent));
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(ShapeOf(bitmap).width, 24);
  EXPECT_EQ(ShapeOf(bitmap).height, 16);
  int wrong = 0;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 24; ++x) {
      const int column = x - kLeft, row = y - kTop;
      const bool inside = column >= 0 && column < 20 && row >= 0 && row < 13;
      const int index = inside ? rows[row][column] : kTransparent;
      const COLORREF want = index == kTransparent ? RGB(0, 0, 0) : kQuadrants[index];
      if (PixelOf(bitmap, x, y) != want && ++wrong <= 5)
        ADD_FAILURE() << "pixel " << x << ", " << y << " is not the colour of index " << index;
    }
  EXPECT_EQ(wrong, 0);
  DeleteObject(bitmap);
}

// One 8-bit image; the pixel at transparentX, transparentY is masked out and, as icons store a
// transparent pixel, black (palette entry 4).
Bytes KnownIco(int size, int transparentX, int transparentY) {
  const int maskStride = ((size + 31) / 32) * 4, pixelStride = (size + 3) & ~3;
  const uint32_t imageBytes = 40 + 256 * 4 + (pixelStride + maskStride) * size;
  Bytes out;
  for (int value : {0, 1, 1}) Put16(out, value);
  out.insert(out.end(), {uint8_t(size), uint8_t(size), 0, 0});
  Put16(out, 1);
  Put16(out, 8);
  Put32(out, imageBytes);
  Put32(out, 22);
  PutInfoHeader(out, size, 2 * size, 8, (pixelStride + maskStride) * size);
  for (int i = 0; i < 256; ++i) {
    const COLORREF colour = i < 4 ? kQuadrants[i] : 0;
    out.insert(out.end(), {GetBValue(colour), GetGValue(colour), GetRValue(colour), 0});
  }
  for (int y = size - 1; y >= 0; --y) {
    for (int x = 0; x < size; ++x)
      out.push_back(x == transparentX && y == transparentY ? 4 : QuadrantOf(x, y, size, size));
    out.resize(out.size() + pixelStride - size);
  }
  for (int y = size - 1; y >= 0; --y) {
    Bytes row(maskStride);
    if (y == transparentY) row[transparentX / 8] |= 0x80 >> (transparentX % 8);
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

Bytes KnownJpeg(int width, int height) {
  jpeg_compress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = width;
  info.image_height = height;
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 95, TRUE);
  jpeg_start_compress(&info, TRUE);
  std::vector<unsigned char> row(width * 3);
  while (info.next_scanline < info.image_height) {
    for (int x = 0; x < width; ++x) {
      const COLORREF colour = kQuadrants[QuadrantOf(x, int(info.next_scanline), width, height)];
      row[3 * x] = GetRValue(colour);
      row[3 * x + 1] = GetGValue(colour);
      row[3 * x + 2] = GetBValue(colour);
    }
    JSAMPROW rows[] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  Bytes out(buffer, buffer + size);
  std::free(buffer);
  return out;
}

TEST(Pictures, EachFormatDecodesItsColoursInTheirPlaces) {
  const struct {
    const char* format;
    Bytes bytes;
    int width, height;
    int tolerance;
  } cases[] = {
      {"BMP with padded rows", KnownBmp(6, 4), 6, 4, 0},
      {"GIF", KnownGif(6, 4), 6, 4, 0},
      {"ICO", KnownIco(8, 7, 7), 8, 8, 0},
      {"JPEG, which is lossy", KnownJpeg(15, 16), 15, 16, 40},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.format);
    HBITMAP bitmap = DecodePicture(c.bytes);
    ASSERT_NE(bitmap, nullptr);
    const DibShape shape = ShapeOf(bitmap);
    EXPECT_EQ(shape.width, c.width);
    EXPECT_EQ(shape.height, c.height);
    for (int y : {c.height / 4, c.height * 3 / 4}) {
      for (int x : {c.width / 4, c.width * 3 / 4}) {
        const COLORREF want = kQuadrants[QuadrantOf(x, y, c.width, c.height)];
        const COLORREF got = PixelOf(bitmap, x, y);
        SCOPED_TRACE(testing::Message()
                     << "pixel " << x << ", " << y << ": RGB(" << int(GetRValue(got)) << ", "
                     << int(GetGValue(got)) << ", " << int(GetBValue(got)) << ")");
        EXPECT_NEAR(GetRValue(got), GetRValue(want), c.tolerance);
        EXPECT_NEAR(GetGValue(got), GetGValue(want), c.tolerance);
        EXPECT_NEAR(GetBValue(got), GetBValue(want), c.tolerance);
      }
    }
    DeleteObject(bitmap);
  }
}

TEST(Pictures, IconIsDrawnOverBlackWhereItsMaskIsClear) {
  HBITMAP bitmap = DecodePicture(KnownIco(8, 7, 7));
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(PixelOf(bitmap, 7, 7), RGB(0, 0, 0));
  EXPECT_EQ(PixelOf(bitmap, 6, 7), kQuadrants[3]);
  DeleteObject(bitmap);
}

TEST(Pictures, IconPicturesGiveIconsOfTheWantedSize) {
  const struct {
    Picture picture;
    int size;
  } cases[] = {{Picture::P2, 48},
               {Picture::P2, 32},
               {Picture::P2, 16},
               {Picture::P4, 16},
               {Picture::P4, 32}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "picture " << int(c.picture) << ", size " << c.size);
    HICON icon = LoadPictureIcon(c.picture, c.size);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(IconSide(icon), c.size);
    DestroyIcon(icon);
  }
}

TEST(Pictures, OtherPicturesAndSizesGiveNoIcon) {
  const struct {
    Picture picture;
    int size;
  } cases[] = {{Picture::None, 16}, {Picture::P1, 16}, {Picture::P5, 16},
               {Picture::P8, 16},   {Picture::P2, 0},  {Picture::P4, -16}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "picture " << int(c.picture) << ", size " << c.size);
    HICON icon = LoadPictureIcon(c.picture, c.size);
    EXPECT_EQ(icon, nullptr);
    if (icon) DestroyIcon(icon);
  }
}

TEST(Pictures, NoPictureGivesNoBytesAndNoBitmap) {
  EXPECT_TRUE(PictureBytes(Picture::None).empty());
  HBITMAP bitmap = LoadPictureBitmap(Picture::None);
  EXPECT_EQ(bitmap, nullptr);
  if (bitmap) DeleteObject(bitmap);
}

TEST(Pictures, EmptyAndForeignBytesGiveNoBitmap) {
  const struct {
    const char* what;
    Bytes bytes;
  } cases[] = {
      {"empty", {}},
      {"text", {'h', 'e', 'l', 'l', 'o'}},
      {"PNG signature", {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 0}},
      {"GIF signature alone", {'G', 'I', 'F', '8', '9', 'a'}},
      {"BMP signature alone", {'B', 'M'}},
      {"JPEG signature alone", {0xFF, 0xD8, 0xFF}},
      {"ICO signature alone", {0, 0, 1, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_FALSE(Decodes(c.bytes));
  }
}

TEST(Pictures, PicturesCutShortGiveNoBitmapOrIcon) {
  for (const auto& c : kPictures) {
    const Bytes whole = CopyOf(c.picture);
    ASSERT_TRUE(Decodes(whole)) << c.name << " whole";
    for (size_t kept : {whole.size() - 1, whole.size() / 2, size_t(16)}) {
      SCOPED_TRACE(testing::Message() << c.name << " cut to " << kept << " bytes");
      const Bytes cut(whole.begin(), whole.begin() + kept);
      EXPECT_FALSE(Decodes(cut));
      HICON icon = DecodeIcon(cut, 16);
      EXPECT_EQ(icon, nullptr);
      if (icon) DestroyIcon(icon);
    }
  }
}

size_t Find(const Bytes& bytes, std::initializer_list<unsigned char> pattern) {
  return size_t(std::search(bytes.begin(), bytes.end(), pattern.begin(), pattern.end()) -
                bytes.begin());
}

// Where the first image of a GIF starts; the pictures have no blocks before it.
size_t GifImageAt(const Bytes& bytes) {
  return 13 + ((bytes.at(10) & 0x80) ? size_t(3) << ((bytes.at(10) & 7) + 1) : 0);
}

TEST(Pictures, DamagedHeadersGiveNoBitmap) {
  const struct {
    const char* what;
    Picture picture;
    std::function<void(Bytes&)> damage;
  } cases[] = {
      {"JPEG frame marked lossless", Picture::P5,
       [](Bytes& b) {
         b.at(Find(b, {0xFF, 0xC0}) + 1) = 0xC3;
       }},
      {"JPEG without its quantisation tables", Picture::P9,
       [](Bytes& b) {
         b.at(Find(b, {0xFF, 0xDB}) + 1) = 0xEE;
       }},
      {"BMP of 13 bits per pixel", Picture::P8, [](Bytes& b) { b.at(28) = 13; }},
      {"BMP of width 0", Picture::P11, [](Bytes& b) { std::memset(&b.at(18), 0, 4); }},
      {"BMP with its pixels placed past the end", Picture::P12, [](Bytes& b) { b.at(11) = 0x7F; }},
      {"GIF with an LZW code size of 0", Picture::P7,
       [](Bytes& b) {
         const size_t image = GifImageAt(b);
         b.at(image + 10 + ((b.at(image + 9) & 0x80) ? 3 << ((b.at(image + 9) & 7) + 1) : 0)) = 0;
       }},
      {"GIF with an unknown block", Picture::P3, [](Bytes& b) { b.at(GifImageAt(b)) = 0x42; }},
      {"ICO image placed past the end", Picture::P4, [](Bytes& b) { b.at(6 + 15) = 0x7F; }},
      {"ICO image header destroyed", Picture::P2,
       [](Bytes& b) { std::memset(&b.at(22), 0xEE, 40); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes bytes = CopyOf(c.picture);
    ASSERT_TRUE(Decodes(bytes)) << "before the damage";
    c.damage(bytes);
    EXPECT_FALSE(Decodes(bytes));
  }
}

}  // namespace
