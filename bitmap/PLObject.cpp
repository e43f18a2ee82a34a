#include "bitmap/PLObject.h"

PLObject::~PLObject() = default;

void PLObject::Validate() const
{
}
