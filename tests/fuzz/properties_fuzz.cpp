#include "bundles/Properties.h"
#include "FuzzText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PropertiesTable table;
    ParsePropertiesText(FuzzText(data, size), table);
    for (const auto& [key, value] : table) {
        FUZZ_CHECK(!key.empty() && key[0] != L'#');
        FUZZ_CHECK(TrimPropertiesSpace(key) == key && TrimPropertiesSpace(value) == value);
    }
    return 0;
}
