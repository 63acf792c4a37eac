// The painter's objects and its bevelled cell, drawn into memory and read back pixel by pixel.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <vector>

#include "pixels.h"
#include "tests/support/gdi_objects.h"
#include "shell/res/resource.h"
#include "views/block_painter.h"

namespace {

const COLORREF kSentinel = RGB(1, 2, 3);

// Every pixel of the cell and of a one-pixel ring around it; returns the number of mismatches
// and reports the first few.
int CheckCell(const Dib& dib, const RECT& cell, COLORREF light, COLORREF dark, COLORREF fill) {
  int bad = 0;
  for (int py = cell.top - 1; py <= cell.bottom + 1; ++py) {
    for (int px = cell.left - 1; px <= cell.right + 1; ++px) {
      const CellPart part = PartOf(cell, px, py);
      const COLORREF want = part == CellPart::Light  ? light
                            : part == CellPart::Dark ? dark
                            : part == CellPart::Fill ? fill
                                                     : kSentinel;
      const COLORREF got = dib.At(px, py);
      if (got != want && ++bad <= 5) {
        ADD_FAILURE() << "pixel (" << px << ", " << py << ") " << PartName(part) << ": got "
                      << std::hex << got << " want " << want;
      }
    }
  }
  return bad;
}

class BlockPainterTest : public ::testing::Test {
 protected:
  void SetUp() override { painter.Create(GetModuleHandleW(nullptr), IDB_TEXTURE); }
  BlockPainter painter;
};

TEST_F(BlockPainterTest, CellHasLightAndDarkBevelsAndFillInEveryColour) {
  Dib dib(200, 100);
  ASSERT_TRUE(dib.Ok());
  for (int i = 0; i < BlockPainter::kColours; ++i) {
    SCOPED_TRACE(i);
    dib.Fill(kSentinel);
    const HGDIOBJ penBefore = GetCurrentObject(dib.dc, OBJ_PEN);
    const HGDIOBJ brushBefore = GetCurrentObject(dib.dc, OBJ_BRUSH);
    RECT scratch = {100, 50, 119, 69};
    BlockPainter::DrawCell(dib.dc, scratch, painter.lightPens[i], painter.darkPens[i],
                           painter.fillBrushes[i]);
    EXPECT_EQ(
        CheckCell(dib, RECT{100, 50, 119, 69}, kShades[i].light, kShades[i].dark, kShades[i].fill),
        0);
    // The named corners of the 20-pixel cell.
    EXPECT_EQ(dib.At(101, 51), kShades[i].light);
    EXPECT_EQ(dib.At(118, 68), kShades[i].dark);
    EXPECT_EQ(dib.At(102, 52), kShades[i].fill);
    EXPECT_EQ(dib.At(117, 67), kShades[i].fill);
    EXPECT_EQ(GetCurrentObject(dib.dc, OBJ_PEN), penBefore);
    EXPECT_EQ(GetCurrentObject(dib.dc, OBJ_BRUSH), brushBefore);
  }
}

TEST_F(BlockPainterTest, FlashingRowKeepsEachCellsOwnBevels) {
  Dib dib(7 * 14 + 4, 20);
  ASSERT_TRUE(dib.Ok());
  dib.Fill(kSentinel);
  const COLORREF flash = GetSysColor(COLOR_INFOBK);
  for (int i = 0; i < BlockPainter::kColours; ++i) {
    RECT scratch = {2 + 14 * i, 2, 2 + 14 * i + 13, 15};
    BlockPainter::DrawCell(dib.dc, scratch, painter.lightPens[i], painter.darkPens[i],
                           painter.flashBrush);
  }
  // Neighbours touch, so check each cell's own pixels only.
  for (int i = 0; i < BlockPainter::kColours; ++i) {
    SCOPED_TRACE(i);
    const RECT cell = {2 + 14 * i, 2, 2 + 14 * i + 13, 15};
    for (int py = cell.top; py <= cell.bottom; ++py) {
      for (int px = cell.left; px <= cell.right; ++px) {
        const CellPart part = PartOf(cell, px, py);
        const COLORREF want = part == CellPart::Light  ? kShades[i].light
                              : part == CellPart::Dark ? kShades[i].dark
                                                       : flash;
        ASSERT_EQ(dib.At(px, py), want) << px << ", " << py << " " << PartName(part);
      }
    }
  }
}

TEST_F(BlockPainterTest, MissingObjectsDrawNothing) {
  Dib dib(40, 40);
  ASSERT_TRUE(dib.Ok());
  dib.Fill(kSentinel);
  RECT scratch = {5, 5, 24, 24};
  BlockPainter::DrawCell(dib.dc, scratch, nullptr, nullptr, nullptr);
  for (int py = 0; py < 40; ++py) {
    for (int px = 0; px < 40; ++px) ASSERT_EQ(dib.At(px, py), kSentinel) << px << ", " << py;
  }
}

std::vector<HGDIOBJ> Handles(const BlockPainter& p) {
  std::vector<HGDIOBJ> all;
  for (int i = 0; i < BlockPainter::kColours; ++i) {
    all.push_back(p.lightPens[i]);
    all.push_back(p.darkPens[i]);
    all.push_back(p.fillBrushes[i]);
  }
  for (HGDIOBJ h : {static_cast<HGDIOBJ>(p.framePen), static_cast<HGDIOBJ>(p.flashBrush),
                    static_cast<HGDIOBJ>(p.patternBrush), static_cast<HGDIOBJ>(p.patternBitmap)}) {
    all.push_back(h);
  }
  return all;
}

TEST(BlockPainterObjects, CreatedOnceAndDestroyedOnceEvenWhenDestroyedTwice) {
  const int baseline = OwnGdiObjects();
  ASSERT_GE(baseline, 0);
  BlockPainter painter;
  painter.Create(GetModuleHandleW(nullptr), IDB_TEXTURE);
  const std::vector<HGDIOBJ> created = Handles(painter);
  for (HGDIOBJ h : created) ASSERT_NE(GetObjectType(h), 0u);

  LOGPEN frame = {};
  ASSERT_EQ(GetObjectW(painter.framePen, sizeof frame, &frame), static_cast<int>(sizeof frame));
  EXPECT_EQ(frame.lopnColor, GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(frame.lopnStyle, static_cast<UINT>(PS_SOLID));
  LOGBRUSH flash = {};
  ASSERT_NE(GetObjectW(painter.flashBrush, sizeof flash, &flash), 0);
  EXPECT_EQ(flash.lbColor, GetSysColor(COLOR_INFOBK));
  BITMAP texture = {};
  ASSERT_NE(GetObjectW(painter.patternBitmap, sizeof texture, &texture), 0);
  EXPECT_EQ(texture.bmWidth, 36);
  EXPECT_EQ(texture.bmHeight, 45);
  EXPECT_EQ(OwnGdiObjects(), baseline + static_cast<int>(created.size()));

  // Creating again replaces the set without leaking the first one.
  painter.Create(GetModuleHandleW(nullptr), IDB_TEXTURE);
  for (HGDIOBJ h : created) EXPECT_EQ(GetObjectType(h), 0u);
  const std::vector<HGDIOBJ> recreated = Handles(painter);
  for (HGDIOBJ h : recreated) ASSERT_NE(GetObjectType(h), 0u);

  painter.Destroy();
  for (HGDIOBJ h : Handles(painter)) EXPECT_EQ(h, nullptr);
  for (HGDIOBJ h : recreated) EXPECT_EQ(GetObjectType(h), 0u);
  EXPECT_EQ(OwnGdiObjects(), baseline);

  // Objects made since must survive a second Destroy.
  HPEN bystander = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
  ASSERT_NE(bystander, nullptr);
  painter.Destroy();
  for (HGDIOBJ h : Handles(painter)) EXPECT_EQ(h, nullptr);
  EXPECT_EQ(GetObjectType(bystander), static_cast<DWORD>(OBJ_PEN));
  DeleteObject(bystander);
}

// A texture that is not where the caller says: the well goes without its pattern, everything
// else is made, and nothing leaks.
TEST(BlockPainterObjects, MissingTextureLeavesOnlyThePatternNull) {
  const struct {
    const char* name;
    HMODULE module;
    UINT id;
  } cases[] = {
      {"wrong id", GetModuleHandleW(nullptr), IDB_TEXTURE + 1000},
      {"wrong module", GetModuleHandleW(L"kernel32.dll"), IDB_TEXTURE},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_NE(c.module, nullptr);
    ASSERT_EQ(FindResourceW(c.module, MAKEINTRESOURCEW(c.id), MAKEINTRESOURCEW(2)), nullptr);
    const int baseline = OwnGdiObjects();
    ASSERT_GE(baseline, 0);
    BlockPainter painter;
    painter.Create(c.module, c.id);
    EXPECT_EQ(painter.patternBitmap, nullptr);
    EXPECT_EQ(painter.patternBrush, nullptr);
    int made = 0;
    for (HGDIOBJ h : Handles(painter)) {
      if (h == painter.patternBitmap || h == painter.patternBrush) continue;
      EXPECT_NE(GetObjectType(h), 0u);
      ++made;
    }
    EXPECT_EQ(OwnGdiObjects(), baseline + made);
    painter.Destroy();
    EXPECT_EQ(OwnGdiObjects(), baseline);
  }
}

TEST(TextureResource, IsASmall256ColourGreySpeckle) {
  HMODULE self = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceW(self, MAKEINTRESOURCEW(IDB_TEXTURE), MAKEINTRESOURCEW(2));
  ASSERT_NE(found, nullptr);
  const auto* info = static_cast<const BITMAPINFO*>(LockResource(LoadResource(self, found)));
  ASSERT_NE(info, nullptr);
  const BITMAPINFOHEADER& h = info->bmiHeader;
  EXPECT_EQ(h.biWidth, 36);
  EXPECT_EQ(h.biHeight, 45);
  EXPECT_EQ(h.biBitCount, 8);
  ASSERT_EQ(h.biCompression, static_cast<DWORD>(BI_RGB));
  const DWORD colours = h.biClrUsed ? h.biClrUsed : 256;
  const auto* pixels = reinterpret_cast<const BYTE*>(info->bmiColors + colours);
  int lowest = 255, highest = 0, distinct = 0;
  bool seen[256] = {};
  for (int row = 0; row < 45; ++row) {
    for (int col = 0; col < 36; ++col) {
      const RGBQUAD& c = info->bmiColors[pixels[row * 36 + col]];
      ASSERT_TRUE(c.rgbRed == c.rgbGreen && c.rgbGreen == c.rgbBlue) << row << ", " << col;
      lowest = std::min<int>(lowest, c.rgbRed);
      highest = std::max<int>(highest, c.rgbRed);
      if (!seen[c.rgbRed]) ++distinct;
      seen[c.rgbRed] = true;
    }
  }
  EXPECT_GE(lowest, 120);
  EXPECT_LE(highest, 240);
  EXPECT_GT(highest - lowest, 60);  // speckled, not flat
  EXPECT_GT(distinct, 30);
}

}  // namespace
