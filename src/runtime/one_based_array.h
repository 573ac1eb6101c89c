#pragma once

#include <array>
#include <cassert>
#include <cstddef>

namespace Runtime {

// A fixed array indexed from 1, like the rows of buttons it describes.
template <typename T, int N>
class OneBasedArray {
 public:
  T& operator()(int i) {
    assert(i >= 1 && i <= N);
    return items_[static_cast<size_t>(i - 1)];
  }
  const T& operator()(int i) const {
    assert(i >= 1 && i <= N);
    return items_[static_cast<size_t>(i - 1)];
  }
  static constexpr int Size() { return N; }
  bool operator==(const OneBasedArray&) const = default;

 private:
  std::array<T, N> items_{};
};

}  // namespace Runtime
