#include "net/polite_download.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

namespace net {
namespace {

constexpr DWORD kSampleIntervalMs = 100;
// A set-up that takes longer is a line so loaded that the rate goes down.
constexpr long kConnectTimeoutMs = 1000;

struct CurlUrlDeleter {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
struct CurlTextDeleter {
    void operator()(char* text) const { curl_free(text); }
};
struct AddressInfoDeleter {
    void operator()(addrinfo* info) const { ::freeaddrinfo(info); }
};

// The package server's first address, as getaddrinfo gives it.
bool ResolveServer(const std::string& url, sockaddr_storage& address, int& length) {
    std::unique_ptr<CURLU, CurlUrlDeleter> parsed(curl_url());
    if (!parsed || curl_url_set(parsed.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK) return false;
    char* host = nullptr;
    char* port = nullptr;
    curl_url_get(parsed.get(), CURLUPART_HOST, &host, 0);
    curl_url_get(parsed.get(), CURLUPART_PORT, &port, CURLU_DEFAULT_PORT);
    std::unique_ptr<char, CurlTextDeleter> hostText(host);
    std::unique_ptr<char, CurlTextDeleter> portText(port);
    if (!host || !port) return false;
    std::string hostName = host;
    // A bracketed IPv6 literal is looked up without its brackets.
    if (hostName.size() > 2 && hostName.front() == '[') hostName = hostName.substr(1, hostName.size() - 2);
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* found = nullptr;
    if (::getaddrinfo(hostName.c_str(), port, &hints, &found) != 0 || !found) return false;
    std::unique_ptr<addrinfo, AddressInfoDeleter> owned(found);
    if (found->ai_addrlen > sizeof address) return false;
    std::memcpy(&address, found->ai_addr, found->ai_addrlen);
    length = static_cast<int>(found->ai_addrlen);
    return true;
}

struct SocketCloser {
    SOCKET socket;
    ~SocketCloser() {
        if (socket != INVALID_SOCKET) ::closesocket(socket);
    }
};

// Each active part has at most its receive buffer in flight.
PoliteTuning TuningForParts() {
    PoliteTuning tuning;
    tuning.partWindowBytes = kPoliteReceiveBuffer;
    return tuning;
}

}  // namespace

double MonotonicMs() {
    static const double ticksPerMs = [] {
        LARGE_INTEGER frequency;
        ::QueryPerformanceFrequency(&frequency);
        return static_cast<double>(frequency.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / ticksPerMs;
}

PoliteDownload::PoliteDownload(const std::string& url, std::function<double()> received)
    : received_(std::move(received)), controller_(TuningForParts()), pacer_(PoliteTuning{}.startRate) {
    winsockStarted_ = ::WSAStartup(MAKEWORD(2, 2), &winsock_) == 0;
    if (!winsockStarted_ || !ResolveServer(url, address_, addressLength_)) return;
    stop_.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!stop_) return;
    thread_.reset(::CreateThread(nullptr, 64 * 1024, &PoliteDownload::Run, this, STACK_SIZE_PARAM_IS_A_RESERVATION,
                                 nullptr));
}

PoliteDownload::~PoliteDownload() {
    if (thread_) {
        ::SetEvent(stop_.get());
        ::WaitForSingleObject(thread_.get(), INFINITE);
    }
    if (winsockStarted_) ::WSACleanup();
}

DWORD WINAPI PoliteDownload::Run(void* self) {
    static_cast<PoliteDownload*>(self)->SampleUntilStopped();
    return 0;
}

void PoliteDownload::SampleUntilStopped() {
    while (::WaitForSingleObject(stop_.get(), kSampleIntervalMs) == WAIT_TIMEOUT) {
        const double roundTrip = TimeConnect();
        if (roundTrip < 0) continue;
        const double bytes = received_ ? received_() : 0;
        Util::CriticalSectionLock guard(lock_);
        pacer_.SetRate(controller_.OnSample(MonotonicMs(), roundTrip, bytes));
    }
}

double PoliteDownload::TimeConnect() const {
    SocketCloser probe{::socket(address_.ss_family, SOCK_STREAM, IPPROTO_TCP)};
    if (probe.socket == INVALID_SOCKET) return -1;
    u_long nonBlocking = 1;
    if (::ioctlsocket(probe.socket, FIONBIO, &nonBlocking) != 0) return -1;
    const double start = MonotonicMs();
    if (::connect(probe.socket, reinterpret_cast<const sockaddr*>(&address_), addressLength_) != 0 &&
        ::WSAGetLastError() != WSAEWOULDBLOCK) {
        return -1;
    }
    fd_set writable;
    fd_set failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(probe.socket, &writable);
    FD_SET(probe.socket, &failed);
    timeval timeout{kConnectTimeoutMs / 1000, (kConnectTimeoutMs % 1000) * 1000};
    const int ready = ::select(0, nullptr, &writable, &failed, &timeout);
    if (ready == 0) return static_cast<double>(kConnectTimeoutMs);
    if (ready < 0 || FD_ISSET(probe.socket, &failed)) return -1;
    return MonotonicMs() - start;
}

void PoliteDownload::Pace(std::size_t bytes) {
    // Nothing sets the rate without samples: no pacing, as the header says.
    if (!sampling()) return;
    const std::uint32_t part = ::GetCurrentThreadId();
    for (;;) {
        PartGate::Answer answer{};
        double waitMs = 0;
        {
            Util::CriticalSectionLock guard(lock_);
            const double nowMs = MonotonicMs();
            answer = gate_.Ask(part, nowMs, controller_.ActiveParts());
            if (answer.turn == PartGate::Turn::kActive) {
                waitMs = pacer_.Take(static_cast<double>(bytes), nowMs);
                // The place is kept through the wait and the next read,
                // which at a slow rate comes a while later.
                const double readMs = pacer_.Rate() > 0 ? 2000.0 * static_cast<double>(bytes) / pacer_.Rate() : 0;
                gate_.Hold(part, nowMs, waitMs + readMs);
            }
        }
        if (answer.turn == PartGate::Turn::kTrickle) return;
        if (answer.turn == PartGate::Turn::kActive) {
            if (waitMs >= 1) ::Sleep(static_cast<DWORD>(waitMs));
            return;
        }
        // Parked: asks again soon, in case a place has come free.
        ::Sleep(static_cast<DWORD>(std::max(1.0, answer.retryMs)));
    }
}

void PoliteDownload::PartEnded() {
    Util::CriticalSectionLock guard(lock_);
    gate_.Leave(::GetCurrentThreadId());
}

double PoliteDownload::Rate() {
    Util::CriticalSectionLock guard(lock_);
    return pacer_.Rate();
}

}  // namespace net
