#include "app/ReadTurn.h"

#include <utility>
#include <vector>

namespace tmr {
namespace {

// The window thread is the only one that reads, so no lock is needed.
struct TurnState {
  bool taken = false;
  std::function<void()> askToStop;
  std::vector<std::function<void()>> waiters;
};

TurnState& State() {
  static TurnState state;
  return state;
}

}  // namespace

ReadTurn::ReadTurn(std::function<void()> askToStop) {
  TurnState& state = State();
  if (state.taken) return;
  state.taken = true;
  state.askToStop = std::move(askToStop);
  held_ = true;
}

ReadTurn::~ReadTurn() {
  if (!held_) return;
  TurnState& state = State();
  state.taken = false;
  state.askToStop = nullptr;
  std::vector<std::function<void()>> waiters = std::exchange(state.waiters, {});
  for (auto& run : waiters) run();
}

bool ReadTurn::Taken() { return State().taken; }

void ReadTurn::AskHolderToStop() {
  if (State().askToStop) State().askToStop();
}

void ReadTurn::WhenFree(std::function<void()> run) {
  if (!State().taken) {
    run();
    return;
  }
  State().waiters.push_back(std::move(run));
}

}  // namespace tmr
