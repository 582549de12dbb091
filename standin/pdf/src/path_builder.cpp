#include "path_builder.h"

#include <utility>

#include "page_limits.h"

namespace lvx::pdf {

void PathBuilder::Move(Point p) {
  if (!path_.verbs.empty() && path_.verbs.back() == PathVerb::kMove) {
    // A move after a move replaces it.
    path_.points.back() = p;
    subpathStart_ = p;
    return;
  }
  if (path_.points.size() + 1 > kMaxPathPoints) {
    truncated_ = true;
    return;
  }
  path_.verbs.push_back(PathVerb::kMove);
  path_.points.push_back(p);
  subpathStart_ = p;
  subpathOpen_ = true;
  closed_ = false;
}

bool PathBuilder::Begin(Point start, std::size_t points) {
  const bool needsMove = !subpathOpen_ || closed_;
  if (path_.points.size() + points + (needsMove ? 1 : 0) > kMaxPathPoints) {
    truncated_ = true;
    return false;
  }
  if (needsMove) {
    // Drawing on after a close starts at the closed subpath's start; without any current point
    // the segment starts where it ends.
    const Point from = subpathOpen_ ? subpathStart_ : start;
    path_.verbs.push_back(PathVerb::kMove);
    path_.points.push_back(from);
    subpathStart_ = from;
    subpathOpen_ = true;
    closed_ = false;
  }
  return true;
}

void PathBuilder::Line(Point p) {
  if (Begin(p, 1)) {
    path_.verbs.push_back(PathVerb::kLine);
    path_.points.push_back(p);
  }
}

void PathBuilder::Curve(Point c1, Point c2, Point end) {
  if (Begin(c1, 3)) {
    path_.verbs.push_back(PathVerb::kCurve);
    path_.points.push_back(c1);
    path_.points.push_back(c2);
    path_.points.push_back(end);
  }
}

void PathBuilder::Close() {
  if (subpathOpen_ && !closed_) {
    path_.verbs.push_back(PathVerb::kClose);
    closed_ = true;
  }
}

bool PathBuilder::Current(Point& point) const {
  if (!subpathOpen_ || path_.points.empty()) {
    return false;
  }
  point = closed_ ? subpathStart_ : path_.points.back();
  return true;
}

Path PathBuilder::Take() {
  Path taken = std::move(path_);
  path_ = Path{};
  subpathOpen_ = false;
  closed_ = false;
  return taken;
}

}  // namespace lvx::pdf
