// The skinned window as it appears on screen, read back pixel by pixel from the desktop: the
// tiled background, the picture buttons, the title label, the status line and the text area.
#include <gtest/gtest.h>

#include <vector>

#include "driver/ui_driver.h"
#include "ui/pictures.h"

using namespace driver;

namespace {

// A copy of a screen rectangle, 32 bits per pixel, top-down.
class Capture {
 public:
  explicit Capture(const RECT& area)
      : left_(area.left),
        top_(area.top),
        width_(area.right - area.left),
        height_(area.bottom - area.top) {
    pixels_.resize(size_t(width_) * height_);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width_, height_, screen, left_, top_, SRCCOPY);
    GdiFlush();
    memcpy(pixels_.data(), bits, pixels_.size() * 4);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
  }

  COLORREF At(int x, int y) const {
    DWORD bgra = pixels_[size_t(y) * width_ + x];
    return RGB((bgra >> 16) & 0xFF, (bgra >> 8) & 0xFF, bgra & 0xFF);
  }

  int Count(const RECT& area, COLORREF colour) const {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
      for (int x = area.left; x < area.right; ++x) count += At(x, y) == colour;
    return count;
  }

 private:
  int left_, top_, width_, height_;
  std::vector<DWORD> pixels_;
};

COLORREF PicturePixel(Picture picture, int x, int y) {
  HBITMAP bitmap = LoadPictureBitmap(picture);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  COLORREF colour = GetPixel(dc, x, y);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(bitmap);
  return colour;
}

class Skin : public testing::Test {
 protected:
  void SetUp() override {
    main_ = program_.MainWindow();
    ASSERT_NE(main_, nullptr);
    ASSERT_TRUE(BringToForeground(main_));
    MoveMouse(5, 5);  // away from the buttons, so they show their normal pictures
    // The clock's first line arrives about 100 ms after start.
    ASSERT_TRUE(
        WaitUntil([&] { return !WindowText(program_.Control(ControlId::透明标签1)).empty(); }));
    Sleep(300);
    origin_ = {WindowRect(main_).left, WindowRect(main_).top};
  }

  Capture Window() const {
    return Capture({origin_.x, origin_.y, origin_.x + 660, origin_.y + 483});
  }

  Program program_;
  HWND main_ = nullptr;
  POINT origin_{};
};

TEST_F(Skin, BackgroundIsTiledAndItsSecondRowShowsTheTopOfThePicture) {
  Capture window = Window();
  // Left of the status line, below the text area, the window's own background shows: rows 460 on
  // are the second row of tiles, which starts again with the picture's top rows.
  for (int y : {464, 470, 480})
    for (int x : {2, 9, 14})
      EXPECT_EQ(window.At(x, y), PicturePixel(Picture::P1, x, y - 460)) << x << "," << y;
  EXPECT_EQ(window.At(400, 2), PicturePixel(Picture::P1, 400, 2));
}

TEST_F(Skin, PictureButtonsShowTheirPicturesWithBlackWhereThePictureEnds) {
  Capture window = Window();
  for (int y = 0; y < 16; ++y) EXPECT_EQ(window.At(536 + 15, y), RGB(0, 0, 0)) << "row " << y;
  EXPECT_EQ(window.At(536 + 3, 3), PicturePixel(Picture::P5, 3, 3));
  EXPECT_EQ(window.At(619 + 20, 8), PicturePixel(Picture::P7, 20, 8));
  EXPECT_EQ(window.At(564 + 14, 8), PicturePixel(Picture::P12, 14, 8));
  EXPECT_EQ(window.At(593 + 13, 8), PicturePixel(Picture::P11, 13, 8));
}

TEST_F(Skin, MouseOverAPictureButtonShowsItsMouseOverPicture) {
  MoveMouse(origin_.x + 619 + 20, origin_.y + 8);
  Sleep(300);
  EXPECT_EQ(Window().At(619 + 20, 8), PicturePixel(Picture::P8, 20, 8));
  MoveMouse(5, 5);
  Sleep(300);
  EXPECT_EQ(Window().At(619 + 20, 8), PicturePixel(Picture::P7, 20, 8));
}

// The tooltip windows of a process, shown or not.
std::vector<HWND> TooltipsOf(DWORD process) {
  struct Search {
    DWORD process;
    std::vector<HWND> found;
  } search{process, {}};
  struct Collect {
    static BOOL CALLBACK Window(HWND hwnd, LPARAM data) {
      auto& search = *reinterpret_cast<Search*>(data);
      DWORD owner = 0;
      GetWindowThreadProcessId(hwnd, &owner);
      if (owner == search.process && ClassName(hwnd) == "tooltips_class32")
        search.found.push_back(hwnd);
      return TRUE;
    }
  };
  EnumWindows(Collect::Window, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The tooltip control is made only when the mouse first comes over a button, and then shows.
TEST_F(Skin, PointingAtAnImageButtonShowsItsTooltip) {
  auto tooltips = [&] { return TooltipsOf(program_.Id()); };
  EXPECT_TRUE(tooltips().empty());
  POINT centre = Centre(program_.Control(ControlId::超级按钮2));
  MoveMouse(centre.x, centre.y);
  MoveMouse(centre.x + 1, centre.y);
  EXPECT_TRUE(WaitUntil([&] {
    auto found = tooltips();
    return found.size() == 1 && IsWindowVisible(found[0]);
  }));
  MoveMouse(5, 5);
}

TEST_F(Skin, TitleLabelDrawsItsCaptionOverItsTiledPicture) {
  Capture window = Window();
  EXPECT_GT(window.Count({40, 2, 160, 22}, RGB(236, 236, 236)), 20);
  EXPECT_EQ(window.At(33 + 1, 1), PicturePixel(Picture::P3, 1, 1));
}

TEST_F(Skin, StatusLineDrawsGreenTextOverTheBackground) {
  Capture window = Window();
  EXPECT_GT(window.Count({16, 462, 248, 483}, RGB(0, 255, 0)), 20) << "the clock line";
  EXPECT_GT(window.Count({256, 462, 660, 483}, RGB(0, 255, 0)), 20) << "the address line";
}

TEST_F(Skin, TextAreaShowsGreenTextOnBlack) {
  HWND text = program_.Control(ControlId::编辑框1);
  SendMessageA(text, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("WWWW 中文 WWWW"));
  Sleep(300);
  Capture window = Window();
  RECT firstLine{4, 28, 300, 50};
  EXPECT_GT(window.Count(firstLine, RGB(0, 255, 0)), 50);
  EXPECT_EQ(window.At(330, 250), RGB(0, 0, 0));
}

}  // namespace
