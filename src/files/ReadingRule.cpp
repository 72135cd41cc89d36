#include "files/ReadingRule.h"

#include "bundles/Extensions.h"
#include "files/PathRules.h"
#include "script/Boundary.h"
#include "shared/Storage.h"

bool InsidePrivateDataFolder(std::wstring_view path) {
    std::wstring folder;
    if (FAILED(PrivateDataFolder(folder))) return false;
    return PathRules::LiesInside(path, folder);
}

bool MayReadFile(std::wstring_view path, bool safe) {
    return safe || InsidePrivateDataFolder(path) || LiesInRegisteredLocation(path);
}
