#include "bitmap/PLProgressListener.h"

PLProgressListener::~PLProgressListener() = default;
