#pragma once

namespace tavik {

// A length or position in pixels as the drawing code takes it: the whole
// part, toward zero, as a C cast gives it. Captions, legends, marks and
// printed pages are placed with it, so the same map lays out the same on
// the screen, in a saved image and on paper.
inline int truncToInt(double value) { return static_cast<int>(value); }

} // namespace tavik
