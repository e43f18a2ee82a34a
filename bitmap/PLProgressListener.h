// Told how far a source has been read, as a fraction from 0 to 1.
#pragma once

class PLProgressListener {
public:
    PLProgressListener() = default;
    PLProgressListener(const PLProgressListener&) = default;
    PLProgressListener& operator=(const PLProgressListener&) = default;
    virtual ~PLProgressListener();

    virtual void OnProgress(double fraction) = 0;
};
