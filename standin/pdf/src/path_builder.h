// The path being built by a content stream's path operators, in page space: subpaths, implicit
// moves where a segment has no current point, and a bound on the points one path may hold
// (kMaxPathPoints, refusing whole segments so that verbs and points stay paired).
#ifndef LVXPDF_PATH_BUILDER_H
#define LVXPDF_PATH_BUILDER_H

#include "lvxpdf/display_list.h"

namespace lvx::pdf {

class PathBuilder {
 public:
  void Move(Point p);
  void Line(Point p);
  void Curve(Point c1, Point c2, Point end);
  void Close();
  // The current point, for curves that start with it (v); false when there is none.
  bool Current(Point& point) const;

  [[nodiscard]] bool Empty() const { return path_.Empty(); }
  [[nodiscard]] std::size_t Points() const { return path_.points.size(); }
  // Whether a segment was refused for the bound.
  [[nodiscard]] bool Truncated() const { return truncated_; }
  // The path, leaving the builder empty.
  Path Take();

 private:
  // Makes room for a segment of `points` points (and a move before it where needed); false
  // when the path is full.
  bool Begin(Point start, std::size_t points);

  Path path_;
  Point subpathStart_;
  bool subpathOpen_ = false;
  bool closed_ = false;
  bool truncated_ = false;
};

}  // namespace lvx::pdf

#endif
