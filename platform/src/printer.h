// The virtual printer's pieces shared by the printing files of the layer
// (printer.cpp, printer_mode.cpp, commdlg_print.cpp, commdlg_color.cpp); not
// part of the public interface.
#ifndef PLUMET_PLATFORM_PRINTER_H
#define PLUMET_PLATFORM_PRINTER_H

#include "gdi.h"

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace pl::printing {

// The one printer: its names as DEVNAMES and the profile give them.
inline constexpr const char* kDevice = "Image Printer";
inline constexpr const char* kDriver = "pngprint";
inline constexpr const char* kPort = "FILE:";
// Dots per inch a device mode may ask for.
inline constexpr int kMinDpi = 25;
inline constexpr int kMaxDpi = 300;

// Whether a driver and device name (either may be null or empty) name the
// printer; false while none is installed.
bool namesPrinter(LPCSTR driver, LPCSTR device);

// The page a device mode asks for. Only the fields that lie within both the
// mode's own dmSize and the bytes available are read (a device mode may come
// from a file); null reads none. Letter portrait at 100 dpi in colour
// unless the mode says otherwise.
gdi::PrinterMode modeFrom(const DEVMODEA* mode, size_t available);

// The printer's device mode: Letter portrait, 100 dpi, colour, 1 copy.
DEVMODEA defaultDevMode();
// A device mode read safely from a block of bytes: fields past the block
// or the mode's dmSize are left at the defaults.
DEVMODEA devModeFrom(const void* block, size_t size);
// A DEVNAMES block naming the printer, with its strings.
std::vector<unsigned char> devNamesBlock();
// Reads a DEVNAMES block: false when an offset or a string passes its end.
bool readDevNames(const void* block, size_t size, std::string* driver, std::string* device, std::string* port);

// The reason CommDlgExtendedError gives for the last dialog.
void setDialogError(DWORD code);

void resetPrintDialog();
void resetColorDialog();

}  // namespace pl::printing

#endif
