#include "demo/DemoRecord.h"

#include <cstdio>

namespace kora {

std::string DemoRecord::digits(long long value, int width)
{
    char text[32];
    std::snprintf(text, sizeof text, "%0*lld", width, value);
    return text;
}

} // namespace kora
