// Resource identifiers of the pictures P1 to P13 (RCDATA, the files' bytes as they are) and of
// the program's icon. Shared by the resource script and the code, so only plain #defines.
#pragma once

#define IDI_QUORVALE 1

#define IDR_PICTURE_P1 101
#define IDR_PICTURE_P2 102
#define IDR_PICTURE_P3 103
#define IDR_PICTURE_P4 104
#define IDR_PICTURE_P5 105
#define IDR_PICTURE_P6 106
#define IDR_PICTURE_P7 107
#define IDR_PICTURE_P8 108
#define IDR_PICTURE_P9 109
#define IDR_PICTURE_P10 110
#define IDR_PICTURE_P11 111
#define IDR_PICTURE_P12 112
#define IDR_PICTURE_P13 113
