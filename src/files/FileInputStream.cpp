#include "files/FileInputStream.h"

#include "files/ReadingRule.h"
#include "script/Boundary.h"

#include <algorithm>
#include <cstdint>
#include <limits>

using TextDecoding::Charset;

namespace {

// A text that cannot be decoded where the replacement character is 0.
constexpr HRESULT kMalformedText = HRESULT_FROM_WIN32(ERROR_NO_UNICODE_TRANSLATION);
// Most bytes read from the file at once while decoding.
constexpr size_t kDecodeChunk = 4 * 1024 * 1024;
// Most code units one readString gives: a huge file is read in parts, as XPCOM's readString loop
// expects, rather than failing for want of memory.
constexpr size_t kMaxStringUnits = 16 * 1024 * 1024;

// A script count as XPCOM takes an unsigned long: the low 32 bits, so -1 is 4294967295.
size_t CountArgument(LONGLONG count) noexcept {
    return static_cast<std::uint32_t>(static_cast<ULONGLONG>(count));
}

HRESULT ParseCharset(BSTR label, LONG replacementChar, Charset& charset) noexcept {
    if (BstrEmpty(label)) return E_INVALIDARG;
    const std::optional<Charset> named = TextDecoding::CharsetFromLabel(BstrView(label));
    if (!named) return E_INVALIDARG;
    if (replacementChar < 0 || replacementChar > 0xFFFF ||
        (replacementChar >= 0xD800 && replacementChar <= 0xDFFF))
        return E_INVALIDARG;
    charset = *named;
    return S_OK;
}

// Bytes as a script string, one code unit (0-255) per byte.
HRESULT BytesOut(const std::vector<unsigned char>& bytes, size_t count, BSTR* out) noexcept {
    BSTR text = ::SysAllocStringLen(nullptr, static_cast<UINT>(count));
    if (!text) return E_OUTOFMEMORY;
    for (size_t k = 0; k < count; ++k)
        text[k] = bytes[k];
    *out = text;
    return S_OK;
}

} // namespace

// Other readers may open the file too, writers may not. A file the reading rule keeps from the caller
// is refused before anything changes: E_ACCESSDENIED.
HRESULT CFileInputStream::openForReading(ILocalFile* file) noexcept {
    const HRESULT hr = takeOver(file, FirstAnswer::Flag, [](std::wstring_view path, bool safe) noexcept {
        return ComBoundary([&] { return MayReadFile(path, safe) ? S_OK : E_ACCESSDENIED; });
    });
    if (FAILED(hr)) return hr;
    return openTaken(GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, 0);
}

// Opens the file of a local file for reading.
STDMETHODIMP CFileInputStream::init(ILocalFile* file, LONG, LONG, LONG) noexcept {
    return openForReading(file);
}

// What is left from the position to the end; nothing at all once the position is past the end.
STDMETHODIMP CFileInputStream::available(ULONGLONG* pRet) noexcept {
    return m_file.remaining(pRet);
}

// ---- Reading -------------------------------------------------------------------------------------

HRESULT CFileInputStream::readyToRead() noexcept {
    if (!m_file.isValid()) return E_UNEXPECTED;
    InputFile::Reading& reading = m_file.reading();
    if (reading.allowed) return S_OK;
    bool allowed = false;
    const HRESULT hr = ComBoundary([&] {
        allowed = MayReadFile(m_path, m_safe);
        return S_OK;
    });
    if (FAILED(hr)) return hr;
    if (!allowed) return E_ACCESSDENIED;
    reading.allowed = true;
    return S_OK;
}

HRESULT CFileInputStream::readRaw(size_t count, std::vector<unsigned char>& bytes) noexcept {
    // Text decoded ahead has no bytes left to give.
    m_file.reading().pending.clear();
    return m_file.read(count, bytes);
}

// Bytes up to the first NUL byte; the bytes after it are read all the same (readBytes keeps them).
STDMETHODIMP CFileInputStream::read(LONGLONG count, BSTR* pRet) noexcept {
    if (!pRet) return E_POINTER;
    HRESULT hr = readyToRead();
    if (FAILED(hr)) return hr;
    ULONGLONG left = 0;
    hr = m_file.remaining(&left);
    if (FAILED(hr)) return hr;
    std::vector<unsigned char> bytes;
    hr = readRaw(static_cast<size_t>(std::min<ULONGLONG>(CountArgument(count), left)), bytes);
    if (FAILED(hr)) return hr;
    const size_t text = std::find(bytes.begin(), bytes.end(), 0) - bytes.begin();
    return BytesOut(bytes, text, pRet);
}

// Exactly count bytes, NUL bytes included; E_FAIL, and nothing read, when fewer are left.
STDMETHODIMP CFileInputStream::readBytes(LONGLONG count, BSTR* pRet) noexcept {
    if (!pRet) return E_POINTER;
    HRESULT hr = readyToRead();
    if (FAILED(hr)) return hr;
    const size_t wanted = CountArgument(count);
    ULONGLONG left = 0;
    hr = m_file.remaining(&left);
    if (FAILED(hr)) return hr;
    if (wanted > left) return FailWithReason("fewer bytes are left than asked for");
    std::vector<unsigned char> bytes;
    hr = readRaw(wanted, bytes);
    if (FAILED(hr)) return hr;
    if (bytes.size() != wanted) return FailWithReason("the file ended before the bytes asked for");
    return BytesOut(bytes, wanted, pRet);
}

HRESULT CFileInputStream::takeByteOrderMark() {
    InputFile::Reading& reading = m_file.reading();
    if (reading.bomChecked) return S_OK;
    if (m_charset != Charset::Bytes) {
        ULONGLONG position = 0;
        HRESULT hr = m_file.tell(&position);
        if (FAILED(hr)) return hr;
        bool atEnd = false;
        while (position == 0) {
            const std::optional<TextDecoding::Bom> bom = TextDecoding::SniffBom(m_file.buffered(), atEnd);
            if (!bom) break;
            if (!bom->undecided) {
                reading.bomCharset = bom->charset;
                m_file.consume(bom->length);
                break;
            }
            hr = m_file.fill(1, atEnd);
            if (FAILED(hr)) return hr;
        }
    }
    reading.bomChecked = true;
    return S_OK;
}

Charset CFileInputStream::decodingCharset() noexcept {
    return m_file.reading().bomCharset.value_or(m_charset);
}

// Decodes up to limit units into out; a surrogate pair cut by the limit keeps its second half for the
// next read.
HRESULT CFileInputStream::decodeText(size_t limit, std::wstring& out) {
    HRESULT hr = takeByteOrderMark();
    if (FAILED(hr)) return hr;
    InputFile::Reading& reading = m_file.reading();
    const size_t early = std::min(limit, reading.pending.size());
    out.assign(reading.pending, 0, early);
    reading.pending.erase(0, early);
    if (out.size() >= limit) return S_OK;
    ULONGLONG left = 0;
    hr = m_file.remaining(&left);
    if (FAILED(hr)) return hr;
    out.reserve(static_cast<size_t>(std::min<ULONGLONG>(limit, out.size() + left + 1)));
    const Charset charset = decodingCharset();
    bool atEnd = false;
    while (out.size() < limit) {
        const std::span<const unsigned char> bytes = m_file.buffered();
        if (!bytes.empty() || atEnd) {
            const TextDecoding::DecodeStep step =
                TextDecoding::Decode(charset, bytes, atEnd, m_replacement, out, limit);
            m_file.consume(step.bytesUsed);
            if (step.malformed) {
                if (out.empty()) return kMalformedText;
                break;
            }
            if (atEnd || out.size() >= limit) break;
        }
        hr = m_file.fill(std::min(limit - out.size(), kDecodeChunk), atEnd);
        if (FAILED(hr)) return hr;
    }
    if (out.size() > limit) {
        reading.pending.assign(out, limit);
        out.resize(limit);
    }
    return S_OK;
}

// Text of the next count code units, decoded with the charset ("" at the end of the file).
STDMETHODIMP CFileInputStream::readString(LONGLONG count, BSTR* pRet) noexcept {
    if (!pRet) return E_POINTER;
    HRESULT hr = readyToRead();
    if (FAILED(hr)) return hr;
    return ComBoundary([&] {
        std::wstring text;
        const HRESULT decoded = decodeText(std::min(CountArgument(count), kMaxStringUnits), text);
        if (FAILED(decoded)) return decoded;
        return BstrCopyOut(text, pRet);
    });
}

// The next line without its end; the line ends are found in the bytes, where CR and LF are never part
// of another character in the charsets read here.
HRESULT CFileInputStream::decodeLine(std::wstring& line) {
    HRESULT hr = takeByteOrderMark();
    if (FAILED(hr)) return hr;
    InputFile::Reading& reading = m_file.reading();
    const Charset charset = decodingCharset();
    line = reading.pending;
    bool atEnd = false;
    for (;;) {
        const std::span<const unsigned char> bytes = m_file.buffered();
        const TextDecoding::LineEnd end = TextDecoding::FindLineEnd(charset, bytes, atEnd);
        if (end.found || atEnd) {
            const size_t textBytes = end.found ? end.textBytes : bytes.size();
            const TextDecoding::DecodeStep step =
                TextDecoding::Decode(charset, bytes.first(textBytes), true, m_replacement, line,
                                     std::numeric_limits<size_t>::max());
            if (step.malformed) return kMalformedText;
            m_file.consume(textBytes + end.endBytes);
            reading.pending.clear();
            reading.moreLines = end.found;
            return S_OK;
        }
        // A long line: read as much again as is buffered, so the search stays linear.
        hr = m_file.fill(bytes.size() + 1, atEnd);
        if (FAILED(hr)) return hr;
    }
}

STDMETHODIMP CFileInputStream::readLine(BSTR* pRet) noexcept {
    if (!pRet) return E_POINTER;
    HRESULT hr = readyToRead();
    if (FAILED(hr)) return hr;
    return ComBoundary([&] {
        std::wstring line;
        const HRESULT decoded = decodeLine(line);
        if (FAILED(decoded)) return decoded;
        return BstrCopyOut(line, pRet);
    });
}

// True until readLine has given the line that the end of the file ends.
STDMETHODIMP CFileInputStream::get_hasMoreLines(VARIANT_BOOL* pRet) noexcept {
    if (!pRet) return E_POINTER;
    if (!m_file.isValid()) return E_UNEXPECTED;
    *pRet = m_file.reading().moreLines ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

// Opens a file for reading text, as init does, after the reading rule allowed it.
STDMETHODIMP CFileInputStream::initWithCharset(ILocalFile* file, BSTR charset,
                                               LONG replacementChar) noexcept {
    if (!file) return E_INVALIDARG;
    Charset named = Charset::Bytes;
    HRESULT hr = ParseCharset(charset, replacementChar, named);
    if (FAILED(hr)) return hr;
    hr = openForReading(file);
    if (FAILED(hr)) return hr;
    m_file.reading().allowed = true;
    m_charset = named;
    m_replacement = static_cast<wchar_t>(replacementChar);
    return S_OK;
}

// Decodes from the position on with another charset; a byte-order mark still counts at the start.
STDMETHODIMP CFileInputStream::setCharset(BSTR charset, LONG replacementChar) noexcept {
    Charset named = Charset::Bytes;
    const HRESULT hr = ParseCharset(charset, replacementChar, named);
    if (FAILED(hr)) return hr;
    m_charset = named;
    m_replacement = static_cast<wchar_t>(replacementChar);
    InputFile::Reading& reading = m_file.reading();
    reading.bomChecked = false;
    reading.bomCharset.reset();
    reading.pending.clear();
    return S_OK;
}

STDMETHODIMP CFileInputStream::get_charset(BSTR* pRet) noexcept {
    if (!pRet) return E_POINTER;
    return BstrCopyOut(TextDecoding::CharsetName(decodingCharset()), pRet);
}
