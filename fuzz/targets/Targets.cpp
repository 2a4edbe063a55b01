#include <array>

#include "FuzzTargets.h"

namespace tmr::fuzz {

std::span<const Target> Targets() {
  static constexpr std::array<Target, 18> kTargets{{
      {"mru_decode", CheckMruDecode},
      {"url_cache_container", CheckUrlCacheContainer},
      {"index_dat_scan", CheckIndexDatScan},
      {"cookie_rules", CheckCookieRules},
      {"utf8_text", CheckUtf8Text},
      {"numbers_and_dates", CheckNumbersAndDates},
      {"update_texts", CheckUpdateTexts},
      {"html_escape", CheckHtmlEscape},
      {"recycle_bin", CheckRecycleBinEntry},
      {"user_assist", CheckUserAssist},
      {"office_mru", CheckOfficeMru},
      {"activity_payload", CheckActivityPayload},
      {"powershell_history", CheckPowerShellHistory},
      {"shell_items", CheckShellItems},
      {"shell_link", CheckShellLink},
      {"compound_file", CheckCompoundFile},
      {"jump_list", CheckJumpList},
      {"registry_hive", CheckRegistryHive},
  }};
  return kTargets;
}

}  // namespace tmr::fuzz
