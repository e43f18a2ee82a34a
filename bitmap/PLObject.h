// The root of every class of the bitmap library: bitmaps, readers, writers,
// sources, sinks and the exception.
#pragma once

class PLObject {
public:
    PLObject() = default;
    PLObject(const PLObject&) = default;
    PLObject& operator=(const PLObject&) = default;
    virtual ~PLObject();

    // A consistency check for debugging; nothing here needs one.
    virtual void Validate() const;
};
