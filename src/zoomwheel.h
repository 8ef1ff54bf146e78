#pragma once

// Turns Ctrl+wheel deltas into zoom steps: one step per notch of an ordinary
// wheel, touchpad fractions added up, and a change of direction starting over.
class ZoomWheel
{
public:
    // Steps to take for this delta: positive to zoom in, negative out.
    int steps(int delta)
    {
        if ((delta > 0) != (_pending > 0))
            _pending = 0;
        _pending += delta;
        const int taken = _pending / notch;
        _pending -= taken * notch;
        return taken;
    }
    void reset() { _pending = 0; }

private:
    static constexpr int notch = 120;
    int _pending = 0;
};
