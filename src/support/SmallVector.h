#ifndef PAVENDA_SUPPORT_SMALLVECTOR_H
#define PAVENDA_SUPPORT_SMALLVECTOR_H

#include <algorithm>
#include <array>
#include <cstddef>
#include <initializer_list>
#include <type_traits>
#include <vector>

namespace pavenda {

/// A vector whose first `N` elements live inside it, so that short lists take no heap; beyond
/// them all elements move to the heap. Only what the library needs of `std::vector`, for trivially
/// copyable elements. (Polymorphic allocators would do the same, but Apple's libc++ ships them only
/// from iOS 17.)
template <typename T, std::size_t N> class SmallVector {
  static_assert(std::is_trivially_copyable_v<T> && std::is_default_constructible_v<T>);

public:
  SmallVector() = default;
  SmallVector(std::initializer_list<T> items) {
    for (const T& item : items)
      push_back(item);
  }

  T* data() noexcept { return onHeap_ ? heap_.data() : local_.data(); }
  const T* data() const noexcept { return onHeap_ ? heap_.data() : local_.data(); }
  std::size_t size() const noexcept { return size_; }
  bool empty() const noexcept { return size_ == 0; }

  T* begin() noexcept { return data(); }
  T* end() noexcept { return data() + size_; }
  const T* begin() const noexcept { return data(); }
  const T* end() const noexcept { return data() + size_; }

  T& operator[](std::size_t i) noexcept { return data()[i]; }
  const T& operator[](std::size_t i) const noexcept { return data()[i]; }

  void clear() noexcept { resize(0); }

  void reserve(std::size_t n) {
    if (n > N)
      toHeap(n);
  }

  void push_back(const T& item) {
    if (!onHeap_ && size_ == N)
      toHeap(2 * N);
    if (onHeap_)
      heap_.push_back(item);
    else
      local_[size_] = item;
    ++size_;
  }

  void pop_back() noexcept { resize(size_ - 1); }

  /// Shrinks to `n` elements, or grows with value-initialised ones.
  void resize(std::size_t n) {
    if (n > N)
      toHeap(n);
    if (onHeap_)
      heap_.resize(n);
    else
      std::fill(local_.begin() + static_cast<std::ptrdiff_t>(std::min(size_, n)),
                local_.begin() + static_cast<std::ptrdiff_t>(n), T{});
    size_ = n;
  }

  friend bool operator==(const SmallVector& a, const SmallVector& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
  }

private:
  void toHeap(std::size_t capacity) {
    if (onHeap_) {
      heap_.reserve(capacity);
      return;
    }
    heap_.reserve(std::max(capacity, size_));
    heap_.assign(local_.begin(), local_.begin() + static_cast<std::ptrdiff_t>(std::min(size_, N)));
    onHeap_ = true;
  }

  std::array<T, N> local_{};
  std::vector<T> heap_;
  std::size_t size_ = 0;
  bool onHeap_ = false;
};

} // namespace pavenda

#endif
