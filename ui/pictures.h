// The window's pictures P1 to P13, built into the program as resources, and their decoding.
#pragma once
#include <windows.h>

enum class Picture { None, P1, P2, P3, P4, P5, P6, P7, P8, P9, P10, P11, P12, P13 };

// A decoded picture as a device-independent bitmap; null when the picture is absent or cannot be
// decoded (the caller then draws its background colour in its place).
HBITMAP LoadPictureBitmap(Picture picture);

// An ICO picture as an icon of the given size; null when it is absent or cannot be decoded.
HICON LoadPictureIcon(Picture picture, int size);
