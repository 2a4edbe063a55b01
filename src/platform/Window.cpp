#include "platform/Window.h"

namespace tmr {

void ReportUnexpectedException(const char* where) noexcept {
  OutputDebugStringA("Tracemere: unexpected exception in ");
  OutputDebugStringA(where);
  OutputDebugStringA("\n");
}

}  // namespace tmr
