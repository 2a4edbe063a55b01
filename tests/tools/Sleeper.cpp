// Waits a minute and ends: a running process with a chosen file name for
// the tests that end processes by name.
#include <windows.h>

int main() {
  Sleep(60000);
  return 0;
}
