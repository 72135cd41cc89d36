// The process-wide log writer "CScriptLogger", made while the module loads and destroyed when it
// unloads. It takes the log switch as it stands at load time.
#pragma once

class LogWriter;

void StartProcessLog() noexcept;
void StopProcessLog() noexcept;

// The process-wide writer, or null outside the module's lifetime.
LogWriter* ProcessLog() noexcept;
