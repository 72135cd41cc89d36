// The body of every test program's entry point but the registration tests'.
#pragma once

// Runs the tests with COM initialised on the main thread as a single-threaded apartment, as the
// library's objects expect. The library's classes are served from the copy linked into the program:
// CoCreateInstance and script's ActiveXObject reach it and the registered Zembrolatix.dll is never
// loaded (checked at the end), so the module's globals and caches exist once. The CTest environment
// setting ZEMBROLATIX_TEST_STORAGE=ordinary makes the storage choice that of Windows versions up to 5.
int RunTests(int argc, char** argv);
