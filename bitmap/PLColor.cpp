#include "bitmap/PLColor.h"

bool PLColor::operator==(const PLColor& other) const
{
    return b == other.b && g == other.g && r == other.r && a == other.a;
}
