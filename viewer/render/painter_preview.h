#pragma once

class QImage;

namespace tavik {

struct PainterConfig;

// Side in pixels of the painter dialog's preview of coinciding marks.
inline constexpr int kPainterPreviewSide = 161;

// The preview of coinciding marks of the painter dialog: a white square of
// 161 x 161 pixels with the marks of all ten slots, drawn as maps draw them,
// each in its rank A mark colour with the slot's thickness, slot i (from 0)
// centred at (80 + i * shift x, 80 + i * shift y) pixels. markScale: see
// markScale() (page_renderer.h).
QImage painterPreview(const PainterConfig& painter, double markScale);

} // namespace tavik
