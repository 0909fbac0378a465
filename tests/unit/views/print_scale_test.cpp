// The plot scale: the plot area resized about its centre, the errors of a
// zero scale and a collapsed area, the fit of a sheet's contents, and the
// graphics-box operators.
#include "print_fixture.h"

namespace {

using printfx::PrintTest;

class PrintScale : public PrintTest {};

TEST_F(PrintScale, ChangeScaleResizesThePlotAreaAboutItsCentre) {
  docRec* doc = newDoc();
  sheetRec* sheet = newSheet(doc);
  const double bounds[4] = {0, 10, 8, 0};
  sheetPlotBoxSet(sheet, bounds);
  EXPECT_EQ(eval("0 aChangeScale"), std::to_string(vwErrNoCurSheet)) << "no current sheet";
  vwSetCurView(sheet->activeView);
  doc->flags &= ~docDirty;
  EXPECT_EQ(eval("0 aChangeScale"), std::to_string(vwErrBadScale));
  EXPECT_EQ(eval("2 aChangeScale"), "");
  EXPECT_TRUE(vwfx::near({sheet->plotBounds[0], sheet->plotBounds[1], sheet->plotBounds[2], sheet->plotBounds[3]},
                         {2, 7.5, 6, 2.5}));
  EXPECT_EQ(sheet->plotScale, 2.0);
  EXPECT_EQ(printLastPlotScale(), 2.0);
  EXPECT_TRUE(doc->flags & docDirty);
  EXPECT_EQ(eval("1 aChangeScale"), "") << "back to the size at scale 1";
  EXPECT_TRUE(vwfx::near({sheet->plotBounds[0], sheet->plotBounds[1], sheet->plotBounds[2], sheet->plotBounds[3]},
                         {0, 10, 8, 0}));
  EXPECT_EQ(eval("1e300 aChangeScale"), std::to_string(vwErrTooFarOut));
  EXPECT_EQ(sheet->plotScale, 1.0) << "unchanged after a failure";
}

TEST_F(PrintScale, FitPlotFitsTheContentsWithAMargin) {
  openDrawing();
  vwSetCurView(draft);
  EXPECT_EQ(std::stod(eval("aFitPlot")), 1.0) << "nothing to fit: the present scale";
  // Contents 10 x 5 on one Letter page: the box grown by 1 percent.
  addLine(model, {-5, -2.5, 0}, {5, 2.5, 0});
  const std::string fit = eval("aFitPlot");
  const double want = std::min(8.5 / 10.1, 11.0 / 5.05);
  EXPECT_NEAR(std::stod(fit), want, 1e-7) << fit;
  EXPECT_NEAR(sheet->plotScale, want, 1e-12);
  EXPECT_NEAR(sheet->plotBounds[2] - sheet->plotBounds[0], 10.1, 1e-9) << "the width fits exactly";
  EXPECT_NEAR(sheet->plotBounds[0] + sheet->plotBounds[2], 0, 1e-9) << "centred on the contents";
}

TEST_F(PrintScale, GraphicsBoxOfTheCurrentSheetWindow) {
  EXPECT_EQ(eval("aGraphicsBox"), std::to_string(vwErrNoCurSheet));
  EXPECT_EQ(eval("aGraphicsW"), std::to_string(vwErrNoCurSheet));
  openDrawing();
  vwSetCurView(draft);
  RECT rect{};
  windGetViewRect(window, &rect);
  const std::string box = std::to_string(rect.left) + " " + std::to_string(rect.top) + " " +
                          std::to_string(rect.right) + " " + std::to_string(rect.bottom);
  EXPECT_EQ(eval("aGraphicsBox"), box);
  EXPECT_EQ(eval("aGraphicCenter"),
            std::to_string((rect.left + rect.right) / 2) + " " + std::to_string((rect.top + rect.bottom) / 2));
  EXPECT_EQ(eval("aGraphicsW aGraphicsH"),
            std::to_string(rect.right - rect.left) + " " + std::to_string(rect.bottom - rect.top));
}

}  // namespace
