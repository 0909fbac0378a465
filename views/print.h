// Printing and plotting: a sheet is laid out as a grid of pages (pages
// across by pages down) over its plot area at its plot scale, and each page
// is printed by drawing the whole sheet into the printer's device context
// with the sheet's window rectangle set to the page. This module offers
// - the printer set-up block that documents store and its checks;
// - the print dialog and the page set-up dialog;
// - the print loop of aPrint with its abort dialog "AbortDlg";
// - printing one page (the page procedure) and the page layout behind it;
// - page information, the graphics-box operators and the printing flag;
// - the plot-scale operators and the page frame drawn on a sheet.
#ifndef PLUMET_VIEWS_PRINT_H
#define PLUMET_VIEWS_PRINT_H

#include <windows.h>

#include <cstdint>
#include <vector>

struct feArgs;
struct docRec;
struct sheetRec;
struct viewRec;
struct windRecord;

// ---- The set-up block ------------------------------------------------------

// The block's layout, all integers little-endian: tag 0x57494E33 (bytes
// "3NIW"), u16 offset (12) and size of the device-names block, u16 offset
// (12 + that size) and size of the device-mode block, then both blocks as
// the print dialog returns them.
enum : uint32_t { printSetupTag = 0x57494E33u, printSetupHeader = 12 };

// The parts of a block that passed the checks: pointers into the block.
struct printSetupView {
  const uint8_t* devNames;  // DEVNAMES and its strings
  uint32_t devNamesSize;
  const uint8_t* devMode;   // DEVMODEA and its driver bytes; null when the block has none
  uint32_t devModeSize;
  const char* driver;       // the three names, terminated inside the block
  const char* device;
  const char* port;
};
// Checks a block: a wrong tag, a part whose offset or size passes the end,
// device names whose offsets or strings pass their part, or a device mode
// whose dmSize plus dmDriverExtra pass its part make it count as absent
// (false). A device-mode part of size 0 is allowed (no device mode).
bool printSetupParse(const uint8_t* block, uint32_t length, printSetupView* out);
// A block from the two parts (either may be empty); false when a part is
// larger than a 16-bit size can say.
bool printSetupBuild(const uint8_t* devNames, uint32_t devNamesSize, const uint8_t* devMode, uint32_t devModeSize,
                     std::vector<uint8_t>* out);
// The global block, parsed; false when it is absent or fails the checks.
bool printSetupCurrent(printSetupView* out);
// The global block into the document's block, and back (null: nothing).
void printSetupToDoc(docRec* doc);
void printSetupFromDoc(docRec* doc);

// ---- Page information --------------------------------------------------------

// What the page procedure is told about the printer's page.
struct printPageInfo {
  HDC dc;
  int32_t dpi[2];   // pixels per inch, x and y
  RECT page;        // 0, 0, width, height in pixels
};
// The printer's page from a device context (0 for none: the fallback of 100
// pixels per inch and a page of 850 x 1100).
void printInfoOf(HDC dc, printPageInfo* out);
// The printer of the global block, else the profile's "device" of section
// "windows" ("device,driver,port"): a device context, or an information
// context when asked (null when there is no printer). The caller deletes it.
HDC printContext(bool infoOnly);

// ---- Dialogs -----------------------------------------------------------------

// The print dialog's settings kept between calls (page range from, to,
// minimum, maximum, copies, flags).
PRINTDLGA* printDialogState();
// Runs the print dialog over the kept settings with the caller's flags
// added: 0 when accepted (the global block rebuilt from the answer), -1
// when cancelled, else the dialog's extended error code. A printer that is
// not found (4107) or a default that differs (4108) makes the dialog ask for
// the default printer and show again, at most twice.
int printDialog(PRINTDLGA* pd, DWORD flags);

// ---- Printing ----------------------------------------------------------------

// The page procedure: prints page (from 1) of the object (a document or a
// sheet) into the window object, which stands for the printer's device
// context pushed on the drawing layer's window stack.
typedef int (*printPageProc)(windRecord* window, int32_t page, void* docOrSheet, const printPageInfo* info);
// Installs the procedure aPrint calls (null: printPage); answers the old one.
printPageProc printSetPageProc(printPageProc proc);
// Prints one page: -206 when no sheet holds it.
int printPage(windRecord* window, int32_t page, void* docOrSheet, const printPageInfo* info);

// Where a page falls: the sheet holding page (from 1) of a document (pages
// numbered through its sheets in order) or of a sheet itself, and the
// page's number within that sheet. Null when no sheet holds it.
sheetRec* printFindPage(void* docOrSheet, int32_t page, int32_t* pageInSheet);
// Column and row of a sheet's page (from 1): row-major, or column-major
// while the page-order flag (bit 0 of the plot direction) is set.
void printPageCell(const sheetRec* sheet, int32_t page, int32_t* column, int32_t* row);
// The centre of a sheet's page in sheet coordinates.
void printPageCentre(const sheetRec* sheet, int32_t page, double out[2]);

// The printing flag: 3 while a page is drawn for the printer, else 0. It is
// also the pens' output mode.
int vwIsPrinting();
void printSetPrinting(int flag);
// The C print mode: aPrint pushes a boolean (accepted or not) while it is on.
int printCMode();
// The abort flag of the print loop: set by any command of the abort dialog
// or an abort procedure that stops the job.
int printAborted();

// ---- Sheet helpers -----------------------------------------------------------

// The view's pixel box on its sheet, within the window's view rectangle
// unless printing: -1 and a zero box when it is empty.
int vwViewWorldBox(const viewRec* view, int32_t box[4]);
// The current view's scale times the current sheet's plot scale (1.0
// without a view or sheet); answers 0.
int vwCurViewSheetScale(double* scale);
// Makes the current view's sheet window the drawing window, keeping the
// one before; vwRestoreWindow brings it back.
void vwSelectSheetWindow();
void vwRestoreWindow();

// The plot area resized about a centre (null: its own) for a new plot scale:
// -225 for a scale of 0, -230 when the area collapses; otherwise the area
// and scale are stored, the scale is remembered and the document marked
// changed.
int printChangeScale(sheetRec* sheet, double scale, const double* centre);
// The plot scale at which the sheet's draft-view model and its other views
// fit its pages (the box grown by 1 percent about its centre), applied;
// with nothing to fit the present scale. Answers 0 or printChangeScale's.
int printFitPlot(sheetRec* sheet, double* scale);
// The last plot scale set (1 at the start).
double printLastPlotScale();

// The page frame: the plot area's outline two pixels outside it and the
// page breaks, in a draw mode (1 erases in colour 0), in the sheet's window.
void sheetDrawPageFrame(int mode, sheetRec* sheet);
// Invalidates four strips two pixels either side of the plot area's edges
// so that the frame is repainted away.
void sheetErasePageFrame(sheetRec* sheet);
// The redraw hook: the current sheet's frame while its document shows the
// page.
void printRedrawFrame(void* argument);

// ---- Operators -----------------------------------------------------------------

// Registers aPrint, aPageSetup, aPageInfo, aSetModeCPrintTrue and
// aSetModeCPrintFalse, the "AbortDlg" template, the pens' output mode and
// the page procedure.
void printOpsInit();
// Back to the start: the kept dialog settings, the modes and the flags.
void printReset();

int printOpPrint(feArgs* args);
int printOpPageSetup(feArgs* args);
int printOpPageInfo(feArgs* args);
int printOpCPrintTrue(feArgs* args);
int printOpCPrintFalse(feArgs* args);
int printOpGraphicsBox(feArgs* args);
int printOpGraphicCenter(feArgs* args);
int printOpGraphicsSize(feArgs* args);   // aGraphicsW (0), aGraphicsH (1)
int printOpChangeScale(feArgs* args);
int printOpFitPlot(feArgs* args);
int printOpCreatPlot(feArgs* args);

#endif
