// The stand-in as a local server, a program of its own as EchoLink is: COM starts it for the
// first object, calls then cross into it through proxies built from its type library, and it
// ends when the last object goes. "standin-server /RegServer" registers it.

#include "StandInClasses.h"
#include "StandInHost.h"

#include <windows.h>

#include <vector>

namespace {

// Ends a server that no client ever reaches.
constexpr UINT kIdleLimitMs = 30000;

int Serve()
{
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return 1;
    StandInHost &host = StandInHost::Instance();
    host.end = [] {
        PostQuitMessage(0);
    };

    size_t count = 0;
    const StandInClass *classes = StandInClasses(&count);
    std::vector<DWORD> registrations;
    for (size_t i = 0; i < count; ++i) {
        DWORD registration = 0;
        if (SUCCEEDED(CoRegisterClassObject(classes[i].classId, classes[i].factory, CLSCTX_LOCAL_SERVER,
                                            REGCLS_MULTIPLEUSE, &registration)))
            registrations.push_back(registration);
    }
    const UINT_PTR idle = SetTimer(nullptr, 0, kIdleLimitMs, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER && message.wParam == idle) {
            KillTimer(nullptr, idle);
            host.EndIfIdle();
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    for (const DWORD registration : registrations)
        CoRevokeClassObject(registration);
    CoUninitialize();
    return 0;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, wchar_t *commandLine, int)
{
    StandInHost::Instance().SetModule(nullptr);
    if (lstrcmpiW(commandLine, L"/RegServer") == 0) {
        const std::wstring server = L"\"" + StandInHost::Instance().ModulePath() + L"\"";
        return SUCCEEDED(RegisterStandIn(L"LocalServer32", server)) ? 0 : 1;
    }
    return Serve();
}
