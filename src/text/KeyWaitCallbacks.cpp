#include "text/KeyWaitCallbacks.h"

#include "script/ScriptHost.h"

namespace tessel {

void KeyWaitCallbacks::Set(std::string begin, std::string tick, std::string end, int marker_width) {
  begin_ = std::move(begin);
  tick_ = std::move(tick);
  end_ = std::move(end);
  marker_width_ = marker_width;
}

void KeyWaitCallbacks::Place(int x, int y) {
  x_ = x;
  y_ = y;
  stopwatch_.Restart();
}

void KeyWaitCallbacks::CallBegin() {
  if (begin_.empty() || !Host().IsOpen()) return;
  Host().PrepareCall(begin_, 2);
  Host().PushNumber(x_);
  Host().PushNumber(y_);
  Host().Call();
}

void KeyWaitCallbacks::CallTick() {
  if (tick_.empty() || !Host().IsOpen()) return;
  const std::uint32_t elapsed = stopwatch_.Measure();
  Host().PrepareCall(tick_, 3);
  Host().PushNumber(x_);
  Host().PushNumber(y_);
  Host().PushNumber(elapsed);
  Host().Call();
}

void KeyWaitCallbacks::CallEnd() {
  if (end_.empty() || !Host().IsOpen()) return;
  Host().PrepareCall(end_, 0);
  Host().Call();
}

}  // namespace tessel
