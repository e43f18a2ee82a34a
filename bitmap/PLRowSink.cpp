#include "bitmap/PLRowSink.h"

PLRowSink::~PLRowSink() = default;
