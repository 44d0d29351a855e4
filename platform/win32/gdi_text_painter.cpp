#include "platform/win32/gdi_text_painter.h"

#include <windows.h>

#include "platform/win32/win32_fonts.h"
#include "platform/win32/win32_text.h"

namespace tsukio {

void GdiTextPainter::Draw(Canvas& canvas, const TextRun& run) {
  const int size = canvas.size;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = size;
  info.bmiHeader.biHeight = -size;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (dc == nullptr || bitmap == nullptr || bits == nullptr) {
    if (bitmap != nullptr) DeleteObject(bitmap);
    if (dc != nullptr) DeleteDC(dc);
    return;
  }
  // A DIB pixel is 0x00RRGGBB, as the canvas holds it.
  auto* pixels = static_cast<std::uint32_t*>(bits);
  for (int i = 0; i < size * size; ++i) pixels[i] = canvas.rgb[static_cast<std::size_t>(i)];
  HGDIOBJ oldBitmap = SelectObject(dc, bitmap);

  const std::wstring text = Widen(run.text);
  HFONT font = CreateFontW(-PixelHeight(run.pointSize, run.dpi), 0, 0, 0,
                           run.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY,
                           DEFAULT_PITCH | FF_DONTCARE, FacesFor(run.face).For(text).c_str());
  HGDIOBJ oldFont = SelectObject(dc, font);
  SIZE extent{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  const RECT box{run.x, run.y, run.x + extent.cx, run.y + metrics.tmHeight};
  FillRect(dc, &box, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(run.colour.Red(), run.colour.Green(), run.colour.Blue()));
  SetTextAlign(dc, TA_TOP | TA_LEFT | TA_NOUPDATECP);
  TextOutW(dc, run.x, run.y, text.c_str(), static_cast<int>(text.size()));
  GdiFlush();

  for (int i = 0; i < size * size; ++i)
    canvas.rgb[static_cast<std::size_t>(i)] = pixels[i] & 0xFFFFFFu;
  SelectObject(dc, oldFont);
  SelectObject(dc, oldBitmap);
  DeleteObject(font);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

}  // namespace tsukio
