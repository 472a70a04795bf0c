// The product's count in the running-instance semaphore that the setup program reads.
#pragma once

#include <windows.h>

#include "support/handles.h"

// Adds one count for this process while it lives; takes it back at the end.
class RunningInstance {
public:
    RunningInstance();
    ~RunningInstance();
    RunningInstance(const RunningInstance&) = delete;
    RunningInstance& operator=(const RunningInstance&) = delete;

private:
    cv::unique_handle semaphore_;
    bool counted_ = false;
};
