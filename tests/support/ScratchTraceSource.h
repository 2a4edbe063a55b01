// This PC's registry (a test's scratch registry) with the user's folders,
// fixed drives and SID set by the test, so that readers of files find a
// test's temp folders where they would find the user's, and the Recycle
// Bin of a made-up drive.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "readers/TraceSource.h"

namespace tmr::test {

class ScratchTraceSource final : public TraceSource {
 public:
  std::map<TraceFolder, std::string> folders;
  std::vector<std::string> driveRoots;
  std::string sid;

  std::string Name() const override { return "test folders"; }
  bool Live() const override { return false; }
  std::optional<std::string> Text(TraceRoot root, std::string_view key, std::string_view name) const override {
    return LiveTraceSource().Text(root, key, name);
  }
  std::optional<std::vector<std::string>> ValueNames(TraceRoot root, std::string_view key) const override {
    return LiveTraceSource().ValueNames(root, key);
  }
  std::vector<std::string> SubKeys(TraceRoot root, std::string_view key) const override {
    return LiveTraceSource().SubKeys(root, key);
  }
  std::vector<uint8_t> Bytes(TraceRoot root, std::string_view key, std::string_view name) const override {
    return LiveTraceSource().Bytes(root, key, name);
  }
  std::optional<std::vector<TraceValue>> Values(TraceRoot root, std::string_view key) const override {
    return LiveTraceSource().Values(root, key);
  }
  std::optional<uint64_t> KeyLastWritten(TraceRoot root, std::string_view key) const override {
    return LiveTraceSource().KeyLastWritten(root, key);
  }
  std::string Folder(TraceFolder folder) const override {
    const auto found = folders.find(folder);
    return found == folders.end() ? std::string() : found->second;
  }
  std::vector<std::string> FixedDriveRoots() const override { return driveRoots; }
  std::string UserSid() const override { return sid; }
  std::string ComputerName() const override { return "PC"; }
  std::string UserName() const override { return "user"; }
  std::string WindowsFamily() const override { return LiveTraceSource().WindowsFamily(); }
};

}  // namespace tmr::test
