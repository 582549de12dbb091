// 2-D affine matrices in PDF's row-vector convention: a point (x, y) maps to
// (x a + y c + e, x b + y d + f), and A * B applies A first.
#ifndef LVXPDF_MATRIX_H
#define LVXPDF_MATRIX_H

#include <cmath>

#include "lvxpdf/display_list.h"

namespace lvx::pdf {

struct Matrix {
  double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;

  friend Matrix operator*(const Matrix& m, const Matrix& n) {
    return {m.a * n.a + m.b * n.c, m.a * n.b + m.b * n.d,       m.c * n.a + m.d * n.c,
            m.c * n.b + m.d * n.d, m.e * n.a + m.f * n.c + n.e, m.e * n.b + m.f * n.d + n.f};
  }
  [[nodiscard]] double X(double x, double y) const { return x * a + y * c + e; }
  [[nodiscard]] double Y(double x, double y) const { return x * b + y * d + f; }
  static Matrix Translate(double x, double y) { return {1, 0, 0, 1, x, y}; }
};

// Whether every entry is a finite number.
inline bool Finite(const Matrix& m) {
  return std::isfinite(m.a) && std::isfinite(m.b) && std::isfinite(m.c) && std::isfinite(m.d) &&
         std::isfinite(m.e) && std::isfinite(m.f);
}

inline Affine ToAffine(const Matrix& m) { return {m.a, m.b, m.c, m.d, m.e, m.f}; }

// How much the matrix scales lengths, on average over directions.
inline double LengthScale(const Matrix& m) { return std::sqrt(std::fabs(m.a * m.d - m.b * m.c)); }

}  // namespace lvx::pdf

#endif
