// IObjectWithSite: the host (the browser's script engine) hands the object the site of the page that
// created it; the object keeps it to pass on to the objects it creates for that page.
#pragma once

#include "shared/ComPtr.h"

#include <ocidl.h>

template <class T> class IObjectWithSiteImpl : public IObjectWithSite {
public:
    STDMETHOD(SetSite)(IUnknown* site) noexcept override {
        m_site = ComPtr<IUnknown>(site);
        return S_OK;
    }
    STDMETHOD(GetSite)(REFIID iid, void** site) noexcept override {
        if (!site) return E_POINTER;
        *site = nullptr;
        if (!m_site) return E_FAIL;
        return m_site->QueryInterface(iid, site);
    }

protected:
    // The page's site; null when the host gave none (a script host such as cscript).
    IUnknown* Site() const noexcept { return m_site.get(); }

private:
    ComPtr<IUnknown> m_site;
};
