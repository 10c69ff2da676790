#include "EchoLinkConnection.h"

#include "BstrPtr.h"
#include "CallFailure.h"
#include "ComError.h"
#include "EchoLinkContract.h"
#include "EventSink.h"

#include <utility>

using Microsoft::WRL::ComPtr;
using std::chrono::milliseconds;
using std::chrono::steady_clock;

namespace {

// Whether EchoLink is still there is told by any answer, a refusal included; one that is busy or
// slow is there too. The short wait keeps a stuck EchoLink from holding up the window for long.
constexpr CallPatience kAliveCheck{milliseconds(500), false};

// The entry of an interface's vtable that holds its own operation at the given place.
template <typename Operation> Operation OwnOperation(IDispatch *object, int place)
{
    void **vtable = *reinterpret_cast<void ***>(object);
    return reinterpret_cast<Operation>(vtable[EchoLinkContract::kDispatchEntries + place - 1]);
}

using ReadTextOperation = HRESULT(STDMETHODCALLTYPE *)(IDispatch *, BSTR *);
using PostTextOperation = HRESULT(STDMETHODCALLTYPE *)(IDispatch *, BSTR);

milliseconds Remaining(steady_clock::time_point deadline)
{
    return std::chrono::duration_cast<milliseconds>(deadline - steady_clock::now());
}

} // namespace

EchoLinkConnection::EchoLinkConnection(EchoLinkEvents events, milliseconds answerLimit)
    : m_events(std::move(events)), m_patience(answerLimit, true), m_filter(MessageFilter::Register(m_patience))
{
}

EchoLinkConnection::~EchoLinkConnection()
{
    Release();
    m_filter->Revoke();
}

template <typename Operation> HRESULT EchoLinkConnection::Call(const CallPatience &patience, Operation operation)
{
    HRESULT result;
    {
        const MessageFilter::Call call(*m_filter.Get(), patience);
        result = operation();
    }
    if (FAILED(result) && IsGone(ClassifyFailure(result)))
        NoteGone();
    return result;
}

// Once EchoLink's program has gone, nothing is asked of it any more: creating an object anew
// would start another EchoLink.
void EchoLinkConnection::RequireAttached(const std::string &step) const
{
    if (m_gone)
        throw ComError(step, RPC_E_DISCONNECTED);
}

void EchoLinkConnection::NoteGone()
{
    if (m_gone || !m_eventObject)
        return;
    m_gone = true;
    if (!m_quiet)
        m_events.gone();
}

ComPtr<IDispatch> EchoLinkConnection::CreateObject(REFCLSID classId, REFIID interfaceId, const std::string &name)
{
    RequireAttached("creating " + name);
    ComPtr<IUnknown> object;
    ThrowIfFailed(
        Call(m_patience, [&] { return CoCreateInstance(classId, nullptr, CLSCTX_SERVER, IID_PPV_ARGS(&object)); }),
        "creating " + name);
    ComPtr<IDispatch> wanted;
    ThrowIfFailed(
        Call(m_patience,
             [&] { return object->QueryInterface(interfaceId, reinterpret_cast<void **>(wanted.GetAddressOf())); }),
        "asking " + name + " for its interface");
    return wanted;
}

ComPtr<IDispatch> EchoLinkConnection::CreateNamedObject(const wchar_t *programName, REFIID interfaceId,
                                                        const std::string &name)
{
    CLSID classId;
    ThrowIfFailed(CLSIDFromProgID(programName, &classId), "looking up " + name);
    return CreateObject(classId, interfaceId, name);
}

void EchoLinkConnection::CreateEventObject()
{
    ComPtr<IDispatch> eventObject = CreateObject(EchoLinkContract::kEventObjectClass,
                                                 EchoLinkContract::kEventObjectInterface, "the EchoLink event object");
    ComPtr<IConnectionPointContainer> container;
    ThrowIfFailed(Call(m_patience, [&] { return eventObject.As(&container); }),
                  "asking the EchoLink event object for its events");
    ComPtr<IConnectionPoint> connectionPoint;
    ThrowIfFailed(
        Call(m_patience,
             [&] { return container->FindConnectionPoint(EchoLinkContract::kEventInterface, &connectionPoint); }),
        "finding the EchoLink event object's events");

    EventDispids dispids;
    {
        const MessageFilter::Call call(*m_filter.Get(), m_patience);
        dispids = ReadEventDispids(eventObject.Get());
    }
    ComPtr<EventSink> sink;
    sink.Attach(new EventSink(dispids, m_events));
    DWORD cookie = 0;
    ThrowIfFailed(Call(m_patience, [&] { return connectionPoint->Advise(sink.Get(), &cookie); }),
                  "subscribing to the EchoLink event object's events");

    m_eventObject = std::move(eventObject);
    m_connectionPoint = std::move(connectionPoint);
    m_cookie = cookie;
    m_sink = sink.Detach();
    m_quiet = false;
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
    const std::string step = "reading the station call sign";
    RequireAttached(step);
    // Held for the call: EchoLink's events may arrive while it waits for the answer, and one of
    // them may let go of the objects.
    const ComPtr<IDispatch> setupConfig = m_setupConfig;
    if (!setupConfig)
        throw ComError(step, E_POINTER);
    BSTR call = nullptr;
    const auto read = OwnOperation<ReadTextOperation>(setupConfig.Get(), EchoLinkContract::kReadStationCallPlace);
    const HRESULT result = Call(m_patience, [&] { return read(setupConfig.Get(), &call); });
    const BstrPtr owned(call);
    ThrowIfFailed(result, step);
    return ToWString(call);
}

void EchoLinkConnection::PostChatLine(const std::wstring &line)
{
    const std::string step = "posting a chat line";
    RequireAttached(step);
    const ComPtr<IDispatch> eventObject = m_eventObject; // held for the call, as above
    if (!eventObject)
        throw ComError(step, E_POINTER);
    const BstrPtr text = MakeBstr(line);
    if (!text)
        throw ComError(step, E_OUTOFMEMORY);
    const auto post = OwnOperation<PostTextOperation>(eventObject.Get(), EchoLinkContract::kPostChatLinePlace);
    ThrowIfFailed(Call(m_patience, [&] { return post(eventObject.Get(), text.get()); }), step);
}

void EchoLinkConnection::CheckAlive() noexcept
{
    const ComPtr<IDispatch> eventObject = m_eventObject; // held for the call, as above
    if (!eventObject || m_gone)
        return;
    UINT count = 0;
    Call(kAliveCheck, [&] { return eventObject->GetTypeInfoCount(&count); });
}

void EchoLinkConnection::Release() noexcept
{
    m_quiet = true;
    const auto deadline = steady_clock::now() + m_patience.limit();
    ReleaseEventObject(deadline);
    LetGo(m_setupConfig, deadline);
    LetGo(m_sysopConfig, deadline);
    m_gone = false;
}

void EchoLinkConnection::ReleaseEventObject(steady_clock::time_point deadline) noexcept
{
    if (m_sink)
        m_sink->Detach();
    // A program that has gone keeps no subscriptions.
    if (m_connectionPoint && !m_gone && Remaining(deadline).count() > 0)
        Call(CallPatience(Remaining(deadline), true), [&] { return m_connectionPoint->Unadvise(m_cookie); });
    LetGo(m_connectionPoint, deadline);
    LetGo(m_eventObject, deadline);
    if (m_sink)
        m_sink->Release();
    m_sink = nullptr;
}

// Letting go of an object of EchoLink's program is a call to it too. Once the time is up, the
// object is left as it is, without a call: Parlox ends soon after.
template <typename Object>
void EchoLinkConnection::LetGo(ComPtr<Object> &object, steady_clock::time_point deadline) noexcept
{
    if (!object)
        return;
    const milliseconds left = Remaining(deadline);
    if (left.count() <= 0) {
        static_cast<void>(object.Detach());
        return;
    }
    const MessageFilter::Call call(*m_filter.Get(), CallPatience(left, true));
    object.Reset();
}
