#include "base/FormPlacement.h"

#include <cmath>

namespace kora {

FormPlacement FormPlacement::centred(long screenWidth, long screenHeight, long windowWidth,
                                     long windowHeight)
{
    auto whole = [](double value) { return static_cast<long>(std::floor(value)); };
    long top = whole(screenHeight / 2.5) - whole(windowHeight / 2.0);
    long left = whole(screenWidth / 2.0) - whole(windowWidth / 2.0);
    return {top < 0 ? 0 : top, left < 0 ? 0 : left};
}

} // namespace kora
