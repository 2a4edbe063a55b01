// The viewer's command line. No argument opens the window on this PC;
// `--source DIR` alone opens it on the traces in DIR (a Windows volume's
// root or a user's profile). `--export` and `--report` collect without a
// window (ExportRun.h) and end with an exit code.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "report/ExportWriter.h"

namespace tmr {

struct CommandLine {
  // --source DIR (or --source=DIR); none is this PC.
  std::optional<std::string> sourceFolder;
  // --export DIR: one file per category there.
  std::optional<std::string> exportFolder;
  // --report FILE: the HTML report of every category instead.
  std::optional<std::string> reportFile;
  // --format csv|tsv|html|jsonl|timesketch (csv by default); timesketch is
  // the timeline server's CSV for the timeline, CSV for the categories.
  ExportFormat format = ExportFormat::kCsv;
  // --categories KEYS|all: keys ("d1") or file names ("chrome-url-history")
  // separated by commas; empty is all.
  std::vector<std::string> categories;
  bool timeline = false;  // --timeline
  bool utc = false;       // --utc
  bool help = false;      // --help
  // Why the arguments were not understood, for the user; "" when they were.
  std::string error;

  // Whether the program writes files (or the usage) and ends, no window.
  bool WithoutWindow() const { return exportFolder || reportFile || help; }
};

// The arguments after the program's name, as the system split them.
CommandLine ParseCommandLine(std::span<const std::string> arguments);

// What the program takes, for the console after --help or a wrong command.
inline constexpr char kCommandLineUsage[] =
    "Usage:\r\n"
    "  tracemere.exe                      the window, on this PC\r\n"
    "  tracemere.exe --source DIR         the window, on the traces in DIR\r\n"
    "  tracemere.exe --export DIR [--format csv|tsv|html|jsonl|timesketch]\r\n"
    "                [--categories KEYS|all] [--timeline] [--source DIR] [--utc]\r\n"
    "                                     one file per category in DIR, no window\r\n"
    "  tracemere.exe --report FILE [--source DIR] [--utc]\r\n"
    "                                     the HTML report of every category\r\n"
    "  tracemere.exe --help               this text\r\n"
    "DIR for --source is a Windows volume's root or a user's profile folder.\r\n"
    "KEYS are category keys (d1) or file names (chrome-url-history), separated by commas.\r\n"
    "Exit code: 0 every file written, 1 a file could not be written, 2 a bad argument.\r\n";

}  // namespace tmr
