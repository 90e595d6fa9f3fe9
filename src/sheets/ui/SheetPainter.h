#pragma once
// Draws a laid-out exposure sheet (SheetLayout) on pages: a printer or a
// PDF. Only drawing here; what goes where is the layout's.
#include <optional>
#include <string>

class QPagedPaintDevice;

namespace zv {

class SheetLayout;

// Draws every page of `layout` on `device` (a QPrinter or a QPdfWriter,
// set up and not yet painted on). False when the device can't be painted.
bool PaintSheet(QPagedPaintDevice& device, const SheetLayout& layout);

// The sheet as a PDF file at `path` (A4), written under a temporary name
// beside it and renamed when whole. Nothing when written; else why not.
std::optional<std::string> WriteSheetPdf(const SheetLayout& layout, const std::string& path);

} // namespace zv
