// The work one page may take, counted in units (page_limits.h). The interpreter makes one budget
// per page and makes it the thread's current budget while it runs, so that work done deep inside
// colour conversion and shading (function evaluations, calculator steps) counts against the same
// page without every signature carrying it.
#ifndef LVXPDF_WORK_BUDGET_H
#define LVXPDF_WORK_BUDGET_H

#include <algorithm>
#include <cstdint>

namespace lvx::pdf {

class WorkBudget {
 public:
  explicit WorkBudget(std::uint64_t limit) : limit_(limit) {}

  // Counts `units`; false once the budget is spent, and from then on.
  bool Spend(std::uint64_t units) {
    used_ = units > limit_ - std::min(used_, limit_) ? limit_ + 1 : used_ + units;
    return used_ <= limit_;
  }
  [[nodiscard]] bool Exhausted() const { return used_ > limit_; }
  [[nodiscard]] std::uint64_t Used() const { return used_; }

  // The budget of the page being interpreted on this thread; null outside a page.
  static WorkBudget* Current();

  // Makes `budget` the thread's current budget for its lifetime (nested scopes restore the outer
  // one).
  class Scope {
   public:
    explicit Scope(WorkBudget& budget);
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;
    Scope(Scope&&) = delete;
    Scope& operator=(Scope&&) = delete;

   private:
    WorkBudget* outer_;
  };

 private:
  std::uint64_t limit_;
  std::uint64_t used_ = 0;
};

// Counts `units` against the current budget; true when there is none or it is not spent.
inline bool SpendWork(std::uint64_t units) {
  WorkBudget* budget = WorkBudget::Current();
  return budget == nullptr || budget->Spend(units);
}

}  // namespace lvx::pdf

#endif
