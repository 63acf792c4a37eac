// The program's own resources, as the frame, the library and the sound player find them.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "shell/res/resource.h"

namespace {

HINSTANCE Self() {
  return GetModuleHandleW(nullptr);
}

std::vector<BYTE> Resource(const wchar_t* name, const wchar_t* type) {
  HRSRC found = FindResourceW(Self(), name, type);
  if (!found) return {};
  const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(Self(), found)));
  return std::vector<BYTE>(data, data + SizeofResource(Self(), found));
}

uint32_t Dword(const std::vector<BYTE>& d, size_t at) {
  uint32_t v = 0;
  std::memcpy(&v, d.data() + at, 4);
  return v;
}
uint16_t Word(const std::vector<BYTE>& d, size_t at) {
  uint16_t v = 0;
  std::memcpy(&v, d.data() + at, 2);
  return v;
}

TEST(Resources, WavesAreMonoElevenKilohertzEightBitOfTheirLength) {
  struct Case {
    const wchar_t* name;
    uint32_t samples;
  } cases[] = {{L"#110", 7136}, {L"#112", 2472}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.samples);
    const auto wave = Resource(c.name, L"WAVE");
    ASSERT_EQ(wave.size(), 44u + c.samples);
    EXPECT_EQ(std::memcmp(wave.data(), "RIFF", 4), 0);
    EXPECT_EQ(Dword(wave, 4), wave.size() - 8);
    EXPECT_EQ(std::memcmp(wave.data() + 8, "WAVEfmt ", 8), 0);
    EXPECT_EQ(Word(wave, 20), 1);  // PCM
    EXPECT_EQ(Word(wave, 22), 1);  // mono
    EXPECT_EQ(Dword(wave, 24), 11025u);
    EXPECT_EQ(Word(wave, 34), 8);
    EXPECT_EQ(std::memcmp(wave.data() + 36, "data", 4), 0);
    EXPECT_EQ(Dword(wave, 40), c.samples);
    // Audible, and not clipped.
    BYTE low = 255, high = 0;
    for (size_t i = 44; i < wave.size(); ++i) {
      low = std::min(low, wave[i]);
      high = std::max(high, wave[i]);
    }
    EXPECT_LT(low, 100);
    EXPECT_GT(high, 156);
    EXPECT_GT(low, 0);
    EXPECT_LT(high, 255);
  }
}

TEST(Resources, MenuBarWordsAndMenu) {
  const auto bar = Resource(MAKEINTRESOURCEW(IDR_MENUBAR), RT_RCDATA);
  ASSERT_EQ(bar.size(), 32u);
  const uint16_t expected[] = {102, 2, 0xFFFE, 40001, 4,    0x18, 40003, 0,
                               0,   0, 40008,  4,     0x10, 0,    40008, 1};
  for (int i = 0; i < 16; ++i) EXPECT_EQ(Word(bar, 2 * i), expected[i]) << "word " << i;

  HMENU menu = LoadMenuW(Self(), MAKEINTRESOURCEW(IDR_MENUBAR));
  ASSERT_NE(menu, nullptr);
  wchar_t text[32] = {};
  GetMenuStringW(menu, 0, text, 32, MF_BYPOSITION);
  EXPECT_STREQ(text, L"Extras");
  HMENU extras = GetSubMenu(menu, 0);
  ASSERT_NE(extras, nullptr);
  struct Item {
    UINT id;
    const wchar_t* text;
  } items[] = {{40004, L"About"}, {40005, L"Options"},  {40009, L"Scores"},
               {0, L""},          {40007, L"New game"}, {108, L"Exit"}};
  ASSERT_EQ(GetMenuItemCount(extras), 6);
  for (int i = 0; i < 6; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(GetMenuItemID(extras, i), items[i].id);
    text[0] = 0;
    GetMenuStringW(extras, i, text, 32, MF_BYPOSITION);
    EXPECT_STREQ(text, items[i].text);
  }
  EXPECT_TRUE(GetMenuState(extras, 3, MF_BYPOSITION) & MF_SEPARATOR);
  DestroyMenu(menu);
}

TEST(Resources, Strings) {
  struct Case {
    UINT id;
    const wchar_t* text;
  } cases[] = {
      {108, L"Exit"},
      {109, L"About Talvenor"},
      {110, L"Talvenor. Version 1.2"},
      {111, L"Some components of this application are missing. Please reinstall application."},
      {40003, L"Extras"},
      {40004, L"About"},
      {40005, L"Options"},
      {40006, L"Talvenor"},
      {40007, L"New game"},
      {40008, L"Pause"},
      {40009, L"Scores"},
      {40014, L"Game over!"},
  };
  for (const auto& c : cases) {
    wchar_t text[128] = {};
    LoadStringW(Self(), c.id, text, 128);
    EXPECT_STREQ(text, c.text) << c.id;
  }
}

TEST(Resources, PauseBitmapIsTwoBlueBarsOnGrey) {
  const auto bitmap = Resource(MAKEINTRESOURCEW(IDB_PAUSE), RT_BITMAP);
  ASSERT_GE(bitmap.size(), 40u);
  EXPECT_EQ(Dword(bitmap, 4), 16u);  // width
  EXPECT_EQ(Dword(bitmap, 8), 16u);  // height, bottom-up
  EXPECT_EQ(Word(bitmap, 14), 4);    // 16 colours
  HBITMAP loaded = LoadBitmapW(Self(), MAKEINTRESOURCEW(IDB_PAUSE));
  ASSERT_NE(loaded, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, loaded);
  int wrong = 0;
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      const bool bar = y >= 3 && y <= 12 && ((x >= 4 && x <= 6) || (x >= 9 && x <= 11));
      wrong += GetPixel(dc, x, y) != (bar ? RGB(0, 0, 255) : RGB(192, 192, 192));
    }
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(loaded);
  EXPECT_EQ(wrong, 0);
}

// The image of that size as the icon's directory in the program lists it; empty when absent.
std::vector<BYTE> IconImage(int size) {
  const auto directory = Resource(MAKEINTRESOURCEW(IDI_TALVEX), RT_GROUP_ICON);
  constexpr size_t kHead = 6, kEntry = 14;
  if (directory.size() < kHead) return {};
  const int count = Word(directory, 4);
  for (int i = 0; i < count && kHead + (i + 1) * kEntry <= directory.size(); ++i) {
    const size_t at = kHead + i * kEntry;
    const int side = directory[at] == 0 ? 256 : directory[at];  // 256 is listed as 0
    if (side == size) return Resource(MAKEINTRESOURCEW(Word(directory, at + 12)), RT_ICON);
  }
  return {};
}

// A pixel of an icon image (top row first): its colour, and whether it is shown at all.
struct IconPixel {
  COLORREF colour;
  bool opaque;
};

IconPixel PixelAt(const std::vector<BYTE>& image, int size, int x, int y) {
  const int bits = Word(image, 14);
  const int row = size - 1 - y;  // stored bottom-up
  if (bits == 32) {
    const size_t at = 40 + (static_cast<size_t>(row) * size + x) * 4;
    return {RGB(image[at + 2], image[at + 1], image[at]), image[at + 3] == 255};
  }
  const size_t palette = 40;
  const size_t xorRow = (static_cast<size_t>(size) * 4 + 31) / 32 * 4;
  const size_t maskRow = (static_cast<size_t>(size) + 31) / 32 * 4;
  const size_t pixels = palette + 16 * 4;
  const BYTE pair = image[pixels + row * xorRow + x / 2];
  const size_t colour = palette + 4 * (x % 2 ? pair & 0x0F : pair >> 4);
  const BYTE mask = image[pixels + size * xorRow + row * maskRow + x / 8];
  return {RGB(image[colour + 2], image[colour + 1], image[colour]),
          (mask & (0x80 >> (x % 8))) == 0};
}

TEST(Resources, IconHasTheHandheldsAndTheDesktopsSizesOfOnePicture) {
  const auto reference = IconImage(32);
  ASSERT_GE(reference.size(), 40u);
  const struct {
    int size;
    int bits;
  } cases[] = {{32, 4}, {16, 4}, {24, 32}, {48, 32}, {64, 32}, {256, 32}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size);
    const auto image = IconImage(c.size);
    ASSERT_GE(image.size(), 40u);
    EXPECT_EQ(Dword(image, 4), static_cast<uint32_t>(c.size));
    EXPECT_EQ(Dword(image, 8), static_cast<uint32_t>(2 * c.size));  // image and mask
    ASSERT_EQ(Word(image, 14), c.bits);
    const size_t rowBytes = (static_cast<size_t>(c.size) * c.bits + 31) / 32 * 4;
    ASSERT_GE(image.size(), 40 + (c.bits == 4 ? 64 : 0) + rowBytes * c.size);
    // The middle of each of the picture's 4 x 4 cells shows what the 32-pixel image shows there.
    for (int cy = 0; cy < 4; ++cy) {
      for (int cx = 0; cx < 4; ++cx) {
        const IconPixel want = PixelAt(reference, 32, cx * 8 + 4, cy * 8 + 4);
        const IconPixel got =
            PixelAt(image, c.size, (2 * cx + 1) * c.size / 8, (2 * cy + 1) * c.size / 8);
        EXPECT_EQ(got.opaque, want.opaque) << cx << "," << cy;
        if (want.opaque) {
          EXPECT_EQ(got.colour, want.colour) << cx << "," << cy;
        }
      }
    }
  }
}

TEST(Resources, OptionsDialogTemplate) {
  // An extended template: version 1, signature 0xFFFF, help id, extended style, style, ...
  const auto dialog = Resource(MAKEINTRESOURCEW(IDD_OPTIONS), RT_DIALOG);
  ASSERT_GE(dialog.size(), 26u);
  EXPECT_EQ(Word(dialog, 0), 1);
  EXPECT_EQ(Word(dialog, 2), 0xFFFF);
  EXPECT_EQ(Dword(dialog, 12), static_cast<uint32_t>(WS_POPUP | WS_CAPTION | WS_SYSMENU |
                                                     DS_MODALFRAME | DS_SHELLFONT));
  EXPECT_EQ(Word(dialog, 16), 6);    // controls
  EXPECT_EQ(Word(dialog, 22), 168);  // cx
  EXPECT_EQ(Word(dialog, 24), 150);  // cy
}

}  // namespace
