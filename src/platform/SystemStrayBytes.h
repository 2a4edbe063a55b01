// The system ANSI code page's characters for the bytes that the UTF-8
// decoder meets on their own (0x80..0xBF), read once per process.
#pragma once

#include "core/Utf8Text.h"

namespace tmr {

const StrayByteTable& SystemStrayBytes();

}  // namespace tmr
