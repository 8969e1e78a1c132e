// What the engine calls when a host tempo change needs every derived value
// rebuilt (the parameter model implements it).
#pragma once

class RecomputeHandler {
public:
    virtual void recompute(bool flag) = 0;

protected:
    ~RecomputeHandler() = default;
};
