#pragma once

// Whole wheel notches out of the deltas Qt reports in eighths of a degree: a notch of an
// ordinary wheel is 120, and touchpads send smaller deltas that add up to one. Positive away
// from the user.
class WheelSteps {
public:
    static constexpr int notch = 120;

    // The notches completed by `angleDelta`; the rest waits for the next delta in the same
    // direction (a turn the other way starts afresh).
    int add(int angleDelta) {
        if ((angleDelta > 0 && m_remainder < 0) || (angleDelta < 0 && m_remainder > 0))
            m_remainder = 0;
        m_remainder += angleDelta;
        const int steps = m_remainder / notch;
        m_remainder -= steps * notch;
        return steps;
    }

private:
    int m_remainder = 0;
};
