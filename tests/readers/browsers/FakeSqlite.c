/* Stands in for the SQLite library in the tests of a library that lacks
   functions: it initialises and shuts down, and has nothing else. */
__declspec(dllexport) int sqlite3_initialize(void) { return 0; }
__declspec(dllexport) int sqlite3_shutdown(void) { return 0; }
