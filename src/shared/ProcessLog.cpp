#include "shared/ProcessLog.h"

void StartProcessLog() noexcept {}
void StopProcessLog() noexcept {}
