// Entry points for what arrives over plain HTTP: the version reply, and the
// updater's header texts, sizes and signature encodings.
#include <cmath>
#include <string>

#include "FuzzInput.h"
#include "FuzzTargets.h"
#include "app/UpdateCheck.h"
#include "updater/UpdaterText.h"

namespace tmr::fuzz {
namespace {

std::string CheckVersionReply(std::string_view body) {
  const std::optional<float> version = ParseVersionBody(body);
  if (version && !std::isfinite(*version)) return "a version that is not a finite number";
  for (bool autoCheck : {false, true}) {
    const UpdateDecision decision = DecideUpdate(std::string(body), 5.2f, autoCheck);
    if (!std::isfinite(decision.newVersion)) return "an update decision on a version that is not finite";
    if (decision.step == UpdateStep::kOfferNewVersion) {
      const std::string question = NewVersionQuestion(decision.newVersion, ",");
      if (question.find("INF") != std::string::npos || question.find("NAN") != std::string::npos) {
        return "an offer of a version that is no number";
      }
    }
  }
  return "";
}

std::string CheckHeaderTexts(FuzzInput& in) {
  const std::string_view text = in.Rest();
  const std::string name = FileNameFromUrl(text);
  if (!name.empty() && (name.size() >= text.size() || text.substr(text.size() - name.size()) != name)) {
    return "a file name that does not end the address";
  }
  const std::string code = StatusCodeText(text);
  if (!code.empty() && text.substr(9, 3) != code) return "a status code that is not characters 10 to 12";
  const std::string line = FirstHeaderLine(text);
  if (line != "<nothing>" && (text.substr(0, line.size()) != line || line.back() != '\r')) {
    return "a first line that is not the text up to its first CR";
  }
  const int32_t length = ContentLengthValue(text);
  if (length < 0 || length > kMaxDownloadBytes) return "a Content-Length outside 0 .. the maximum";
  return "";
}

std::string CheckSizes(FuzzInput& in) {
  const int64_t received = in.Number<int64_t>();
  const int64_t expected = in.Number<int64_t>();
  const std::string percent = PercentText(received, expected);
  const int value = std::stoi(percent);  // as the updater's window reads it
  if (value < 0 || value > 100 || std::to_string(value) != percent) return "a percent outside 0 .. 100";
  SizeText(in.Number<double>(), ".");
  FormatSingle(in.Number<float>(), ",");
  return "";
}

std::string CheckSignatureTexts(FuzzInput& in) {
  const size_t width = 1 + in.Byte() % 64;
  const std::string_view rest = in.Rest();
  const std::vector<uint8_t> der(rest.begin(), rest.end());
  if (auto raw = DerSignatureToRaw(der, width); raw && raw->size() != 2 * width) return "a raw signature of wrong size";
  if (auto bytes = HexToBytes(rest)) {
    if (bytes->size() * 2 != rest.size()) return "hex text and bytes of different lengths";
    static constexpr char kDigits[] = "0123456789abcdef";
    for (size_t i = 0; i < bytes->size(); ++i) {
      const char high = static_cast<char>(std::tolower(static_cast<unsigned char>(rest[2 * i])));
      const char low = static_cast<char>(std::tolower(static_cast<unsigned char>(rest[2 * i + 1])));
      if (kDigits[(*bytes)[i] >> 4] != high || kDigits[(*bytes)[i] & 15] != low) return "hex read wrongly";
    }
  }
  return "";
}

}  // namespace

// The first byte chooses the texts; the rest are their input.
std::string CheckUpdateTexts(std::string_view input) {
  FuzzInput in(input);
  switch (in.Byte() % 4) {
    case 0: return CheckVersionReply(in.Rest());
    case 1: return CheckHeaderTexts(in);
    case 2: return CheckSizes(in);
    default: return CheckSignatureTexts(in);
  }
}

}  // namespace tmr::fuzz
