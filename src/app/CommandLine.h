// The viewer's command line. Today it names where the traces are read from;
// no argument opens the window on this PC:
//   tracemere.exe --source DIR     the window on the traces in DIR (a
//                                  Windows volume's root or a user's profile)
#pragma once

#include <optional>
#include <span>
#include <string>

namespace tmr {

struct CommandLine {
  // --source DIR (or --source=DIR); none is this PC.
  std::optional<std::string> sourceFolder;
  // Why the arguments were not understood, for the user; "" when they were.
  std::string error;
};

// The arguments after the program's name, as the system split them.
CommandLine ParseCommandLine(std::span<const std::string> arguments);

// What the program takes, for a message after a wrong command line.
inline constexpr char kCommandLineUsage[] = "tracemere.exe [--source FOLDER]";

}  // namespace tmr
