#include "platform/ProgressFill.h"

#include <algorithm>

namespace plat {

int DrawnFill(int inner, int min, int max, int position) {
    if (max <= min || inner <= 0) return 0;
    position = std::max(min, std::min(max, position));
    // MulDiv: the product in 64 bits, rounded half up.
    const long long range = static_cast<long long>(max) - min;
    const long long done = static_cast<long long>(position) - min;
    return static_cast<int>((done * inner + range / 2) / range);
}

}  // namespace plat
