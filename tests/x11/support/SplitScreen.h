#pragma once

#include <vector>

struct _XDisplay;

namespace x11_testing {

// Splits the X screen into two monitors side by side, as RandR reports them, until it goes.
class SplitScreen {
public:
    // The left monitor ends at x = split.
    explicit SplitScreen(int split);
    ~SplitScreen();
    SplitScreen(const SplitScreen&) = delete;
    SplitScreen& operator=(const SplitScreen&) = delete;

private:
    void add(const char* name, int x, int width, int height, unsigned long output);

    _XDisplay* display_;
    std::vector<unsigned long> names_;
};

}  // namespace x11_testing
