#pragma once

#include <unknwn.h>

// What every object that Parlox hands to COM does alike: it answers for IUnknown and its own
// interface (and whatever else AnswersFor names), counts its references, and deletes itself when
// the last one goes. All of it on the window's thread, so the count needs no lock.
template <typename Interface> class ComObject : public Interface
{
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **object) override
    {
        if (!object)
            return E_POINTER;
        if (iid != IID_IUnknown && iid != __uuidof(Interface) && !AnswersFor(iid)) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<Interface *>(this);
        this->AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --m_references;
        if (left == 0)
            delete this;
        return left;
    }

protected:
    virtual ~ComObject() = default;
    virtual bool AnswersFor(REFIID) const { return false; }

private:
    ULONG m_references = 1;
};
