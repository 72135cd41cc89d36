#include "TypeLibFile.h"

#include <cstdio>

namespace TypeLibFile {

namespace {

constexpr uint32_t kMagic = 0x5446534D; // "MSFT"
constexpr size_t kHeaderSize = 0x54;
constexpr uint32_t kHasHelpDll = 0x100;
constexpr size_t kSegments = 15;
constexpr size_t kTypeInfoSize = 0x64;
enum Segment { TypeInfoSegment = 0, GuidSegment = 5, NameSegment = 7, StringSegment = 8 };

class Reader {
public:
    explicit Reader(const std::vector<uint8_t>& data) : m_data(data) {}

    bool Has(size_t offset, size_t size) const {
        return offset <= m_data.size() && size <= m_data.size() - offset;
    }
    uint32_t U32(size_t offset) const {
        if (!Has(offset, 4)) {
            m_ok = false;
            return 0;
        }
        const uint8_t* p = m_data.data() + offset;
        return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    }
    uint16_t U16(size_t offset) const {
        if (!Has(offset, 2)) {
            m_ok = false;
            return 0;
        }
        return uint16_t(m_data[offset] | m_data[offset + 1] << 8);
    }
    std::string Bytes(size_t offset, size_t size) const {
        if (!Has(offset, size)) {
            m_ok = false;
            return {};
        }
        return std::string(reinterpret_cast<const char*>(m_data.data() + offset), size);
    }
    const uint8_t* At(size_t offset, size_t size) const {
        if (!Has(offset, size)) {
            m_ok = false;
            return nullptr;
        }
        return m_data.data() + offset;
    }
    bool ok() const { return m_ok; }

private:
    const std::vector<uint8_t>& m_data;
    mutable bool m_ok = true;
};

} // namespace

std::string GuidText(const uint8_t* b) {
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  unsigned(b[0] | b[1] << 8 | b[2] << 16 | unsigned(b[3]) << 24), unsigned(b[4] | b[5] << 8),
                  unsigned(b[6] | b[7] << 8), b[8], b[9], b[10], b[11], b[12], b[13], b[14], b[15]);
    return text;
}

bool Read(const std::vector<uint8_t>& file, Library& out, std::string& error) {
    Reader r(file);
    if (r.U32(0) != kMagic) {
        error = "not a type library (no MSFT header)";
        return false;
    }
    const uint32_t varflags = r.U32(0x14);
    const uint32_t typeCount = r.U32(0x20);
    size_t directory = kHeaderSize + ((varflags & kHasHelpDll) ? 4 : 0) + size_t(typeCount) * 4;
    uint32_t segment[kSegments];
    for (size_t i = 0; i < kSegments; ++i)
        segment[i] = r.U32(directory + i * 16);

    auto guidAt = [&](uint32_t offset) -> std::string {
        const uint8_t* bytes = r.At(size_t(segment[GuidSegment]) + offset, 16);
        return bytes ? GuidText(bytes) : std::string();
    };
    auto nameAt = [&](uint32_t offset) -> std::string {
        size_t at = size_t(segment[NameSegment]) + offset;
        return r.Bytes(at + 12, r.U32(at + 8) & 0xFF);
    };
    auto stringAt = [&](uint32_t offset) -> std::string {
        if (offset == 0xFFFFFFFF) return {};
        size_t at = size_t(segment[StringSegment]) + offset;
        return r.Bytes(at + 2, r.U16(at));
    };

    out = Library{};
    out.guid = guidAt(r.U32(0x08));
    out.lcid = r.U32(0x10);
    out.syskind = int(varflags & 0x0F);
    out.major = uint16_t(r.U32(0x18) & 0xFFFF);
    out.minor = uint16_t(r.U32(0x18) >> 16);
    out.flags = r.U32(0x1C) & 0xFFFF;
    out.docString = stringAt(r.U32(0x24));
    out.name = nameAt(r.U32(0x38));
    out.helpFile = stringAt(r.U32(0x3C));
    for (uint32_t i = 0; i < typeCount && r.ok(); ++i) {
        size_t base = size_t(segment[TypeInfoSegment]) + i * kTypeInfoSize;
        TypeInfo type;
        type.kind = int(r.U32(base) & 0x0F);
        type.guid = r.U32(base + 0x2C) == 0xFFFFFFFF ? std::string() : guidAt(r.U32(base + 0x2C));
        type.flags = r.U32(base + 0x30);
        type.name = nameAt(r.U32(base + 0x34));
        out.types.push_back(std::move(type));
    }
    if (!r.ok() || out.guid.empty()) {
        error = "the type library is cut short or malformed";
        return false;
    }
    return true;
}

} // namespace TypeLibFile
