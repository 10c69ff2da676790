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

} // namespace

UiaNotification::UiaNotification() : m_library(QStringLiteral("uiautomationcore")) {}

bool UiaNotification::Raise(QWidget *window, const QString &text)
{
    const auto raise = reinterpret_cast<RaiseNotificationEvent>(m_library.resolve("UiaRaiseNotificationEvent"));
    const auto hostProvider = reinterpret_cast<HostProviderFromHwnd>(m_library.resolve("UiaHostProviderFromHwnd"));
    const auto listening = reinterpret_cast<ClientsAreListening>(m_library.resolve("UiaClientsAreListening"));
    if (!raise || !hostProvider || !listening || !window || !listening())
        return false;
    Microsoft::WRL::ComPtr<IRawElementProviderSimple> provider;
    if (FAILED(hostProvider(reinterpret_cast<HWND>(window->winId()), &provider)))
        return false;
    BSTR displayString = SysAllocStringLen(reinterpret_cast<const OLECHAR *>(text.utf16()), text.size());
    BSTR activityId = SysAllocString(L"Parlox.ReceivedChat");
    const HRESULT outcome = raise(provider.Get(), kItemAdded, kProcessingAll, displayString, activityId);
    SysFreeString(displayString);
    SysFreeString(activityId);
    return SUCCEEDED(outcome);
}
