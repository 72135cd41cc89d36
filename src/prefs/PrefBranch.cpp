#include "prefs/PrefBranch.h"

#include "prefs/PrefTree.h"
#include "script/Boundary.h"
#include "shared/Bstr.h"
#include "shared/OutValue.h"
#include "shared/SafeArray.h"
#include "shared/Storage.h"

#include <algorithm>

namespace {
// A name the registry would cut short at an embedded NUL names some other value: it is never read
// or written.
bool UsableName(BSTR name) noexcept {
    return !PrefStorage::HasEmbeddedNul(BstrView(name));
}
constexpr char kUnusableName[] = "the preference name holds a NUL";

// The number stored under name, by its width: a DWORD or a QWORD value.
bool ReadStored(const API::Win32::RegKey& key, BSTR name, DWORD& out) noexcept {
    return key.readDword(name, out);
}
bool ReadStored(const API::Win32::RegKey& key, BSTR name, ULONGLONG& out) noexcept {
    return key.readQword(name, out);
}

constexpr wchar_t kChangedTopic[] = L"nsPref:changed";

// observer.observe(subject, topic, data) when the object has a member "observe", else the object
// itself called as a function. What the observer does or throws is its own affair.
void CallObserver(IDispatch* observer, IDispatch* subject, const std::wstring& data) {
    LPOLESTR name = const_cast<LPOLESTR>(L"observe");
    DISPID id = DISPID_VALUE;
    if (FAILED(observer->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id))) id = DISPID_VALUE;
    Bstr topic(kChangedTopic), text(data);
    VARIANT args[3]; // right to left
    args[0].vt = VT_BSTR;
    args[0].bstrVal = text.get();
    args[1].vt = VT_BSTR;
    args[1].bstrVal = topic.get();
    args[2].vt = VT_DISPATCH;
    args[2].pdispVal = subject;
    DISPPARAMS params{args, nullptr, 3, 0};
    Variant result;
    ExcepInfo excep;
    observer->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result.get(), &excep,
                     nullptr);
}

HRESULT CheckObserverArgs(BSTR domain, IDispatch* observer) noexcept {
    return domain && observer ? S_OK : E_INVALIDARG;
}
} // namespace

STDMETHODIMP CPrefBranch::init(BSTR aPrefRoot) noexcept {
    if (!aPrefRoot) return E_INVALIDARG;
    return ComBoundary([&] {
        Bstr branchText(PrefStorage::BranchTextFromRoot(BstrView(aPrefRoot)));
        // Through the interface, as a script would call it.
        HRESULT hr = static_cast<IPrefBranch*>(this)->InitWithKey(branchText.get());
        if (SUCCEEDED(hr)) m_root.assign(BstrView(aPrefRoot));
        return hr;
    });
}

STDMETHODIMP CPrefBranch::InitWithKey(BSTR aPrefRoot) noexcept {
    if (!aPrefRoot) return E_INVALIDARG;
    if (m_key.isValid()) return E_UNEXPECTED;
    if (!UsableName(aPrefRoot)) return FailWithReason(kUnusableName);
    return ComBoundary([&] {
        const bool low = UseLowStorage();
        const std::wstring path = PrefStorage::BranchKeyPath(low, BstrView(aPrefRoot));
        const bool writable = PrefStorage::MayWrite(low, path);
        // A key that takes no writes is not created either: it is read where it exists.
        const bool bound = writable ? m_key.create(HKEY_CURRENT_USER, path.c_str(), nullptr,
                                                   REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, nullptr)
                                    : m_key.open(HKEY_CURRENT_USER, path.c_str(), KEY_READ);
        if (!bound) return FailWithLastError();
        m_writable = writable;
        m_path = path;
        m_root = PrefStorage::RootFromBranchText(BstrView(aPrefRoot));
        return S_OK;
    });
}

HRESULT CPrefBranch::CheckRead(BSTR name, const void* out) const noexcept {
    if (!name) return E_INVALIDARG;
    if (!out) return E_POINTER;
    if (!m_key.isValid()) return E_UNEXPECTED;
    return S_OK;
}

HRESULT CPrefBranch::CheckWrite(BSTR name) const noexcept {
    if (!name) return E_INVALIDARG;
    if (!m_key.isValid()) return E_UNEXPECTED;
    if (!m_writable) return E_ACCESSDENIED;
    return S_OK;
}

HRESULT CPrefBranch::Store(BSTR name, const PrefStorage::StoredValue& value) const noexcept {
    if (!UsableName(name)) return FailWithReason(kUnusableName);
    return m_key.writeValue(name, value.type, value.data.data(), static_cast<DWORD>(value.data.size()))
               ? S_OK
               : FailWithLastError();
}

template <class MakeValue> HRESULT CPrefBranch::Write(BSTR name, MakeValue make) const noexcept {
    const HRESULT hr = CheckWrite(name);
    if (FAILED(hr)) return hr;
    return ComBoundary([&] { return Store(name, make()); });
}

template <class Stored, class Out, class Convert>
HRESULT CPrefBranch::ReadNumber(BSTR name, Out* out, Convert convert) const noexcept {
    const HRESULT hr = CheckRead(name, out);
    if (FAILED(hr)) return hr;
    Stored stored = 0;
    if (!UsableName(name)) return FailWithReason(kUnusableName);
    if (!ReadStored(m_key, name, stored)) return FailWithLastError();
    *out = convert(stored);
    return S_OK;
}

STDMETHODIMP CPrefBranch::prefHasUserValue(BSTR aPrefName, VARIANT_BOOL* pRet) noexcept {
    HRESULT hr = CheckRead(aPrefName, pRet);
    if (FAILED(hr)) return hr;
    *pRet = UsableName(aPrefName) && m_key.valueExists(aPrefName) ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

STDMETHODIMP CPrefBranch::getBoolPref(BSTR aPrefName, VARIANT_BOOL* pRet) noexcept {
    return ReadNumber<DWORD>(aPrefName, pRet, [](DWORD stored) -> VARIANT_BOOL {
        return PrefStorage::BoolFromDword(stored) ? VARIANT_TRUE : VARIANT_FALSE;
    });
}

STDMETHODIMP CPrefBranch::setBoolPref(BSTR aPrefName, VARIANT_BOOL aValue) noexcept {
    return Write(aPrefName, [&] { return PrefStorage::BoolValue(aValue); });
}

STDMETHODIMP CPrefBranch::getCharPref(BSTR aPrefName, BSTR* pRet) noexcept {
    if (!aPrefName) return E_INVALIDARG;
    if (!pRet) return E_POINTER;
    // A string out is cleared on every later failure, so the caller never frees a stale pointer.
    *pRet = nullptr;
    if (!m_key.isValid()) return E_UNEXPECTED;
    if (!UsableName(aPrefName)) return FailWithReason(kUnusableName);
    Bstr text;
    if (!m_key.readString(aPrefName, *text.put())) return FailWithLastError();
    *pRet = text.Detach();
    return S_OK;
}

STDMETHODIMP CPrefBranch::setCharPref(BSTR aPrefName, BSTR aValue) noexcept {
    // A null value is the empty string: the terminator alone.
    return Write(aPrefName, [&] { return PrefStorage::CharValue(BstrView(aValue)); });
}

STDMETHODIMP CPrefBranch::getIntPref(BSTR aPrefName, LONG* pRet) noexcept {
    return ReadNumber<DWORD>(aPrefName, pRet, [](DWORD stored) { return static_cast<LONG>(stored); });
}

STDMETHODIMP CPrefBranch::setIntPref(BSTR aPrefName, LONG aValue) noexcept {
    return Write(aPrefName, [&] { return PrefStorage::IntValue(aValue); });
}

STDMETHODIMP CPrefBranch::getInt64Pref(BSTR aPrefName, LONGLONG* pRet) noexcept {
    return ReadNumber<ULONGLONG>(aPrefName, pRet,
                                 [](ULONGLONG stored) { return static_cast<LONGLONG>(stored); });
}

STDMETHODIMP CPrefBranch::setInt64Pref(BSTR aPrefName, LONGLONG aValue) noexcept {
    return Write(aPrefName, [&] { return PrefStorage::Int64Value(aValue); });
}

STDMETHODIMP CPrefBranch::getChildList(BSTR aStartingAt, VARIANT* pNames) noexcept {
    HRESULT hr = CheckRead(aStartingAt, pNames);
    if (FAILED(hr)) return hr;
    return ComBoundary([&] {
        PrefTree::Listing found;
        PrefTree::List(m_key.get(), BstrView(aStartingAt), false, found);
        SafeArray names(::SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(found.size())));
        if (!names) return E_OUTOFMEMORY;
        LONG index = 0;
        for (const auto& entry : found) {
            Variant item;
            item->vt = VT_BSTR;
            item->bstrVal = Bstr(entry.first).Detach();
            // The array copies the string.
            hr = ::SafeArrayPutElement(names.get(), &index, item.get());
            if (FAILED(hr)) return hr;
            ++index;
        }
        ::VariantInit(pNames);
        pNames->vt = VT_ARRAY | VT_VARIANT;
        pNames->parray = names.Detach();
        return S_OK;
    });
}

STDMETHODIMP CPrefBranch::clearUserPref(BSTR aPrefName) noexcept {
    HRESULT hr = CheckWrite(aPrefName);
    if (FAILED(hr)) return hr;
    if (!UsableName(aPrefName)) return FailWithReason(kUnusableName);
    const LONG rc = ::RegDeleteValueW(m_key.get(), aPrefName);
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND ? S_OK : FailWithError(static_cast<DWORD>(rc));
}

STDMETHODIMP CPrefBranch::deleteBranch(BSTR aStartingAt) noexcept {
    HRESULT hr = CheckWrite(aStartingAt);
    if (FAILED(hr)) return hr;
    return ComBoundary([&] {
        // Only preferences are deleted: never outside the library's preference key, and never the
        // whole of it at once (every application's preferences).
        const PrefStorage::StorePlace place = PrefStorage::PlaceInStore(UseLowStorage(), m_path);
        if (place == PrefStorage::StorePlace::Outside ||
            (place == PrefStorage::StorePlace::Top && BstrEmpty(aStartingAt)))
            return E_ACCESSDENIED;
        return PrefTree::Delete(m_key.get(), BstrView(aStartingAt))
                   ? S_OK
                   : FailWithReason("some preferences could not be deleted");
    });
}

STDMETHODIMP CPrefBranch::getPrefType(BSTR aPrefName, LONG* pType) noexcept {
    HRESULT hr = CheckRead(aPrefName, pType);
    if (FAILED(hr)) return hr;
    DWORD type = REG_NONE, size = 0;
    if (!UsableName(aPrefName) ||
        ::RegQueryValueExW(m_key.get(), aPrefName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        size = 0;
    *pType = PrefStorage::TypeOfStored(type, size);
    return S_OK;
}

STDMETHODIMP CPrefBranch::addObserver(BSTR aDomain, IDispatch* aObserver, VARIANT_BOOL) noexcept {
    HRESULT hr = CheckObserverArgs(aDomain, aObserver);
    if (FAILED(hr)) return hr;
    if (!m_key.isValid()) return E_UNEXPECTED;
    return ComBoundary([&] {
        ComPtr<IUnknown> identity;
        HRESULT qi = aObserver->QueryInterface(IID_IUnknown, identity.put_void());
        if (FAILED(qi)) return qi;
        // Added twice, called once.
        if (FindObserver(BstrView(aDomain), identity.get()) != m_observers.end()) return S_OK;
        if (m_watcher && m_watcher->ownerThread() != ::GetCurrentThreadId()) return RPC_E_WRONG_THREAD;
        m_observers.push_back(
            {std::wstring(BstrView(aDomain)), ComPtr<IDispatch>(aObserver), identity, ++m_nextSerial});
        if (!m_watcher) {
            HRESULT started = PrefWatcher::Start(m_key.get(), &OnChanged, this, m_watcher);
            if (FAILED(started)) {
                m_observers.pop_back();
                return started;
            }
        }
        return S_OK;
    });
}

STDMETHODIMP CPrefBranch::removeObserver(BSTR aDomain, IDispatch* aObserver) noexcept {
    HRESULT hr = CheckObserverArgs(aDomain, aObserver);
    if (FAILED(hr)) return hr;
    if (!m_key.isValid()) return E_UNEXPECTED;
    ComPtr<IUnknown> identity;
    if (FAILED(aObserver->QueryInterface(IID_IUnknown, identity.put_void()))) return S_OK;
    auto found = FindObserver(BstrView(aDomain), identity.get());
    if (found == m_observers.end()) return S_OK;
    m_observers.erase(found);
    // While observers are being called, the watcher that called them stays until they are done.
    if (m_observers.empty() && m_notifying == 0) m_watcher.reset();
    return S_OK;
}

std::vector<CPrefBranch::Observer>::iterator CPrefBranch::FindObserver(std::wstring_view domain,
                                                                       IUnknown* identity) noexcept {
    for (auto it = m_observers.begin(); it != m_observers.end(); ++it)
        if (it->identity.get() == identity && it->domain == domain) return it;
    return m_observers.end();
}

void CPrefBranch::OnChanged(void* self, const std::vector<std::wstring>& changed) {
    static_cast<CPrefBranch*>(self)->Notify(changed);
}

void CPrefBranch::Notify(const std::vector<std::wstring>& changed) {
    // An observer may drop the last reference to this branch, or remove itself or others.
    ComPtr<IPrefBranch2> keepAlive(static_cast<IPrefBranch2*>(this));
    ++m_notifying;
    ComBoundary([&] {
        const std::vector<Observer> observers = m_observers;
        for (const std::wstring& name : changed) {
            const std::wstring data = m_root + name;
            for (const Observer& observer : observers) {
                const bool current =
                    std::any_of(m_observers.begin(), m_observers.end(),
                                [&](const Observer& o) { return o.serial == observer.serial; });
                if (current && name.compare(0, observer.domain.size(), observer.domain) == 0)
                    CallObserver(observer.target.get(), static_cast<IPrefBranch2*>(this), data);
            }
        }
        return S_OK;
    });
    --m_notifying;
    if (m_observers.empty() && m_notifying == 0) m_watcher.reset();
}

STDMETHODIMP CPrefBranch::get_PREF_INVALID(LONG* pValue) noexcept {
    return ValueOut<LONG>(PrefStorage::kPrefInvalid, pValue);
}

STDMETHODIMP CPrefBranch::get_PREF_STRING(LONG* pValue) noexcept {
    return ValueOut<LONG>(PrefStorage::kPrefString, pValue);
}

STDMETHODIMP CPrefBranch::get_PREF_INT(LONG* pValue) noexcept {
    return ValueOut<LONG>(PrefStorage::kPrefInt, pValue);
}

STDMETHODIMP CPrefBranch::get_PREF_BOOL(LONG* pValue) noexcept {
    return ValueOut<LONG>(PrefStorage::kPrefBool, pValue);
}
