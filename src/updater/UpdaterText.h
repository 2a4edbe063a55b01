// The updater's texts and small parsers: file names from addresses, the
// size and progress texts, the reply's status code, signature encodings.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tmr {

// The file name at the end of an "http://" address, or "" (an address of
// fewer than 2 characters, one not starting with "http://", "http://"
// itself, no "/" before the last character, or a name without a "." before
// its last character).
std::string FileNameFromUrl(std::string_view url);

// "File Size:" + the size in units of 1,024,000 bytes rounded to two
// decimals (halves to even) + " MB", in the given decimal separator.
std::string SizeText(double contentLength, std::string_view decimalSeparator);

// Whole percent, halves to even: "0" .. "100" ("0" for an unknown size of
// 0 or less; a count past the size, or below 0, is held to the range).
std::string PercentText(int64_t received, int64_t expected);

// Characters 10 to 12 (1-based) of the reply's header text: the status
// code of an "HTTP/1.x nnn" line.
std::string StatusCodeText(std::string_view headerText);

// The header text up to and including its first CR, or "<nothing>".
std::string FirstHeaderLine(std::string_view headerText);

// The largest installer the updater takes: many times any real one. It
// also ends a download whose size the server did not say.
inline constexpr int64_t kMaxDownloadBytes = int64_t{256} << 20;

// The number in a Content-Length value, rounded to 32 bits; 0 (unknown)
// when missing, below 0, or above kMaxDownloadBytes: the reply is plain
// HTTP, and such a size is a damaged or hostile header.
int32_t ContentLengthValue(std::string_view value);

// A DER-encoded ECDSA signature (SEQUENCE of two INTEGERs) as the fixed
// r||s form of the given width per number (32 for P-256); nullopt when the
// encoding is damaged or a number does not fit.
std::optional<std::vector<uint8_t>> DerSignatureToRaw(const std::vector<uint8_t>& der, size_t width = 32);

// Hex text (no separators) as bytes; nullopt for anything else.
std::optional<std::vector<uint8_t>> HexToBytes(std::string_view hex);

}  // namespace tmr
