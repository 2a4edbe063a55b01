// One read at a time. A category's reader and the report's readers let the
// window's messages run while they read, so a click could start a second
// read inside the first: the rows of two stores would mix in one list, and
// the inner read's end would shut the SQLite library down under the outer
// one's open database. A read takes the turn for as long as it runs;
// whoever finds it taken waits for it (WhenFree).
#pragma once

#include <functional>

namespace tmr {

class ReadTurn {
 public:
  // Takes the turn for this object's life; Held() says whether it got it
  // (false: a read holds it already). askToStop is how the holder is asked
  // to end its read early (the program is closing).
  explicit ReadTurn(std::function<void()> askToStop);
  ~ReadTurn();
  ReadTurn(const ReadTurn&) = delete;
  ReadTurn& operator=(const ReadTurn&) = delete;
  bool Held() const { return held_; }

  static bool Taken();
  // Asks the holder to stop, if any.
  static void AskHolderToStop();
  // Runs once the turn is free: now if it is, else when the holder lets it
  // go, on the holder's stack, so the waiter should only post itself a
  // message there. Waiters run in the order they asked.
  static void WhenFree(std::function<void()> run);

 private:
  bool held_ = false;
};

}  // namespace tmr
