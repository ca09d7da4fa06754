#pragma once

namespace quirex::app
{

// What the converter sees of the progress window of a running window-mode
// conversion: it advances the bar and reads the Cancel flag between its
// steps. The converter uses it only while its message switch is on.
class ConversionProgress
{
public:
    virtual ~ConversionProgress() = default;

    // Advances the overall bar by `units` (1 or 2), then lets waiting window
    // messages run, so the windows repaint and Cancel is handled.
    virtual void step(int units) = 0;

    // True once the user pressed Cancel; it never goes back to false.
    virtual bool cancelled() const = 0;
};

} // namespace quirex::app
