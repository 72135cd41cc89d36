// The process-wide log writer "CScriptLogger", made while the module loads.
#pragma once

void StartProcessLog() noexcept;
void StopProcessLog() noexcept;
