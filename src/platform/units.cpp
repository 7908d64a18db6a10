#include "platform/units.h"

#include <climits>
#include <cmath>

namespace platform {

int roundHalfEven(double x)
{
    // Under the default rounding mode nearbyint takes halves to even.
    const double r = std::nearbyint(x);
    if (!(r >= static_cast<double>(INT_MIN)))
        return INT_MIN;
    if (r > static_cast<double>(INT_MAX))
        return INT_MAX;
    return static_cast<int>(r);
}

} // namespace platform
