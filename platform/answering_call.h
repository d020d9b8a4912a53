#pragma once

#include <functional>

namespace platform {

// Runs call on a thread of its own (one for the process, kept between calls) while the calling
// thread's windows repaint and answer the messages sent to them, as KeepResponsive lets them; no
// input, tick or posted message is taken off the queue. A step that may block for as long as a
// file server or a disk takes goes through it, so that the window never looks hung. What call
// raises is raised here. Where that thread cannot serve (it could not be started, or call is made
// from inside another call), call runs on the calling thread.
void CallAnswering(const std::function<void()>& call);

}  // namespace platform
