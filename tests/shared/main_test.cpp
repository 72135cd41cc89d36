// Test program of the shared services. Besides the tests it runs as its own child process for the
// cases that need a second process or a fresh one:
//   --child hold MS EVENT   holds the log file open for writing for MS milliseconds (EVENT is set once
//                           the file is held)
//   --child writer          makes one log writer, as the first of the process; exit code 0 when enabled
//   --child lines N TAG EVENT   once EVENT is set, writes the lines "TAG 0" to "TAG N-1" to the log
#include "LogTestSupport.h"
#include "shared/LogWriter.h"
#include "support/TestMain.h"

#include <gtest/gtest.h>
#include <objbase.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int ChildMain(int argc, char** argv) {
    const char* mode = argc > 2 ? argv[2] : "";
    if (std::strcmp(mode, "hold") == 0 && argc > 4) {
        API::Win32::File file;
        if (!file.open(logtest::LogFile().c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0,
                       nullptr))
            return 2;
        API::Win32::Handle held(::OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[4]));
        if (!held.isValid() || !::SetEvent(held.get())) return 3;
        ::Sleep(static_cast<DWORD>(std::atoi(argv[3])));
        return 0;
    }
    if (std::strcmp(mode, "lines") == 0 && argc > 5) {
        API::Win32::Handle start(::OpenEventA(SYNCHRONIZE, FALSE, argv[5]));
        if (!start.isValid() || ::WaitForSingleObject(start.get(), 30000) != WAIT_OBJECT_0) return 3;
        LogWriter writer;
        if (!writer.isEnabled()) return 1;
        const int count = std::atoi(argv[3]);
        for (int i = 0; i < count; ++i)
            writer.write((std::string(argv[4]) + " " + std::to_string(i)).c_str());
        return 0;
    }
    if (std::strcmp(mode, "writer") == 0) {
        LogWriter writer;
        return writer.isEnabled() ? 0 : 1;
    }
    return 100;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--child") == 0) return ChildMain(argc, argv);
    return RunTests(argc, argv);
}
