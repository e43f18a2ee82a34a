// The one exception of the bitmap library: a code (what went wrong) and a
// text. Thrown by value, caught by const reference.
#pragma once

#include "bitmap/PLObject.h"

#include <string>

class PLTextException : public PLObject {
public:
    // Codes in use: -1 a file or buffer could not be opened or allocated; 1 the
    // data is not a (valid) BMP file; 2 an unsupported bits-per-pixel value;
    // 4 a resource could not be found; 6 a feature of the data or the request
    // is not supported; 7 a memory sink used before Open; 11 reading past the
    // end of a source or writing past the capacity of a sink.
    PLTextException(int code, const char* text);
    PLTextException(const PLTextException&) = default;
    PLTextException& operator=(const PLTextException&) = default;
    ~PLTextException() override;

    virtual int Code() const;
    virtual const char* Text() const;

private:
    int m_code;
    std::string m_text;
};
