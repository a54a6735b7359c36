#include "source/editor/EditorSize.h"

#include <array>
#include <cmath>

#include "source/editor/EditorLayout.h"

namespace skarvel {

EditorSize editorSizeForIndex(float sizeIndex) {
  // Single-precision constants widened to double, so 0.89 is 0.8899999856948853.
  static constexpr std::array<float, 6> kScales{0.89f, 1.0f, 1.22f, 1.4f, 1.7f, 1.98f};
  EditorSize size;
  // The stored index is truncated; NaN and values far out of range count as "any other".
  if (std::isfinite(sizeIndex)) {
    const double truncated = std::trunc(static_cast<double>(sizeIndex));
    if (truncated >= 0 && truncated < static_cast<double>(kScales.size())) {
      size.index = static_cast<int>(truncated);
      size.scale = static_cast<double>(kScales[static_cast<std::size_t>(size.index)]);
    }
  }
  size.width = size.scale * kBaseWidth;
  size.height = size.scale * kBaseHeight;
  return size;
}

}  // namespace skarvel
