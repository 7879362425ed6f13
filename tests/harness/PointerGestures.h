#pragma once

#include <QPoint>

#include <functional>

class VirtualDisplay;

// Drags with the real pointer of a private X server, as a person does: presses at `from`,
// moves to `to` in steps and lets go once `ready` holds. Once a drag has started the steps run
// inside Qt's drag loop, from a timer; after 8 s the button is let go wherever the pointer is,
// so that the loop always ends. True once the button was let go and no drag of this process
// runs any more.
bool dragWithPointer(
    const VirtualDisplay& display, const QPoint& from, const QPoint& to,
    const std::function<bool()>& ready = [] { return true; });
