// The GDI handle table and the objects in it: stock objects, pens, brushes,
// bitmaps (device-dependent and DIB sections), GetObjectA, DeleteObject and
// the system colours.
#include "gdi.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace pl::gdi {
namespace {

std::map<uintptr_t, std::unique_ptr<Object>> table;
uintptr_t nextHandle = 0x10000;  // handles are never reused in a run
std::map<int, HGDIOBJ> stocks;
std::map<int, HGDIOBJ> sysColorBrushes;

HGDIOBJ makeStock(int index) {
  auto solidBrush = [](COLORREF c) {
    auto b = std::make_unique<Brush>();
    b->color = c;
    return b;
  };
  auto pen = [](int style, COLORREF c) {
    auto p = std::make_unique<Pen>();
    p->style = style;
    p->color = c;
    return p;
  };
  auto font = [](int id, const char* face, LONG height, LONG weight, BYTE pitch) {
    auto f = std::make_unique<Font>();
    f->stockId = id;
    f->faceName = face;
    f->height = height;
    f->weight = weight;
    f->pitchAndFamily = pitch;
    return f;
  };
  std::unique_ptr<Object> o;
  switch (index) {
    case WHITE_BRUSH: o = solidBrush(0xFFFFFF); break;
    case LTGRAY_BRUSH: o = solidBrush(0xC0C0C0); break;
    case GRAY_BRUSH: o = solidBrush(0x808080); break;
    case DKGRAY_BRUSH: o = solidBrush(0x404040); break;
    case BLACK_BRUSH: o = solidBrush(0x000000); break;
    case NULL_BRUSH: {
      auto b = std::make_unique<Brush>();
      b->style = BS_NULL;
      o = std::move(b);
      break;
    }
    case WHITE_PEN: o = pen(PS_SOLID, 0xFFFFFF); break;
    case BLACK_PEN: o = pen(PS_SOLID, 0x000000); break;
    case NULL_PEN: o = pen(PS_NULL, 0x000000); break;
    case OEM_FIXED_FONT:
    case ANSI_FIXED_FONT:
    case SYSTEM_FIXED_FONT: o = font(index, "Courier", 16, 400, 1); break;
    case ANSI_VAR_FONT:
    case DEFAULT_GUI_FONT: o = font(index, "MS Sans Serif", 16, 400, 2); break;
    case SYSTEM_FONT:
    case DEVICE_DEFAULT_FONT: o = font(index, "System", 16, 700, 2); break;
    case DEFAULT_PALETTE: o = std::make_unique<Palette>(); break;
    default: return nullptr;
  }
  o->stock = true;
  return addObject(std::move(o));
}

HBITMAP addBitmap(int width, int height, int bpp, uint32_t fill) {
  auto b = std::make_unique<Bitmap>();
  b->surface.bitsPerPixel = bpp;
  b->surface.resize(width, height, fill);
  return static_cast<HBITMAP>(addObject(std::move(b)));
}

}  // namespace

void Surface::resize(int w, int h, uint32_t fill) {
  std::vector<uint32_t> fresh(static_cast<size_t>(w) * static_cast<size_t>(h), fill);
  for (int y = 0; y < std::min(h, height); ++y)
    for (int x = 0; x < std::min(w, width); ++x)
      fresh[static_cast<size_t>(bottomUp ? h - 1 - y : y) * w + x] = get(x, y);
  storage = std::move(fresh);
  width = w;
  height = h;
}

HGDIOBJ addObject(std::unique_ptr<Object> object) {
  HGDIOBJ h = reinterpret_cast<HGDIOBJ>(nextHandle);
  nextHandle += 4;
  object->handle = h;
  table[reinterpret_cast<uintptr_t>(h)] = std::move(object);
  return h;
}

Object* findObject(HGDIOBJ handle) {
  auto it = table.find(reinterpret_cast<uintptr_t>(handle));
  return it == table.end() ? nullptr : it->second.get();
}

void removeObject(HGDIOBJ handle) { table.erase(reinterpret_cast<uintptr_t>(handle)); }

HGDIOBJ stockObject(int index) {
  auto it = stocks.find(index);
  if (it != stocks.end()) return it->second;
  HGDIOBJ h = makeStock(index);
  if (h) stocks[index] = h;
  return h;
}

// Whether a pen, brush, font or bitmap is selected into a live DC.
static bool isSelected(HGDIOBJ h) {
  for (auto& [key, o] : table) {
    if (o->kind != Kind::Dc) continue;
    auto* dc = static_cast<Dc*>(o.get());
    if (dc->pen == h || dc->brush == h || dc->font == h || dc->bitmap == h || dc->palette == h) return true;
  }
  return false;
}

void resetObjects() {
  table.clear();
  stocks.clear();
  sysColorBrushes.clear();
  nextHandle += 0x1000;
}

}  // namespace pl::gdi

using namespace pl::gdi;

extern "C" HGDIOBJ WINAPI GetStockObject(int i) { return stockObject(i); }

extern "C" BOOL WINAPI DeleteObject(HGDIOBJ ho) {
  Object* o = findObject(ho);
  if (!o || o->kind == Kind::Dc) return FALSE;
  if (o->stock) return TRUE;
  if (isSelected(ho)) return FALSE;
  removeObject(ho);
  return TRUE;
}

extern "C" DWORD WINAPI GetObjectType(HGDIOBJ h) {
  Object* o = findObject(h);
  if (!o) return 0;
  switch (o->kind) {
    case Kind::Pen: return OBJ_PEN;
    case Kind::Brush: return OBJ_BRUSH;
    case Kind::Bitmap: return OBJ_BITMAP;
    case Kind::Region: return OBJ_REGION;
    case Kind::Font: return OBJ_FONT;
    case Kind::Palette: return OBJ_PAL;
    case Kind::Dc: return static_cast<Dc*>(o)->memory ? OBJ_MEMDC : OBJ_DC;
  }
  return 0;
}

extern "C" int WINAPI GetObjectA(HANDLE h, int c, LPVOID pv) {
  Object* o = findObject(h);
  if (!o) return 0;
  auto answer = [&](const void* data, int size) {
    if (!pv) return size;
    if (c < size) return 0;
    std::memcpy(pv, data, static_cast<size_t>(size));
    return size;
  };
  switch (o->kind) {
    case Kind::Bitmap: {
      auto* b = static_cast<Bitmap*>(o);
      const Surface& s = b->surface;
      BITMAP bm{};
      bm.bmWidth = s.width;
      bm.bmHeight = s.height;
      bm.bmWidthBytes = s.mono() ? (s.width + 15) / 16 * 2 : s.width * 4;
      bm.bmPlanes = 1;
      bm.bmBitsPixel = static_cast<WORD>(s.bitsPerPixel);
      bm.bmBits = b->dibSection ? const_cast<uint32_t*>(s.storage.data()) : nullptr;
      return answer(&bm, sizeof bm);
    }
    case Kind::Pen: {
      auto* p = static_cast<Pen*>(o);
      LOGPEN lp{static_cast<UINT>(p->style), POINT{p->width, 0}, p->color};
      return answer(&lp, sizeof lp);
    }
    case Kind::Brush: {
      auto* b = static_cast<Brush*>(o);
      LOGBRUSH lb{b->style, b->color, static_cast<ULONG_PTR>(b->hatch)};
      return answer(&lb, sizeof lb);
    }
    case Kind::Font: return getFontObject(*static_cast<Font*>(o), c, pv);
    default: return 0;
  }
}

extern "C" HPEN WINAPI CreatePen(int iStyle, int cWidth, COLORREF color) {
  auto p = std::make_unique<Pen>();
  p->style = iStyle & PS_STYLE_MASK;
  p->width = cWidth;
  p->color = color;
  return static_cast<HPEN>(addObject(std::move(p)));
}

extern "C" HPEN WINAPI CreatePenIndirect(const LOGPEN* plpen) {
  if (!plpen) return nullptr;
  return CreatePen(static_cast<int>(plpen->lopnStyle), plpen->lopnWidth.x, plpen->lopnColor);
}

extern "C" HBRUSH WINAPI CreateSolidBrush(COLORREF color) {
  auto b = std::make_unique<Brush>();
  b->color = color;
  return static_cast<HBRUSH>(addObject(std::move(b)));
}

extern "C" HBRUSH WINAPI CreateBrushIndirect(const LOGBRUSH* plbrush) {
  if (!plbrush || plbrush->lbStyle == BS_PATTERN) return nullptr;  // patterns: CreatePatternBrush
  auto b = std::make_unique<Brush>();
  b->style = plbrush->lbStyle;
  b->color = plbrush->lbColor;
  b->hatch = static_cast<int>(plbrush->lbHatch);
  return static_cast<HBRUSH>(addObject(std::move(b)));
}

extern "C" HBITMAP WINAPI CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitCount, const void* lpBits) {
  if (nWidth <= 0 || nHeight <= 0 || nPlanes != 1 || (nBitCount != 1 && nBitCount != 32)) return nullptr;
  HBITMAP h = addBitmap(nWidth, nHeight, static_cast<int>(nBitCount), 0);
  if (!lpBits) return h;
  Surface& s = findBitmap(h)->surface;
  const auto* bytes = static_cast<const uint8_t*>(lpBits);
  if (nBitCount == 1) {
    // Rows of bits, most significant first, each row padded to a WORD; 1 is white.
    const int stride = (nWidth + 15) / 16 * 2;
    for (int y = 0; y < nHeight; ++y)
      for (int x = 0; x < nWidth; ++x)
        s.set(x, y, (bytes[y * stride + x / 8] >> (7 - x % 8)) & 1 ? 0xFFFFFF : 0);
  } else {
    for (int y = 0; y < nHeight; ++y)
      for (int x = 0; x < nWidth; ++x) {
        uint32_t p;
        std::memcpy(&p, bytes + (static_cast<size_t>(y) * nWidth + x) * 4, 4);
        s.set(x, y, p & 0xFFFFFF);
      }
  }
  return h;
}

extern "C" HBITMAP WINAPI CreateCompatibleBitmap(HDC hdc, int cx, int cy) {
  Dc* dc = findDc(hdc);
  if (!dc || cx < 0 || cy < 0) return nullptr;
  if (cx == 0 || cy == 0) return addBitmap(1, 1, 1, 0);
  int bpp = 32;
  if (dc->memory) {
    Bitmap* b = findBitmap(dc->bitmap);
    bpp = b ? b->surface.bitsPerPixel : 1;
  }
  if (dc->printer && dc->printerMode.mono) bpp = 1;  // like the pages it prints
  return addBitmap(cx, cy, bpp, 0);
}

extern "C" HBITMAP WINAPI CreateDIBSection(HDC, const BITMAPINFO* pbmi, UINT usage, void** ppvBits, HANDLE, DWORD) {
  if (ppvBits) *ppvBits = nullptr;
  if (!pbmi || usage != DIB_RGB_COLORS) return nullptr;
  const BITMAPINFOHEADER& h = pbmi->bmiHeader;
  if (h.biBitCount != 32 || h.biCompression != BI_RGB || h.biWidth <= 0 || h.biHeight == 0) return nullptr;
  auto b = std::make_unique<Bitmap>();
  b->dibSection = true;
  b->surface.bottomUp = h.biHeight > 0;
  b->surface.resize(h.biWidth, h.biHeight > 0 ? h.biHeight : -h.biHeight, 0);
  if (ppvBits) *ppvBits = b->surface.storage.data();
  return static_cast<HBITMAP>(addObject(std::move(b)));
}

extern "C" DWORD WINAPI GetSysColor(int nIndex) {
  switch (nIndex) {
    case COLOR_WINDOW:
    case COLOR_HIGHLIGHTTEXT:
    case COLOR_MENU: return 0xFFFFFF;
    case COLOR_BTNFACE: return 0xC0C0C0;
    case COLOR_BTNSHADOW:
    case COLOR_GRAYTEXT: return 0x808080;
    case COLOR_HIGHLIGHT: return 0x800000;
    default: return 0x000000;
  }
}

extern "C" HBRUSH WINAPI GetSysColorBrush(int nIndex) {
  auto it = sysColorBrushes.find(nIndex);
  if (it != sysColorBrushes.end()) return static_cast<HBRUSH>(it->second);
  auto b = std::make_unique<Brush>();
  b->color = GetSysColor(nIndex);
  b->stock = true;
  HGDIOBJ h = addObject(std::move(b));
  sysColorBrushes[nIndex] = h;
  return static_cast<HBRUSH>(h);
}
