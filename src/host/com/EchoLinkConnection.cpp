#include "EchoLinkConnection.h"

#include "BstrPtr.h"
#include "ComError.h"
#include "EchoLinkContract.h"
#include "EventSink.h"

#include <utility>

using Microsoft::WRL::ComPtr;

namespace {

// The entry of an interface's vtable that holds its own operation at the given place.
template <typename Operation> Operation OwnOperation(IDispatch *object, int place)
{
    void **vtable = *reinterpret_cast<void ***>(object);
    return reinterpret_cast<Operation>(vtable[EchoLinkContract::kDispatchEntries + place - 1]);
}

using ReadTextOperation = HRESULT(STDMETHODCALLTYPE *)(IDispatch *, BSTR *);
using PostTextOperation = HRESULT(STDMETHODCALLTYPE *)(IDispatch *, BSTR);

ComPtr<IDispatch> CreateObject(REFCLSID classId, REFIID interfaceId, const std::string &name)
{
    ComPtr<IUnknown> object;
    ThrowIfFailed(CoCreateInstance(classId, nullptr, CLSCTX_SERVER, IID_PPV_ARGS(&object)), "creating " + name);
    ComPtr<IDispatch> wanted;
    ThrowIfFailed(object->QueryInterface(interfaceId, reinterpret_cast<void **>(wanted.GetAddressOf())),
                  "asking " + name + " for its interface");
    return wanted;
}

ComPtr<IDispatch> CreateNamedObject(const wchar_t *programName, REFIID interfaceId, const std::string &name)
{
    CLSID classId;
    ThrowIfFailed(CLSIDFromProgID(programName, &classId), "looking up " + name);
    return CreateObject(classId, interfaceId, name);
}

} // namespace

EchoLinkConnection::EchoLinkConnection(EchoLinkEvents events) : m_events(std::move(events)) {}

EchoLinkConnection::~EchoLinkConnection()
{
    Release();
}

void EchoLinkConnection::CreateEventObject()
{
    ComPtr<IDispatch> eventObject = CreateObject(EchoLinkContract::kEventObjectClass,
                                                 EchoLinkContract::kEventObjectInterface, "the EchoLink event object");
    ComPtr<IConnectionPointContainer> container;
    ThrowIfFailed(eventObject.As(&container), "asking the EchoLink event object for its events");
    ComPtr<IConnectionPoint> connectionPoint;
    ThrowIfFailed(container->FindConnectionPoint(EchoLinkContract::kEventInterface, &connectionPoint),
                  "finding the EchoLink event object's events");

    ComPtr<EventSink> sink;
    sink.Attach(new EventSink(ReadEventDispids(eventObject.Get()), m_events));
    DWORD cookie = 0;
    ThrowIfFailed(connectionPoint->Advise(sink.Get(), &cookie), "subscribing to the EchoLink event object's events");

    m_eventObject = std::move(eventObject);
    m_connectionPoint = std::move(connectionPoint);
    m_cookie = cookie;
    m_sink = sink.Detach();
}

void EchoLinkConnection::CreateSetupConfig()
{
    m_setupConfig = CreateNamedObject(EchoLinkContract::kSetupConfigName, EchoLinkContract::kSetupConfigInterface,
                                      "EchoLink.SetupConfig");
}

void EchoLinkConnection::CreateSysopConfig()
{
    m_sysopConfig = CreateNamedObject(EchoLinkContract::kSysopConfigName, EchoLinkContract::kSysopConfigInterface,
                                      "EchoLink.SysopConfig");
}

std::wstring EchoLinkConnection::ReadStationCall()
{
    // Held for the call: EchoLink's events may arrive while it waits for the answer, and one of
    // them may let go of the objects.
    const ComPtr<IDispatch> setupConfig = m_setupConfig;
    if (!setupConfig)
        throw ComError("reading the station call sign", E_POINTER);
    BSTR call = nullptr;
    const auto read = OwnOperation<ReadTextOperation>(setupConfig.Get(), EchoLinkContract::kReadStationCallPlace);
    const HRESULT result = read(setupConfig.Get(), &call);
    const BstrPtr owned(call);
    ThrowIfFailed(result, "reading the station call sign");
    return ToWString(call);
}

void EchoLinkConnection::PostChatLine(const std::wstring &line)
{
    const ComPtr<IDispatch> eventObject = m_eventObject; // held for the call, as above
    if (!eventObject)
        throw ComError("posting a chat line", E_POINTER);
    const BstrPtr text = MakeBstr(line);
    if (!text)
        throw ComError("posting a chat line", E_OUTOFMEMORY);
    const auto post = OwnOperation<PostTextOperation>(eventObject.Get(), EchoLinkContract::kPostChatLinePlace);
    ThrowIfFailed(post(eventObject.Get(), text.get()), "posting a chat line");
}

void EchoLinkConnection::Release() noexcept
{
    ReleaseEventObject();
    m_setupConfig.Reset();
    m_sysopConfig.Reset();
}

void EchoLinkConnection::ReleaseEventObject() noexcept
{
    if (m_sink)
        m_sink->Detach();
    if (m_connectionPoint)
        m_connectionPoint->Unadvise(m_cookie);
    m_connectionPoint.Reset();
    m_eventObject.Reset();
    if (m_sink)
        m_sink->Release();
    m_sink = nullptr;
}
