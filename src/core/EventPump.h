#pragma once
// Hands control to the front end's event processing for a moment, so the
// window repaints and a Stop click is seen between rows, items and stages.

namespace pelmora::core {

class EventPump {
public:
    virtual ~EventPump() = default;
    // Processes the user-interface events that are waiting, then returns.
    virtual void ProcessEvents() = 0;
};

} // namespace pelmora::core
