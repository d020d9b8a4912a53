#pragma once

#include <functional>

// How the window's thread stays answering while the run waits for a file server, a disk or a
// database: the one place that decides what runs off that thread. Platform calls themselves are
// plain and synchronous; the run's steps hand whole steps to CallAnswering.
namespace platform {

// Runs call on a thread of its own (one for the process, kept between calls) while the calling
// thread's windows repaint and answer the messages sent to them, as KeepResponsive lets them; no
// input, tick or posted message is taken off the queue. What call raises is raised here. Work
// started beside (StartBeside) is finished first. Where that thread cannot serve (it could not be
// started, or call is made from that thread itself), call runs on the calling thread.
void CallAnswering(const std::function<void()>& call);

// Hands work to the same thread without waiting for it: work that overlaps whatever the caller
// does next. False, with work not taken, when there is no such thread; work must not raise.
bool StartBeside(std::function<void()> work);

// Lets the calling thread's windows repaint and answer the messages sent to them (another process
// reading a control, the system asking whether the program still responds), while input, timer
// and posted messages stay queued, in their order, for the message loop. A long step on the
// window's thread calls it between pieces of work: the window shows how far the step has got and
// never looks hung, yet no click and no tick is handled before the step has ended. Cheap enough for
// every line: repaints come a few dozen times a second at most.
void KeepResponsive() noexcept;

}  // namespace platform
