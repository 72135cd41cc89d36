#include "files/DirectoryService.h"

STDMETHODIMP CDirectoryService::get(BSTR, BSTR, VARIANT*) noexcept { return E_NOTIMPL; }
