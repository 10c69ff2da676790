#include "announce/UiaNotification.h"

#include <QWidget>

#include <windows.h>

#include <oleauto.h>
#include <uiautomationcore.h>
#include <wrl/client.h>

namespace {

// As declared in UIAutomationCoreApi.h of the Windows 10 1709 SDK.
using HostProviderFromHwnd = HRESULT(WINAPI *)(HWND, IRawElementProviderSimple **);
using RaiseNotificationEvent
    = HRESULT(WINAPI *)(IRawElementProviderSimple *, int kind, int processing, BSTR displayString, BSTR activityId);
using ClientsAreListening = BOOL(WINAPI *)();
constexpr int kItemAdded = 0; // NotificationKind_ItemAdded: a chat text arrived
constexpr int kProcessingAll = 2; // NotificationProcessing_All: each is spoken, none cuts another

// The source of the notifications: a provider of Parlox's own, standing for the window it is
// hosted on. Events are raised by server-side providers, and the window's own is Qt's, out of
// reach.
class NotificationSource : public IRawElementProviderSimple
{
public:
    NotificationSource(HostProviderFromHwnd hostProvider, HWND window) : m_hostProvider(hostProvider), m_window(window)
    {
    }
    virtual ~NotificationSource() = default;

    STDMETHODIMP QueryInterface(REFIID iid, void **object) override
    {
        *object = iid == IID_IUnknown || iid == IID_IRawElementProviderSimple ? this : nullptr;
        if (!*object)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&m_references); }
    STDMETHODIMP_(ULONG) Release() override
    {
        const ULONG left = InterlockedDecrement(&m_references);
        if (left == 0)
            delete this;
        return left;
    }

    // Called on the window's thread, which raised the event.
    STDMETHODIMP get_ProviderOptions(ProviderOptions *options) override
    {
        *options = static_cast<ProviderOptions>(ProviderOptions_ServerSideProvider | ProviderOptions_UseComThreading);
        return S_OK;
    }
    STDMETHODIMP GetPatternProvider(PATTERNID, IUnknown **provider) override
    {
        *provider = nullptr;
        return S_OK;
    }
    // Nothing of its own: the window answers for itself.
    STDMETHODIMP GetPropertyValue(PROPERTYID, VARIANT *value) override
    {
        VariantInit(value);
        return S_OK;
    }
    STDMETHODIMP get_HostRawElementProvider(IRawElementProviderSimple **host) override
    {
        return m_hostProvider(m_window, host);
    }

private:
    LONG m_references = 1;
    HostProviderFromHwnd m_hostProvider;
    HWND m_window;
};

} // namespace

UiaNotification::UiaNotification() : m_library(QStringLiteral("uiautomationcore")) {}

bool UiaNotification::Raise(QWidget *window, const QString &text)
{
    const auto raise = reinterpret_cast<RaiseNotificationEvent>(m_library.resolve("UiaRaiseNotificationEvent"));
    const auto hostProvider = reinterpret_cast<HostProviderFromHwnd>(m_library.resolve("UiaHostProviderFromHwnd"));
    const auto listening = reinterpret_cast<ClientsAreListening>(m_library.resolve("UiaClientsAreListening"));
    if (!raise || !hostProvider || !listening || !window || !listening())
        return false;
    Microsoft::WRL::ComPtr<IRawElementProviderSimple> source;
    source.Attach(new NotificationSource(hostProvider, reinterpret_cast<HWND>(window->winId())));
    BSTR displayString = SysAllocStringLen(reinterpret_cast<const OLECHAR *>(text.utf16()), text.size());
    BSTR activityId = SysAllocString(L"Parlox.ReceivedChat");
    const HRESULT outcome = raise(source.Get(), kItemAdded, kProcessingAll, displayString, activityId);
    SysFreeString(displayString);
    SysFreeString(activityId);
    return SUCCEEDED(outcome);
}
