#include "shared/ProcessLog.h"

#include "shared/LogWriter.h"

#include <optional>

namespace {
// Kept in static storage: making the writer allocates nothing, so it cannot stop the module loading.
std::optional<LogWriter> g_processLog;
} // namespace

void StartProcessLog() noexcept {
    g_processLog.emplace("CScriptLogger");
}

void StopProcessLog() noexcept {
    g_processLog.reset();
}

LogWriter* ProcessLog() noexcept {
    return g_processLog ? &*g_processLog : nullptr;
}
