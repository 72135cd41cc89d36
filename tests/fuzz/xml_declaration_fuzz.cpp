#include "xml/XmlDeclaration.h"
#include "FuzzText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::wstring text = FuzzText(data, size);
    const size_t length = XmlDeclarationLength(text);
    FUZZ_CHECK(length <= text.size());
    const std::wstring out = WithUtf8Declaration(text);
    FUZZ_CHECK(XmlDeclarationLength(out) == kUtf8Declaration.size());
    FUZZ_CHECK(out.compare(0, kUtf8Declaration.size(), kUtf8Declaration) == 0);
    return 0;
}
