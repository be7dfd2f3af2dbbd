// The window's pictures P1 to P13, built into the program as resources, and their decoding.
#pragma once
#include <windows.h>

#include <span>

enum class Picture { None, P1, P2, P3, P4, P5, P6, P7, P8, P9, P10, P11, P12, P13 };

// A decoded picture as a device-independent bitmap; null when the picture is absent or cannot be
// decoded (the caller then draws its background colour in its place).
HBITMAP LoadPictureBitmap(Picture picture);

// An ICO picture as an icon of the given size; null when it is absent or cannot be decoded.
HICON LoadPictureIcon(Picture picture, int size);

// The bytes of a picture as built into the program; empty for Picture::None or a missing one.
std::span<const unsigned char> PictureBytes(Picture picture);

// Decodes a GIF, BMP, JPEG or ICO file held in memory, its format told by its first bytes, into a
// 24-bit top-down DIB section at the picture's own size; an icon is drawn over black. Null when
// the bytes are empty, of another format, cut short or damaged.
HBITMAP DecodePicture(std::span<const unsigned char> bytes);

// The image of an ICO file held in memory nearest to the size, as an icon of that size; null
// when the bytes are not a whole ICO file or its image cannot be decoded.
HICON DecodeIcon(std::span<const unsigned char> bytes, int size);
