// Decoding of the pictures: JPEG through libjpeg, GIF by its own LZW decoder, BMP through GDI, ICO
// through the icon functions of user32; every result is a 24-bit top-down DIB section.
#include "ui/pictures.h"

#include <algorithm>
#include <climits>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

#include <jpeglib.h>

#include "ui/picture_resources.h"

namespace {

using Bytes = std::span<const unsigned char>;

struct GdiObjectDeleter {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
using UniqueBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDeleter>;

struct DcDeleter {
  void operator()(HDC dc) const { DeleteDC(dc); }
};
using UniqueDc = std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter>;

struct IconDeleter {
  void operator()(HICON icon) const { DestroyIcon(icon); }
};
using UniqueIcon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;

// Keeps a bitmap selected into a memory DC for the guard's lifetime.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  ~Selection() { SelectObject(dc_, old_); }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

uint16_t Read16(Bytes bytes, size_t at) {
  return uint16_t(bytes[at] | bytes[at + 1] << 8);
}

uint32_t Read32(Bytes bytes, size_t at) {
  return Read16(bytes, at) | uint32_t(Read16(bytes, at + 2)) << 16;
}

bool StartsWith(Bytes bytes, std::initializer_list<unsigned char> signature) {
  return bytes.size() >= signature.size() &&
         std::equal(signature.begin(), signature.end(), bytes.begin());
}

enum class Format { Unknown, Jpeg, Gif, Bmp, Ico };

Format FormatOf(Bytes bytes) {
  if (StartsWith(bytes, {0xFF, 0xD8, 0xFF})) return Format::Jpeg;
  if (StartsWith(bytes, {'G', 'I', 'F', '8', '7', 'a'}) ||
      StartsWith(bytes, {'G', 'I', 'F', '8', '9', 'a'}))
    return Format::Gif;
  if (StartsWith(bytes, {'B', 'M'})) return Format::Bmp;
  if (StartsWith(bytes, {0, 0, 1, 0})) return Format::Ico;
  return Format::Unknown;
}

// The description of a 24-bit top-down DIB; its rows are padded to whole DWORDs.
BITMAPINFO DibInfo(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

UniqueBitmap CreateDib(int width, int height, unsigned char** bits) {
  if (width <= 0 || height <= 0) return nullptr;
  const BITMAPINFO info = DibInfo(width, height);
  void* pixels = nullptr;
  UniqueBitmap bitmap{CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0)};
  if (bits) *bits = static_cast<unsigned char*>(pixels);
  return bitmap;
}

size_t DibStride(int width) {
  return (size_t(width) * 3 + 3) & ~size_t(3);
}

struct JpegFailure {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

[[noreturn]] void FailJpeg(j_common_ptr info) {
  std::longjmp(reinterpret_cast<JpegFailure*>(info->err)->jump, 1);
}

// libjpeg only warns about damaged data (a file cut short, a bad code) and fills in grey; such a
// picture counts as one that cannot be decoded.
void FailJpegOnWarning(j_common_ptr info, int level) {
  if (level < 0) FailJpeg(info);
}

// No object with a destructor lives in this function: libjpeg reports errors by longjmp.
HBITMAP DecodeJpeg(Bytes bytes) {
  if (bytes.size() > ULONG_MAX) return nullptr;
  jpeg_decompress_struct info;
  JpegFailure failure;
  info.err = jpeg_std_error(&failure.manager);
  failure.manager.error_exit = FailJpeg;
  failure.manager.emit_message = FailJpegOnWarning;
  HBITMAP volatile bitmap = nullptr;
  if (setjmp(failure.jump)) {
    jpeg_destroy_decompress(&info);
    if (bitmap) DeleteObject(bitmap);
    return nullptr;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_EXT_BGR;
  jpeg_start_decompress(&info);
  unsigned char* bits = nullptr;
  bitmap = CreateDib(int(info.output_width), int(info.output_height), &bits).release();
  if (!bitmap) {
    jpeg_destroy_decompress(&info);
    return nullptr;
  }
  const size_t stride = DibStride(int(info.output_width));
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = bits + info.output_scanline * stride;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return bitmap;
}

// Steps over a chain of data sub-blocks starting at `at`; false when it runs past the bytes.
bool SkipSubBlocks(Bytes bytes, size_t& at) {
  while (at < bytes.size()) {
    const size_t length = bytes[at++];
    if (length == 0) return true;
    at += length;
  }
  return false;
}

size_t ColourTableSize(unsigned char flags) {
  return flags & 0x80 ? size_t(3) << ((flags & 7) + 1) : 0;
}

// A GIF must hold an image and reach its trailer with every block inside the bytes, so a file cut
// short is not shown half drawn.
bool GifIsWhole(Bytes bytes) {
  if (bytes.size() < 13) return false;
  size_t at = 13 + ColourTableSize(bytes[10]);
  bool hasImage = false;
  while (at < bytes.size()) {
    switch (bytes[at]) {
      case 0x3B:
        return hasImage;
      case 0x21:
        at += 2;
        if (!SkipSubBlocks(bytes, at)) return false;
        break;
      case 0x2C: {
        if (at + 10 > bytes.size()) return false;
        at += 10 + ColourTableSize(bytes[at + 9]);
        if (at >= bytes.size() || bytes[at] < 2 || bytes[at] > 8) return false;
        ++at;
        if (!SkipSubBlocks(bytes, at)) return false;
        hasImage = true;
        break;
      }
      default:
        return false;
    }
  }
  return false;
}

// Decodes the palette indices of `count` pixels from a GIF's LZW data, handing each to `put` in
// order; false when the data is damaged or ends before the last pixel.
template <typename Put>
bool DecodeLzw(const std::vector<unsigned char>& data, int minimumCodeSize, size_t count, Put put) {
  constexpr int kMaxCodes = 4096;
  const int clear = 1 << minimumCodeSize, end = clear + 1;
  std::vector<uint16_t> prefix(kMaxCodes);
  std::vector<unsigned char> suffix(kMaxCodes), chain(kMaxCodes + 1);
  for (int code = 0; code < clear; ++code) suffix[code] = static_cast<unsigned char>(code);
  int codeSize = minimumCodeSize + 1, next = end + 1, previous = -1;
  unsigned char first = 0;
  size_t bit = 0, done = 0;
  while (done < count && bit + codeSize <= data.size() * 8) {
    int code = 0;
    for (int i = 0; i < codeSize; ++i, ++bit) code |= (data[bit / 8] >> (bit % 8) & 1) << i;
    if (code == clear) {
      codeSize = minimumCodeSize + 1;
      next = end + 1;
      previous = -1;
      continue;
    }
    if (code == end) break;
    if (previous < 0) {
      if (code >= clear) return false;
      put(first = static_cast<unsigned char>(code));
      ++done;
      previous = code;
      continue;
    }
    if (code > next) return false;
    int length = 0, walk = code;
    if (code == next) {
      chain[length++] = first;
      walk = previous;
    }
    while (walk > end) {
      chain[length++] = suffix[walk];
      walk = prefix[walk];
    }
    chain[length++] = first = static_cast<unsigned char>(walk);
    for (; length > 0 && done < count; ++done) put(chain[--length]);
    if (next < kMaxCodes) {
      prefix[next] = static_cast<uint16_t>(previous);
      suffix[next] = first;
      if (++next == 1 << codeSize && codeSize < 12) ++codeSize;
    }
    previous = code;
  }
  return done == count;
}

// The row of an interlaced image that its `row`th stored row is: every 8th from 0, every 8th
// from 4, every 4th from 2, then every 2nd from 1.
int InterlacedRow(int row, int height) {
  for (auto [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}}) {
    const int rows = start < height ? (height - start + step - 1) / step : 0;
    if (row < rows) return start + row * step;
    row -= rows;
  }
  return row;
}

// The first image of a whole GIF, drawn over black at its place on the logical screen; its
// transparent colour shows the black.
HBITMAP DecodeGif(Bytes bytes) {
  const int width = Read16(bytes, 6), height = Read16(bytes, 8);
  Bytes palette = bytes.subspan(13, ColourTableSize(bytes[10]));
  size_t at = 13 + palette.size();
  int transparent = -1;
  while (bytes[at] != 0x2C) {
    if (bytes[at + 1] == 0xF9 && bytes[at + 2] >= 4 && (bytes[at + 3] & 1))
      transparent = bytes[at + 6];
    at += 2;
    SkipSubBlocks(bytes, at);
  }
  const int left = Read16(bytes, at + 1), top = Read16(bytes, at + 3);
  const int imageWidth = Read16(bytes, at + 5), imageHeight = Read16(bytes, at + 7);
  const unsigned char flags = bytes[at + 9];
  at += 10;
  if (flags & 0x80) {
    palette = bytes.subspan(at, ColourTableSize(flags));
    at += palette.size();
  }
  const int minimumCodeSize = bytes[at++];
  std::vector<unsigned char> data;
  for (size_t length; (length = bytes[at++]) != 0; at += length)
    data.insert(data.end(), bytes.begin() + at, bytes.begin() + at + length);
  unsigned char* bits = nullptr;
  UniqueBitmap bitmap = CreateDib(width, height, &bits);
  if (!bitmap) return nullptr;
  const size_t stride = DibStride(width);
  // The pixels come row after row; each row's place on the screen is worked out once.
  int row = 0, column = 0;
  unsigned char* line = nullptr;
  auto startRow = [&] {
    const int y = top + (flags & 0x40 ? InterlacedRow(row, imageHeight) : row);
    line = y < height ? bits + y * stride : nullptr;
  };
  startRow();
  auto put = [&](unsigned char index) {
    const int x = left + column;
    if (line && x < width && index != transparent && 3 * size_t(index) + 2 < palette.size()) {
      unsigned char* pixel = line + 3 * x;
      pixel[0] = palette[3 * index + 2];
      pixel[1] = palette[3 * index + 1];
      pixel[2] = palette[3 * index];
    }
    if (++column == imageWidth) {
      column = 0;
      if (++row < imageHeight) startRow();
    }
  };
  if (!DecodeLzw(data, minimumCodeSize, size_t(imageWidth) * imageHeight, put)) return nullptr;
  return bitmap.release();
}

// A BMP's header must be sound and its pixel rows must lie inside the bytes.
bool BmpIsWhole(Bytes bytes) {
  constexpr size_t kInfoAt = sizeof(BITMAPFILEHEADER);
  if (bytes.size() < kInfoAt + sizeof(BITMAPINFOHEADER)) return false;
  const uint32_t pixelsAt = Read32(bytes, 10);
  const uint32_t headerSize = Read32(bytes, kInfoAt);
  const int32_t width = int32_t(Read32(bytes, kInfoAt + 4));
  const int32_t height = int32_t(Read32(bytes, kInfoAt + 8));
  const uint16_t planes = Read16(bytes, kInfoAt + 12);
  const uint16_t bitCount = Read16(bytes, kInfoAt + 14);
  const uint32_t compression = Read32(bytes, kInfoAt + 16);
  const uint32_t imageSize = Read32(bytes, kInfoAt + 20);
  const bool knownDepth = bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 ||
                          bitCount == 24 || bitCount == 32;
  if (headerSize < sizeof(BITMAPINFOHEADER) || width <= 0 || height == 0 || height == INT32_MIN ||
      planes != 1 || !knownDepth)
    return false;
  uint64_t pixelBytes = 0;
  if (compression == BI_RGB || compression == BI_BITFIELDS)
    pixelBytes = (uint64_t(width) * bitCount + 31) / 32 * 4 * uint64_t(std::abs(int64_t(height)));
  else if ((compression == BI_RLE8 && bitCount == 8) || (compression == BI_RLE4 && bitCount == 4))
    pixelBytes = imageSize;
  return pixelsAt >= kInfoAt + headerSize && pixelBytes > 0 &&
         pixelsAt + pixelBytes <= bytes.size();
}

// GDI turns any depth, palette, row order or run-length coding of a whole BMP into the DIB.
HBITMAP DecodeBmp(Bytes bytes) {
  const auto* info = reinterpret_cast<const BITMAPINFO*>(bytes.data() + sizeof(BITMAPFILEHEADER));
  const int width = info->bmiHeader.biWidth, height = std::abs(info->bmiHeader.biHeight);
  UniqueBitmap bitmap = CreateDib(width, height, nullptr);
  UniqueDc dc{CreateCompatibleDC(nullptr)};
  if (!bitmap || !dc ||
      SetDIBits(dc.get(), bitmap.get(), 0, UINT(height), bytes.data() + Read32(bytes, 10), info,
                DIB_RGB_COLORS) != height)
    return nullptr;
  return bitmap.release();
}

struct IconImage {
  Bytes bytes;
  int width;
  int height;
};

int IconSide(unsigned char stored) {
  return stored == 0 ? 256 : stored;
}

// The image nearest to the wanted width, the larger one on a tie; a size of 0 asks for the
// largest. Empty when the directory or an image lies outside the bytes.
IconImage ChooseIconImage(Bytes bytes, int size) {
  constexpr size_t kEntrySize = 16;
  if (bytes.size() < 6 || FormatOf(bytes) != Format::Ico) return {};
  const size_t count = Read16(bytes, 4);
  if (count == 0 || 6 + count * kEntrySize > bytes.size()) return {};
  IconImage best{};
  for (size_t i = 0; i < count; ++i) {
    const size_t entry = 6 + i * kEntrySize;
    const uint32_t length = Read32(bytes, entry + 8);
    const uint32_t offset = Read32(bytes, entry + 12);
    if (length == 0 || offset > bytes.size() || length > bytes.size() - offset) return {};
    const IconImage image{bytes.subspan(offset, length), IconSide(bytes[entry]),
                          IconSide(bytes[entry + 1])};
    const auto distance = [size](const IconImage& x) {
      return size == 0 ? -x.width : std::abs(x.width - size);
    };
    if (best.bytes.empty() || distance(image) < distance(best) ||
        (distance(image) == distance(best) && image.width > best.width))
      best = image;
  }
  return best;
}

HICON CreateIconFrom(const IconImage& image, int width, int height) {
  if (image.bytes.empty() || image.bytes.size() > MAXDWORD) return nullptr;
  // The function only reads the image; its parameter is not const for historical reasons.
  return CreateIconFromResourceEx(const_cast<PBYTE>(image.bytes.data()), DWORD(image.bytes.size()),
                                  TRUE, 0x00030000, width, height, LR_DEFAULTCOLOR);
}

HBITMAP DecodeIco(Bytes bytes) {
  const IconImage image = ChooseIconImage(bytes, 0);
  UniqueIcon icon{CreateIconFrom(image, image.width, image.height)};
  if (!icon) return nullptr;
  UniqueBitmap bitmap = CreateDib(image.width, image.height, nullptr);
  UniqueDc dc{CreateCompatibleDC(nullptr)};
  if (!bitmap || !dc) return nullptr;
  Selection selected{dc.get(), bitmap.get()};
  if (!PatBlt(dc.get(), 0, 0, image.width, image.height, BLACKNESS) ||
      !DrawIconEx(dc.get(), 0, 0, icon.get(), image.width, image.height, 0, nullptr, DI_NORMAL))
    return nullptr;
  return bitmap.release();
}

}  // namespace

HBITMAP DecodePicture(std::span<const unsigned char> bytes) {
  switch (FormatOf(bytes)) {
    case Format::Jpeg:
      return DecodeJpeg(bytes);
    case Format::Gif:
      return GifIsWhole(bytes) ? DecodeGif(bytes) : nullptr;
    case Format::Bmp:
      return BmpIsWhole(bytes) ? DecodeBmp(bytes) : nullptr;
    case Format::Ico:
      return DecodeIco(bytes);
    case Format::Unknown:
      break;
  }
  return nullptr;
}

HICON DecodeIcon(std::span<const unsigned char> bytes, int size) {
  if (size <= 0) return nullptr;
  return CreateIconFrom(ChooseIconImage(bytes, size), size, size);
}

std::span<const unsigned char> PictureBytes(Picture picture) {
  static_assert(IDR_PICTURE_P13 - IDR_PICTURE_P1 == int(Picture::P13) - int(Picture::P1));
  if (picture < Picture::P1 || picture > Picture::P13) return {};
  const int id = IDR_PICTURE_P1 + (int(picture) - int(Picture::P1));
  HMODULE module = GetModuleHandle(nullptr);
  HRSRC found = FindResource(module, MAKEINTRESOURCE(id), RT_RCDATA);
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return {};
  return {static_cast<const unsigned char*>(data), SizeofResource(module, found)};
}

HBITMAP LoadPictureBitmap(Picture picture) {
  return DecodePicture(PictureBytes(picture));
}

HICON LoadPictureIcon(Picture picture, int size) {
  return DecodeIcon(PictureBytes(picture), size);
}
