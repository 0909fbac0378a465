// Lines: LineTo's end pixel, LineDDA's points, dotted pens in both
// background modes, wide pens, and XOR polylines that touch each pixel once.
#include "platform/gdi_fixture.h"

#include <utility>
#include <vector>

namespace {

using GdiLines = GdiTest;

TEST_F(GdiLines, LineToSetsEveryPixelButTheEnd) {
  MoveToEx(dc, 2, 3, nullptr);
  EXPECT_TRUE(LineTo(dc, 12, 3));
  for (int x = 0; x < kSize; ++x) EXPECT_EQ(at(x, 3), x >= 2 && x <= 11 ? RGB(0, 0, 0) : RGB(255, 255, 255)) << x;
  EXPECT_EQ(inked(), 10);
  POINT pos{};
  GetCurrentPositionEx(dc, &pos);
  EXPECT_EQ(pos.x, 12);
  EXPECT_EQ(pos.y, 3);

  // Vertical, backwards and diagonal lines also stop short of the end.
  MoveToEx(dc, 5, 20, nullptr);
  LineTo(dc, 5, 15);
  EXPECT_EQ(at(5, 20), RGB(0, 0, 0));
  EXPECT_EQ(at(5, 16), RGB(0, 0, 0));
  EXPECT_EQ(at(5, 15), RGB(255, 255, 255));
  MoveToEx(dc, 10, 10, nullptr);
  LineTo(dc, 14, 14);
  EXPECT_EQ(picture(10, 10, 15, 15), "#....\n.#...\n..#..\n...#.\n.....\n");
}

struct DdaCase {
  POINT from, to;
  std::vector<std::pair<int, int>> points;
};

void CALLBACK collect(int x, int y, LPARAM data) {
  reinterpret_cast<std::vector<std::pair<int, int>>*>(data)->emplace_back(x, y);
}

TEST_F(GdiLines, LineDdaVisitsPointsFromTheStartUpToTheEnd) {
  const DdaCase cases[] = {
      {{0, 0}, {3, 0}, {{0, 0}, {1, 0}, {2, 0}}},
      {{3, 0}, {0, 0}, {{3, 0}, {2, 0}, {1, 0}}},
      {{0, 0}, {0, -2}, {{0, 0}, {0, -1}}},
      {{1, 1}, {4, 4}, {{1, 1}, {2, 2}, {3, 3}}},
      {{0, 0}, {4, 2}, {{0, 0}, {1, 0}, {2, 1}, {3, 1}}},
      {{5, 5}, {5, 5}, {}},
  };
  for (const DdaCase& c : cases) {
    std::vector<std::pair<int, int>> seen;
    EXPECT_TRUE(LineDDA(c.from.x, c.from.y, c.to.x, c.to.y, collect, reinterpret_cast<LPARAM>(&seen)));
    EXPECT_EQ(seen, c.points) << c.from.x << "," << c.from.y << " -> " << c.to.x << "," << c.to.y;
  }
}

TEST_F(GdiLines, DottedPenAlternatesAndHonoursTheBackgroundMode) {
  HPEN dotted = CreatePen(PS_DOT, 1, RGB(0, 0, 0));
  SelectObject(dc, dotted);
  SetBkColor(dc, RGB(255, 0, 0));
  SetBkMode(dc, TRANSPARENT);
  MoveToEx(dc, 0, 1, nullptr);
  LineTo(dc, 6, 1);
  EXPECT_EQ(picture(0, 1, 7, 2), "#.#.#..\n");
  SetBkMode(dc, OPAQUE);
  MoveToEx(dc, 0, 2, nullptr);
  LineTo(dc, 6, 2);
  EXPECT_EQ(picture(0, 2, 7, 3), "#?#?#?.\n");
  EXPECT_EQ(at(1, 2), RGB(255, 0, 0));
  SelectObject(dc, GetStockObject(BLACK_PEN));
  DeleteObject(dotted);
}

TEST_F(GdiLines, PenWidthsUpToOneAreOnePixelWiderPensAreRound) {
  for (int width : {-2, 0, 1}) {
    SetUp();  // a fresh white bitmap
    HPEN pen = CreatePen(PS_SOLID, width, RGB(0, 0, 0));
    SelectObject(dc, pen);
    MoveToEx(dc, 2, 5, nullptr);
    LineTo(dc, 8, 5);
    EXPECT_EQ(inked(), 6) << width;
  }
  HPEN wide = CreatePen(PS_SOLID, 3, RGB(0, 0, 0));
  SelectObject(dc, wide);
  MoveToEx(dc, 10, 10, nullptr);
  LineTo(dc, 14, 10);
  // Three rows thick, and the caps reach one pixel past both ends.
  EXPECT_EQ(picture(8, 8, 17, 13), ".........\n.#######.\n.#######.\n.#######.\n.........\n");
}

TEST_F(GdiLines, XorPolylineTouchesSharedVerticesOnce) {
  SetROP2(dc, R2_XORPEN);
  SelectObject(dc, GetStockObject(WHITE_PEN));
  const POINT square[] = {{2, 2}, {6, 2}, {6, 6}, {2, 6}, {2, 2}};
  EXPECT_TRUE(Polyline(dc, square, 5));
  EXPECT_EQ(picture(2, 2, 7, 7), "#####\n#...#\n#...#\n#...#\n#####\n");
  // Drawing it again restores the background.
  Polyline(dc, square, 5);
  EXPECT_EQ(inked(), 0);
}

}  // namespace
