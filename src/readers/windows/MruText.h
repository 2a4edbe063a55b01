// The MRU decoders over the registry: each call reads one binary entry and
// converts the bytes by the system's text class. Nothing here fails: an unreadable value gives "".
#pragma once

#include <string>
#include <string_view>

#include "core/MruDecode.h"

namespace tmr {

// The class of the system default locale, asked again on every call.
TextClass SystemTextClass();
// Its name: "asia", "jan" or "en".
std::string LocaleTextClass();

// The conversion of collected bytes by class, as the decoders use it: "en"
// through the ANSI code page, "asia" with the half-width mapping, "jan"
// with the katakana mapping; NUL characters dropped in every class.
std::string ConvertMruBytes(TextClass textClass, const Bytes& bytes);

// path is a full registry path with a long or short root name and a final
// "\", e.g. "HKEY_CURRENT_USER\Software\...\LastVisitedPidlMRU\".
std::string DecodeLeadingText(std::string_view path, std::string_view valueName);
std::string DecodeTrailingName(std::string_view path, std::string_view valueName);
// The same of an entry read already (the bytes and one zero byte).
std::string DecodeLeadingEntry(const Bytes& entry);
std::string DecodeTrailingEntry(const Bytes& entry);

}  // namespace tmr
