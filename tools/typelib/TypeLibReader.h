// Reads a type library file (without registering it) into the script author's model.
#pragma once

#include <windows.h>

#include <string>

#include "TypeModel.h"

// Fills lib from the .tlb at path; the failure of the first COM call that failed otherwise.
HRESULT ReadTypeLibrary(const std::wstring& path, TypeModel::Library& lib);
