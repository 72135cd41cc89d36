#include "module/Module.h"

#include <new>

CZembrolatixModule g_module;

bool CZembrolatixModule::AddTermFunc(TermFunc func, void* data) noexcept {
    std::lock_guard guard(m_staticDataLock);
    if (m_termCount == kMaxTermFuncs) return false;
    m_termFuncs[m_termCount++] = TermEntry{func, data};
    return true;
}

void CZembrolatixModule::RunTermFuncs() noexcept {
    std::lock_guard guard(m_staticDataLock);
    while (m_termCount > 0) {
        TermEntry entry = m_termFuncs[--m_termCount];
        entry.func(entry.data);
    }
}
