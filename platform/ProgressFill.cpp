#include "platform/ProgressFill.h"

#include <algorithm>

namespace plat {

int MulDivRounded(int a, int b, int c) {
    if (c <= 0) return 0;
    return static_cast<int>((static_cast<long long>(a) * b + c / 2) / c);
}

int DrawnFill(const ProgressBarLook& look, int min, int max, int position) {
    if (max <= min || look.inner <= 0) return 0;
    position = std::max(min, std::min(max, position));
    const int block = std::max(1, look.block);
    const int end = MulDivRounded(position - min, look.inner, max - min);
    return std::min((end + block - 1) / block * block, look.inner);
}

}  // namespace plat
