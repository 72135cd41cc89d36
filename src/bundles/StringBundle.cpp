#include "bundles/StringBundle.h"

#include "bundles/Extensions.h"
#include "bundles/PropertiesSource.h"
#include "bundles/ResourceUrl.h"
#include "bundles/SimpleEnumerator.h"
#include "files/ReadingRule.h"
#include "script/Boundary.h"
#include "shared/Bstr.h"
#include "shared/ComPtr.h"
#include "shared/Registered.h"
#include "shared/SafeArray.h"

namespace {

HRESULT StringVariant(std::wstring_view text, Variant& out) {
    ::VariantClear(out.get());
    out->bstrVal = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (!out->bstrVal) return E_OUTOFMEMORY;
    out->vt = VT_BSTR;
    return S_OK;
}

HRESULT MakeElement(std::wstring_view key, std::wstring_view value, ComPtr<IPropertyElement>& element) {
    HRESULT hr = CreateRegistered(CLSID_PropertyElement, element);
    if (FAILED(hr)) return hr;
    Variant text;
    hr = StringVariant(key, text);
    if (SUCCEEDED(hr)) hr = element->put_key(*text.get());
    if (SUCCEEDED(hr)) hr = StringVariant(value, text);
    if (SUCCEEDED(hr)) hr = element->put_value(*text.get());
    return hr;
}

} // namespace

// A module on another machine would be fetched with the user's logon, so only a registered one is
// loaded; a file is read only where the reading rule lets a script read. Both are refused before any
// file access and leave the table as it was; the empty text names no file and fails as one.
HRESULT CStringBundle::Load(const std::wstring& resolvedUrl) {
    if (IsResUrl(resolvedUrl)) {
        if (!MayLoadResModule(resolvedUrl)) return E_INVALIDARG;
        const std::wstring modulePath = GetResModulePath(resolvedUrl);
        const std::wstring resourceName = GetResResourceName(resolvedUrl);
        if (modulePath.empty() || resourceName.empty())
            return FailWithReason("the address names no module or resource");
        return LoadPropertiesResource(modulePath, resourceName, m_table);
    }
    if (!resolvedUrl.empty() && !MayReadFile(resolvedUrl, false)) return E_ACCESSDENIED;
    m_table.clear();
    return LoadPropertiesFile(resolvedUrl, m_table);
}

STDMETHODIMP CStringBundle::init(BSTR url) noexcept {
    return ComBoundary([&] {
        std::wstring resolved;
        HRESULT hr = ResolveUrl(BstrView(url), resolved);
        if (FAILED(hr)) return hr;
        return Load(resolved);
    });
}

STDMETHODIMP CStringBundle::GetStringFromName(BSTR name, BSTR* pRet) noexcept {
    if (!name) return E_INVALIDARG;
    if (!pRet) return E_POINTER;
    *pRet = nullptr;
    if (m_table.empty()) return E_UNEXPECTED;
    return ComBoundary([&] {
        // An absent name is not added: the table holds only what the source held.
        const auto found = m_table.find(BstrView(name));
        const std::wstring_view value = found != m_table.end() ? found->second : L"";
        HRESULT hr = BstrCopyOut(value, pRet);
        if (FAILED(hr)) return hr;
        return value.empty() ? S_FALSE : S_OK;
    });
}

HRESULT CStringBundle::MakeEnumeration(ISimpleEnumerator** pEnumeration) const {
    ComPtr<ISimpleEnumerator> enumerator;
    HRESULT hr = NewSimpleEnumerator(enumerator);
    if (FAILED(hr)) return hr;

    SafeArray elements(::SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(m_table.size())));
    if (!elements) return E_OUTOFMEMORY;
    LONG index = 0;
    for (const auto& [key, value] : m_table) {
        ComPtr<IPropertyElement> element;
        hr = MakeElement(key, value, element);
        if (FAILED(hr)) return hr;
        Variant slot;
        slot->vt = VT_DISPATCH;
        slot->pdispVal = element.Detach();
        hr = ::SafeArrayPutElement(elements.get(), &index, slot.get()); // copies: one more reference
        if (FAILED(hr)) return hr;
        ++index;
    }

    // The enumerator keeps its own copy; ours goes with this scope.

    return HandOutEnumerator(enumerator, elements.get(), pEnumeration);
}

STDMETHODIMP CStringBundle::getSimpleEnumeration(ISimpleEnumerator** pEnumeration) noexcept {
    if (!pEnumeration) return E_POINTER;
    *pEnumeration = nullptr;
    if (m_table.empty()) return E_UNEXPECTED;
    return ComBoundary([&] { return MakeEnumeration(pEnumeration); });
}
