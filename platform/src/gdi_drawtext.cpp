// DrawTextA: text laid out in a rectangle. The text is split into lines at
// line feeds (not with DT_SINGLELINE) and, with DT_WORDBREAK, at spaces
// where a line would grow wider than the rectangle (a word wider than it
// keeps a line of its own). "&x" draws x underlined and "&&" one "&" unless
// DT_NOPREFIX. Each line is as high as the font's cell, plus its external
// leading with DT_EXTERNALLEADING. DT_CALCRECT measures: it sets the
// rectangle's right and bottom to the text's extent and draws nothing.
#include "gdi.h"
#include "text_paint.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

using namespace pl::gdi;

namespace {

struct Line {
  std::string text;
  int underlined = -1;
  long width = 0;
};

// Removes the prefix characters of one paragraph; answers the index of the
// character to underline (the last one marked), or -1.
int stripPrefixes(const std::string& in, std::string& out) {
  int underlined = -1;
  for (size_t i = 0; i < in.size(); ++i) {
    if (in[i] == '&' && i + 1 < in.size()) {
      ++i;
      if (in[i] != '&') underlined = static_cast<int>(out.size());
    }
    out += in[i];
  }
  return underlined;
}

// Greedy line breaking of one paragraph at spaces: prefix sums of the
// advances keep it linear in the paragraph's length.
void wrap(FontFace& face, const std::string& text, int underlined, long maxWidth, bool wordBreak,
          std::vector<Line>& lines) {
  std::vector<long> sum(text.size() + 1, 0);
  for (size_t i = 0; i < text.size(); ++i) sum[i + 1] = sum[i] + face.advance(static_cast<unsigned char>(text[i]));
  auto emit = [&](size_t from, size_t to) {
    while (to > from && text[to - 1] == ' ') --to;  // spaces at a break are not drawn
    Line line;
    line.text = text.substr(from, to - from);
    line.width = sum[to] - sum[from];
    if (underlined >= static_cast<int>(from) && underlined < static_cast<int>(to))
      line.underlined = underlined - static_cast<int>(from);
    lines.push_back(std::move(line));
  };
  size_t start = 0;
  if (wordBreak) {
    size_t lastBreak = std::string::npos;  // index of a space after which the line may end
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] == ' ') {
        lastBreak = i;
        continue;
      }
      if (sum[i + 1] - sum[start] > maxWidth && lastBreak != std::string::npos && lastBreak >= start) {
        emit(start, lastBreak);
        start = lastBreak + 1;
        while (start < i && text[start] == ' ') ++start;
        lastBreak = std::string::npos;
      }
    }
  }
  emit(start, text.size());
}

}  // namespace

extern "C" int WINAPI DrawTextA(HDC hdc, LPCSTR lpchText, int cchText, LPRECT lprc, UINT format) {
  Dc* dc = findDc(hdc);
  if (!dc || !lprc || cchText < -1 || (cchText != 0 && !lpchText)) return 0;
  const size_t length = cchText == -1 ? std::strlen(lpchText) : static_cast<size_t>(cchText);
  logCall("DrawTextA", {static_cast<long long>(length), static_cast<long long>(format)});
  FontFace& face = dcFace(dc);
  const TEXTMETRICA tm = dcFontMetrics(dc);
  const LONG lineHeight = tm.tmHeight + ((format & DT_EXTERNALLEADING) ? tm.tmExternalLeading : 0);
  const bool single = format & DT_SINGLELINE;
  const long maxWidth = lprc->right - lprc->left;

  std::vector<Line> lines;
  size_t from = 0;
  while (from <= length) {
    size_t to = from;
    if (single) to = length;
    else
      while (to < length && lpchText[to] != '\n') ++to;
    std::string raw;
    for (size_t i = from; i < to; ++i)
      if (lpchText[i] != '\r' && lpchText[i] != '\n') raw += lpchText[i];
    std::string text;
    int underlined = -1;
    if (format & DT_NOPREFIX) text = std::move(raw);
    else underlined = stripPrefixes(raw, text);
    wrap(face, text, underlined, maxWidth, (format & DT_WORDBREAK) && !single, lines);
    from = to + 1;
  }

  long widest = 0;
  for (const Line& line : lines) widest = std::max(widest, line.width);
  const LONG total = static_cast<LONG>(lines.size()) * lineHeight;
  LONG top = lprc->top;
  if (single && (format & DT_VCENTER)) top = lprc->top + (lprc->bottom - lprc->top - lineHeight) / 2;
  else if (single && (format & DT_BOTTOM)) top = lprc->bottom - lineHeight;

  if (format & DT_CALCRECT) {
    lprc->right = static_cast<LONG>(lprc->left + widest);
    lprc->bottom = lprc->top + total;
    return total;
  }
  const RECT* clipTo = (format & DT_NOCLIP) ? nullptr : lprc;
  const Font* font = findFont(dc->font);
  if (!font) font = findFont(stockObject(SYSTEM_FONT));
  LONG y = top;
  for (const Line& line : lines) {
    long x = lprc->left;
    if (format & DT_CENTER) x = lprc->left + (maxWidth - line.width) / 2;
    else if (format & DT_RIGHT) x = lprc->right - line.width;
    TextRun run{line.text.data(), static_cast<int>(line.text.size()), nullptr, line.underlined};
    if (!paintRun(dc, face, font, static_cast<LONG>(x), y, run, clipTo)) return 0;
    y += lineHeight;
  }
  return y - lprc->top;
}
