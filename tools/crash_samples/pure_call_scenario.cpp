// Built without optimisation (see CMakeLists.txt): an optimiser sees the
// pure call is undefined and removes it, and the test would prove nothing.
#include "pure_call_scenario.h"

namespace {

struct Shape {
    Shape() { Describe(); }
    virtual ~Shape() = default;
    void Describe() { Area(); }
    virtual int Area() = 0;
};

struct Square : Shape {
    int Area() override { return 1; }
};

}  // namespace

int RunPureCallScenario() {
    Square square;
    return 80 + square.Area();
}
