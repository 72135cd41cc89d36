#include "module/RegistrarScript.h"

#include "shared/TextUtil.h"

#include <array>
#include <optional>

namespace Registrar {

namespace {

constexpr size_t kMaxReplacementName = 31;

struct RootName {
    std::wstring_view name;
    RootKey root;
};

constexpr std::array<RootName, 14> kRootNames{{
    {L"HKCR", RootKey::ClassesRoot},
    {L"HKCU", RootKey::CurrentUser},
    {L"HKLM", RootKey::LocalMachine},
    {L"HKU", RootKey::Users},
    {L"HKPD", RootKey::PerformanceData},
    {L"HKDD", RootKey::DynData},
    {L"HKCC", RootKey::CurrentConfig},
    {L"HKEY_CLASSES_ROOT", RootKey::ClassesRoot},
    {L"HKEY_CURRENT_USER", RootKey::CurrentUser},
    {L"HKEY_LOCAL_MACHINE", RootKey::LocalMachine},
    {L"HKEY_USERS", RootKey::Users},
    {L"HKEY_PERFORMANCE_DATA", RootKey::PerformanceData},
    {L"HKEY_DYN_DATA", RootKey::DynData},
    {L"HKEY_CURRENT_CONFIG", RootKey::CurrentConfig},
}};

constexpr std::array<std::wstring_view, 12> kProtectedKeys{
    L"AppID",    L"CLSID",     L"Component Categories",
    L"FileType", L"Interface", L"Hardware",
    L"Mime",     L"SAM",       L"SECURITY",
    L"SYSTEM",   L"Software",  L"TypeLib",
};

constexpr bool IsBlank(wchar_t c) noexcept {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f';
}

struct Token {
    std::wstring text;
    bool quoted = false;

    // An unquoted word: keywords, braces and the equals sign are recognised only unquoted.
    bool Is(std::wstring_view word) const noexcept { return !quoted && EqualsIgnoreAsciiCase(text, word); }
};

class Tokenizer {
public:
    explicit Tokenizer(std::wstring_view text) noexcept : m_text(text) {}

    // False at the end of the text; a syntax error sets m_hr.
    bool Next(Token& token) {
        token.text.clear();
        token.quoted = false;
        while (m_pos < m_text.size() && IsBlank(m_text[m_pos]))
            ++m_pos;
        if (m_pos == m_text.size()) return false;
        if (m_text[m_pos] == L'\'') {
            token.quoted = true;
            ++m_pos;
            for (;;) {
                if (m_pos == m_text.size()) {
                    m_hr = DISP_E_EXCEPTION; // unterminated quote
                    return false;
                }
                wchar_t c = m_text[m_pos++];
                if (c == L'\'') {
                    if (m_pos < m_text.size() && m_text[m_pos] == L'\'') {
                        ++m_pos;
                    } else {
                        break;
                    }
                }
                token.text.push_back(c);
            }
            return true;
        }
        size_t start = m_pos;
        while (m_pos < m_text.size() && !IsBlank(m_text[m_pos]))
            ++m_pos;
        token.text.assign(m_text.substr(start, m_pos - start));
        return true;
    }

    HRESULT Error() const noexcept { return m_hr; }

private:
    std::wstring_view m_text;
    size_t m_pos = 0;
    HRESULT m_hr = S_OK;
};

HRESULT ParseDword(std::wstring_view text, uint32_t& out) noexcept {
    if (text.empty()) return DISP_E_TYPEMISMATCH;
    uint64_t value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return DISP_E_TYPEMISMATCH;
        value = value * 10 + uint64_t(c - L'0');
        if (value > 0xFFFFFFFFull) return DISP_E_OVERFLOW;
    }
    out = static_cast<uint32_t>(value);
    return S_OK;
}

HRESULT ParseBinary(std::wstring_view text, std::vector<uint8_t>& out) {
    if (text.size() % 2 != 0) return E_FAIL;
    out.clear();
    out.reserve(text.size() / 2);
    for (size_t i = 0; i < text.size(); i += 2) {
        int high = HexDigit(text[i]);
        int low = HexDigit(text[i + 1]);
        if (high < 0 || low < 0) return DISP_E_EXCEPTION;
        out.push_back(static_cast<uint8_t>(high * 16 + low));
    }
    return S_OK;
}

// The strings of a multi-string value are separated by the two characters backslash and zero.
std::wstring ParseMultiString(std::wstring_view text) {
    return ExpandEscape(text, L'0', L'\0');
}

class Parser {
public:
    explicit Parser(std::wstring_view text) noexcept : m_tokens(text) {}

    HRESULT ParseScript(Script& out) {
        Token name;
        while (m_tokens.Next(name)) {
            RootBlock block;
            block.name = name.text;
            std::optional<RootKey> root = FindRoot(name.text);
            if (!root) return DISP_E_EXCEPTION;
            block.root = *root;
            if (!Expect(L"{")) return Failure();
            if (HRESULT hr = ParseEntries(block.entries); FAILED(hr)) return hr;
            out.blocks.push_back(std::move(block));
        }
        return m_tokens.Error();
    }

private:
    static std::optional<RootKey> FindRoot(std::wstring_view name) noexcept {
        for (const RootName& r : kRootNames)
            if (EqualsIgnoreAsciiCase(r.name, name)) return r.root;
        return std::nullopt;
    }

    HRESULT Failure() const noexcept {
        return FAILED(m_tokens.Error()) ? m_tokens.Error() : DISP_E_EXCEPTION;
    }

    bool Expect(std::wstring_view word) {
        Token t;
        return m_tokens.Next(t) && t.Is(word);
    }

    // Entries up to and including the closing brace.
    HRESULT ParseEntries(std::vector<Entry>& entries) {
        Token t;
        if (!m_tokens.Next(t)) return Failure();
        while (!t.Is(L"}")) {
            Entry entry;
            if (t.Is(L"NoRemove")) {
                entry.marker = Marker::NoRemove;
            } else if (t.Is(L"ForceRemove")) {
                entry.marker = Marker::ForceRemove;
            } else if (t.Is(L"Delete")) {
                entry.marker = Marker::Delete;
            }
            if (entry.marker != Marker::None && !m_tokens.Next(t)) return Failure();

            if (t.Is(L"val")) {
                if (entry.marker == Marker::ForceRemove || entry.marker == Marker::Delete)
                    return DISP_E_EXCEPTION;
                entry.isValue = true;
                entry.hasValue = true;
                if (!m_tokens.Next(t) || IsPunctuation(t)) return Failure();
                entry.name = std::move(t.text);
                if (!Expect(L"=")) return Failure();
                if (HRESULT hr = ParseValue(entry.value); FAILED(hr)) return hr;
                if (!m_tokens.Next(t)) return Failure();
            } else {
                if (IsPunctuation(t) || t.text.empty()) return DISP_E_EXCEPTION;
                if (t.text.find(L'\\') != std::wstring::npos) return DISP_E_EXCEPTION;
                entry.name = std::move(t.text);
                if (!m_tokens.Next(t)) return Failure();
                if (t.Is(L"=")) {
                    entry.hasValue = true;
                    if (HRESULT hr = ParseValue(entry.value); FAILED(hr)) return hr;
                    if (!m_tokens.Next(t)) return Failure();
                }
                if (t.Is(L"{")) {
                    if (HRESULT hr = ParseEntries(entry.children); FAILED(hr)) return hr;
                    if (!m_tokens.Next(t)) return Failure();
                }
            }
            entries.push_back(std::move(entry));
        }
        return S_OK;
    }

    static bool IsPunctuation(const Token& t) noexcept { return t.Is(L"{") || t.Is(L"}") || t.Is(L"="); }

    // A type letter and the value text.
    HRESULT ParseValue(ValueData& value) {
        Token type;
        if (!m_tokens.Next(type)) return Failure();
        if (type.quoted || type.text.size() != 1) return DISP_E_EXCEPTION;
        Token text;
        if (!m_tokens.Next(text) || IsPunctuation(text)) return Failure();
        switch (AsciiLower(type.text[0])) {
        case L's':
            value.type = ValueType::String;
            value.text = std::move(text.text);
            return S_OK;
        case L'd':
            value.type = ValueType::Dword;
            return ParseDword(text.text, value.number);
        case L'b':
            value.type = ValueType::Binary;
            return ParseBinary(text.text, value.bytes);
        case L'm':
            value.type = ValueType::MultiString;
            value.text = ParseMultiString(text.text);
            return S_OK;
        default:
            return DISP_E_EXCEPTION;
        }
    }

    Tokenizer m_tokens;
};

Entry PlainKey(std::wstring name, std::vector<Entry> children) {
    Entry key;
    key.marker = Marker::NoRemove;
    key.name = std::move(name);
    key.children = std::move(children);
    return key;
}

} // namespace

HRESULT ExpandReplacements(std::wstring_view text, const Replacements& replacements, std::wstring& out) {
    out.clear();
    out.reserve(text.size());
    size_t pos = 0;
    while (pos < text.size()) {
        size_t percent = text.find(L'%', pos);
        if (percent == std::wstring_view::npos) {
            out.append(text.substr(pos));
            break;
        }
        out.append(text.substr(pos, percent - pos));
        size_t close = text.find(L'%', percent + 1);
        if (close == std::wstring_view::npos) return DISP_E_EXCEPTION;
        std::wstring_view name = text.substr(percent + 1, close - percent - 1);
        pos = close + 1;
        if (name.empty()) {
            out.push_back(L'%');
            continue;
        }
        if (name.size() > kMaxReplacementName) return E_FAIL;
        const std::wstring* value = nullptr;
        for (const auto& [key, replacement] : replacements) {
            if (EqualsIgnoreAsciiCase(key, name)) {
                value = &replacement;
                break;
            }
        }
        if (!value) return DISP_E_EXCEPTION;
        out.append(*value);
    }
    return S_OK;
}

HRESULT ParseScript(std::wstring_view text, Script& out) {
    out.blocks.clear();
    Parser parser(text);
    HRESULT hr = parser.ParseScript(out);
    if (FAILED(hr)) out.blocks.clear();
    return hr;
}

void RewriteForCurrentUser(Script& script) {
    for (RootBlock& block : script.blocks) {
        if (block.name != L"HKCR") continue;
        // Software and Classes belong to the user, not to this library: never removed.
        std::vector<Entry> classes;
        classes.push_back(PlainKey(L"Classes", std::move(block.entries)));
        block.entries.clear();
        block.entries.push_back(PlainKey(L"Software", std::move(classes)));
        block.name = L"HKCU";
        block.root = RootKey::CurrentUser;
    }
}

HRESULT PrepareScript(std::wstring_view text, const Replacements& replacements, bool perUser, Script& out) {
    std::wstring expanded;
    if (HRESULT hr = ExpandReplacements(text, replacements, expanded); FAILED(hr)) return hr;
    if (HRESULT hr = ParseScript(expanded, out); FAILED(hr)) return hr;
    if (perUser) RewriteForCurrentUser(out);
    return S_OK;
}

std::wstring QuoteForScript(std::wstring_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        out.push_back(c);
        if (c == L'\'') out.push_back(L'\'');
    }
    return out;
}

bool IsProtectedKeyName(std::wstring_view name) noexcept {
    for (std::wstring_view key : kProtectedKeys)
        if (EqualsIgnoreAsciiCase(key, name)) return true;
    return false;
}

Replacements ModuleReplacements(std::wstring_view modulePath, std::wstring_view appId) {
    std::wstring quoted = QuoteForScript(modulePath);
    return Replacements{{L"Module", quoted}, {L"Module_Raw", quoted}, {L"APPID", std::wstring(appId)}};
}

Replacements ClassReplacements(std::wstring_view modulePath, std::wstring_view appId,
                               std::wstring_view className, std::wstring_view clsid) {
    Replacements replacements = ModuleReplacements(modulePath, appId);
    replacements.emplace_back(L"CLASS", std::wstring(className));
    replacements.emplace_back(L"CLSID", std::wstring(clsid));
    return replacements;
}

bool IsPerUserCommandLine(const wchar_t* commandLine) noexcept {
    if (!commandLine) return false;
    constexpr wchar_t kUser[] = L"user"; // compared with its terminator
    for (size_t i = 0; i < std::size(kUser); ++i) {
        if (AsciiLower(commandLine[i]) != kUser[i]) return false;
        if (commandLine[i] == L'\0') break;
    }
    return true;
}

std::wstring ReplaceExtension(std::wstring_view path, std::wstring_view extension) {
    size_t name = path.find_last_of(L"\\/:");
    name = name == std::wstring_view::npos ? 0 : name + 1;
    size_t dot = path.rfind(L'.');
    std::wstring out(path.substr(0, dot != std::wstring_view::npos && dot >= name ? dot : path.size()));
    out.append(extension);
    return out;
}

std::wstring FolderOfPath(std::wstring_view path) {
    size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring_view::npos) return {};
    // Keep the separator of a drive's root folder ("C:\").
    if (slash == 2 && path[1] == L':') return std::wstring(path.substr(0, 3));
    return std::wstring(path.substr(0, slash));
}

} // namespace Registrar
