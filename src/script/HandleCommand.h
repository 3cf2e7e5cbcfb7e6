#pragma once

#include "script/ScriptFunction.h"

namespace tessel {

// Base of the commands whose first argument is a handle to a T. A released,
// stale or foreign handle (nil, a number, an object of another class) gets
// the family's answer and nil for each of Results(); Run gets the live object.
//
// The family's answer, on standard error, is named by T: its
// kReleasedMessage, or, for a family without a message of its own, a line
// saying that argument 1 is not a live T::kHandleName.
template <class T>
class HandleCommand : public ScriptFunction {
 protected:
  virtual int Results() const { return 0; }
  virtual int Run(T& object) = 0;

 private:
  int Invoke() final {
    T* object = ArgObject<T>(1);
    if (object == nullptr) return NoObject();
    return Run(*object);
  }

  int NoObject() {
    if constexpr (requires { T::kReleasedMessage; }) {
      return Released(T::kReleasedMessage, Results());
    } else {
      return BadHandle(1, T::kHandleName, Results());
    }
  }
};

}  // namespace tessel
