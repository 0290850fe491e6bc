// Points, sizes and rectangles of the platform (a rectangle excludes its right and bottom).
#pragma once

#include <algorithm>

struct TPoint {
  int X = 0;
  int Y = 0;
  bool operator==(const TPoint&) const = default;
};

struct TSize {
  int cx = 0;
  int cy = 0;
  bool operator==(const TSize&) const = default;
};

struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;

  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  bool Contains(TPoint p) const { return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom; }
  bool operator==(const TRect&) const = default;
};

inline TPoint Point(int x, int y) {
  return TPoint{x, y};
}
inline TRect Rect(int left, int top, int right, int bottom) {
  return TRect{left, top, right, bottom};
}
inline TRect Bounds(int left, int top, int width, int height) {
  return TRect{left, top, left + width, top + height};
}
inline TRect IntersectRect(const TRect& a, const TRect& b) {
  TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
          std::min(a.Bottom, b.Bottom)};
  if (r.IsEmpty()) r = TRect{};
  return r;
}
inline TRect InflateRect(const TRect& r, int dx, int dy) {
  return TRect{r.Left - dx, r.Top - dy, r.Right + dx, r.Bottom + dy};
}
inline TRect OffsetRect(const TRect& r, int dx, int dy) {
  return TRect{r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
}
