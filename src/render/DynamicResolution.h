#pragma once

// The share of the picture area's size the scene is drawn at, driven by how long frames take:
// it aims at 90% of a 60 Hz frame, steps down at once after a frame over that, and steps up only
// after about a second under it, and only where the larger scene is expected to fit too. It
// moves in 5% steps and never below half the area's size. Locked, it stays at full size.
class DynamicResolution {
public:
    static constexpr double FRAME_BUDGET_MS = 1000.0 / 60.0;
    static constexpr double TARGET_MS = 0.9 * FRAME_BUDGET_MS;
    static constexpr float STEP = 0.05f;
    static constexpr float LOWEST = 0.5f;
    static constexpr double SETTLE_MS = 1000.0;

    // Takes the time the last frame's drawing took; returns the scale for the next frame.
    float afterFrame(double frameMilliseconds);
    float scale() const;
    void lockFullResolution(bool locked);

private:
    int stepsDown = 0; // of STEP below full size
    double underFor = 0.0; // milliseconds of frames in a row under the target
    bool locked = false;
};
