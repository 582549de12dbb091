// A cache that holds values up to a budget of bytes and evicts the least recently used ones
// beyond it. The entry put last always stays, however large, so that a value bigger than the
// whole budget is still kept until the next one comes.
#ifndef LVXPDF_BYTE_BUDGET_CACHE_H
#define LVXPDF_BYTE_BUDGET_CACHE_H

#include <cstddef>
#include <list>
#include <unordered_map>
#include <utility>

namespace lvx::pdf {

template <typename Key, typename Value>
class ByteBudgetCache {
 public:
  explicit ByteBudgetCache(std::size_t budget) : budget_(budget) {}

  // The value of `key`, now the most recently used; null when it is not held.
  Value* Find(const Key& key) {
    const auto found = index_.find(key);
    if (found == index_.end()) {
      return nullptr;
    }
    order_.splice(order_.begin(), order_, found->second);
    return &found->second->value;
  }

  // Holds `value` for `key` (replacing what was there), counted as `bytes`, then evicts the
  // least recently used entries while the total is over the budget.
  Value& Put(const Key& key, Value value, std::size_t bytes) {
    Erase(key);
    order_.push_front(Entry{key, std::move(value), bytes});
    index_.emplace(key, order_.begin());
    used_ += bytes;
    while (used_ > budget_ && order_.size() > 1) {
      Erase(order_.back().key);
    }
    return order_.front().value;
  }

  void Erase(const Key& key) {
    const auto found = index_.find(key);
    if (found == index_.end()) {
      return;
    }
    used_ -= found->second->bytes;
    order_.erase(found->second);
    index_.erase(found);
  }

  void Clear() {
    index_.clear();
    order_.clear();
    used_ = 0;
  }

  [[nodiscard]] std::size_t Bytes() const { return used_; }
  [[nodiscard]] std::size_t Size() const { return order_.size(); }

 private:
  struct Entry {
    Key key;
    Value value;
    std::size_t bytes;
  };

  std::size_t budget_;
  std::size_t used_ = 0;
  std::list<Entry> order_;  // most recently used first
  std::unordered_map<Key, typename std::list<Entry>::iterator> index_;
};

}  // namespace lvx::pdf

#endif
