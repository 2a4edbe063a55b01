// Where a window program writes when it runs without a window: the handles
// it was given (a script's redirection) or else the console of the program
// that started it (a command prompt), attached for the purpose. Without
// either, lines go nowhere.
#pragma once

#include <windows.h>

#include <string>

namespace tmr {

class ParentConsole {
 public:
  ParentConsole();
  ParentConsole(const ParentConsole&) = delete;
  ParentConsole& operator=(const ParentConsole&) = delete;

  // Whether lines reach anyone.
  bool Available() const;
  // One line of UTF-8, its end added.
  void Out(const std::string& line) { Write(out_, line); }
  void Error(const std::string& line) { Write(error_, line); }

 private:
  void Write(HANDLE handle, const std::string& line);

  HANDLE out_ = nullptr;
  HANDLE error_ = nullptr;
};

}  // namespace tmr
