// Decoding of the pictures: JPEG through libjpeg, GIF and BMP through OLE's picture loader, ICO
// through the icon functions of user32; every result is a 24-bit top-down DIB section.
#include "ui/pictures.h"

#include <objbase.h>
#include <ole2.h>
#include <olectl.h>

#include <algorithm>
#include <climits>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <type_traits>

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

struct GlobalDeleter {
  void operator()(HGLOBAL memory) const { GlobalFree(memory); }
};
using UniqueGlobal = std::unique_ptr<void, GlobalDeleter>;

struct ComReleaser {
  void operator()(IUnknown* object) const { object->Release(); }
};
template <class T>
using ComRef = std::unique_ptr<T, ComReleaser>;

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

// COM is initialised where the program starts, but OLE's loader creates COM objects for some
// formats, so a thread that has not initialised it gets a counted initialisation for the call.
class ComScope {
 public:
  ComScope() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComScope() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  HRESULT result_;
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

// OLE's loader takes what it can from a file cut short, so the structure is checked first: a GIF
// must hold an image and reach its trailer with every block inside the bytes.
bool GifIsWhole(Bytes bytes) {
  if (bytes.size() < 13) return false;
  size_t at = 13;
  if (bytes[10] & 0x80) at += size_t(3) << ((bytes[10] & 7) + 1);
  auto skipSubBlocks = [&] {
    while (at < bytes.size()) {
      const size_t length = bytes[at++];
      if (length == 0) return true;
      at += length;
    }
    return false;
  };
  bool hasImage = false;
  while (at < bytes.size()) {
    switch (bytes[at]) {
      case 0x3B:
        return hasImage;
      case 0x21:
        at += 2;
        if (!skipSubBlocks()) return false;
        break;
      case 0x2C: {
        if (at + 10 > bytes.size()) return false;
        const unsigned char flags = bytes[at + 9];
        at += 10;
        if (flags & 0x80) at += size_t(3) << ((flags & 7) + 1);
        if (at >= bytes.size() || bytes[at] < 2 || bytes[at] > 8) return false;
        ++at;
        if (!skipSubBlocks()) return false;
        hasImage = true;
        break;
      }
      default:
        return false;
    }
  }
  return false;
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

// Copies any bitmap into a fresh 24-bit DIB section of the same size.
HBITMAP CopyToDib(HBITMAP source) {
  BITMAP shape{};
  if (!GetObjectA(source, sizeof(shape), &shape)) return nullptr;
  unsigned char* bits = nullptr;
  UniqueBitmap copy = CreateDib(shape.bmWidth, shape.bmHeight, &bits);
  UniqueDc dc{CreateCompatibleDC(nullptr)};
  if (!copy || !dc) return nullptr;
  BITMAPINFO info = DibInfo(shape.bmWidth, shape.bmHeight);
  if (GetDIBits(dc.get(), source, 0, UINT(shape.bmHeight), bits, &info, DIB_RGB_COLORS) !=
      shape.bmHeight)
    return nullptr;
  return copy.release();
}

// OLE's loader is the system's own decoder for these formats and reads them from a stream in
// memory, so no second image library is needed beside libjpeg.
HBITMAP DecodeWithOle(Bytes bytes) {
  if (bytes.size() > LONG_MAX) return nullptr;
  ComScope com;
  UniqueGlobal memory{GlobalAlloc(GMEM_MOVEABLE, bytes.size())};
  if (!memory) return nullptr;
  void* target = GlobalLock(memory.get());
  if (!target) return nullptr;
  std::memcpy(target, bytes.data(), bytes.size());
  GlobalUnlock(memory.get());

  IStream* rawStream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(memory.get(), FALSE, &rawStream))) return nullptr;
  ComRef<IStream> stream{rawStream};
  IPicture* rawPicture = nullptr;
  if (FAILED(OleLoadPicture(stream.get(), LONG(bytes.size()), FALSE, IID_IPicture,
                            reinterpret_cast<void**>(&rawPicture))))
    return nullptr;
  ComRef<IPicture> picture{rawPicture};
  SHORT type = PICTYPE_UNINITIALIZED;
  OLE_HANDLE handle = 0;
  if (FAILED(picture->get_Type(&type)) || type != PICTYPE_BITMAP ||
      FAILED(picture->get_Handle(&handle)) || !handle)
    return nullptr;
  return CopyToDib(reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle)));
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
      return GifIsWhole(bytes) ? DecodeWithOle(bytes) : nullptr;
    case Format::Bmp:
      return BmpIsWhole(bytes) ? DecodeWithOle(bytes) : nullptr;
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
