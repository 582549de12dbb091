#include "work_budget.h"

namespace lvx::pdf {
namespace {

thread_local WorkBudget* current = nullptr;

}  // namespace

WorkBudget* WorkBudget::Current() { return current; }

WorkBudget::Scope::Scope(WorkBudget& budget) : outer_(current) { current = &budget; }

WorkBudget::Scope::~Scope() { current = outer_; }

}  // namespace lvx::pdf
