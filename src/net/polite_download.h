#pragma once
// A polite download at run time: a thread that times TCP connection
// set-ups to the package's server ten times a second and sets the rate
// (net/polite_pacing.h), and the pacing every part's received bytes go
// through. Reading more slowly than the line could deliver, with a small
// socket receive buffer, makes the server send no faster than that: the
// queue on the user's line stays short, and other traffic on it (the live
// stream, a game) keeps its delay.

#include <winsock2.h>  // before windows.h
#include <ws2tcpip.h>
#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>

#include "net/polite_pacing.h"
#include "util/unique_handle.h"

namespace net {

// The socket receive buffer of a polite part: about 13 ms of a 20 Mbit/s
// line. It bounds what one active part can have in flight, and so the
// queue it can build before the rate reacts; longer lines get more active
// parts (PoliteTuning::partWindowBytes is this size).
inline constexpr int kPoliteReceiveBuffer = 32 * 1024;
// curl's buffer in polite mode: small reads, so that each wait is short.
inline constexpr long kPoliteReadBuffer = 16 * 1024;

class PoliteDownload {
public:
    // `received`: the bytes the download has received so far (called on
    // the sampling thread).
    PoliteDownload(const std::string& url, std::function<double()> received);
    ~PoliteDownload();
    PoliteDownload(const PoliteDownload&) = delete;
    PoliteDownload& operator=(const PoliteDownload&) = delete;

    // False when the server's address could not be found or the thread not
    // started: the download then goes at the line's speed, as without it.
    bool sampling() const { return thread_.valid(); }

    // Blocks until `bytes` more may be taken: at the current rate while the
    // calling part holds one of the places the controller allows, else at
    // a parked part's trickle. Each part calls it on its own thread.
    void Pace(std::size_t bytes);
    // The calling part has ended: its place passes on now.
    void PartEnded();

    double Rate();

private:
    static DWORD WINAPI Run(void* self);
    void SampleUntilStopped();
    // The connection set-up's round trip, milliseconds; negative when none
    // could be measured (refused, no address).
    double TimeConnect() const;

    WSADATA winsock_{};
    bool winsockStarted_ = false;  // the sampler's own reference to Winsock
    std::function<double()> received_;
    sockaddr_storage address_{};
    int addressLength_ = 0;
    Util::CriticalSection lock_;
    PoliteRateController controller_;
    ReceivePacer pacer_;
    PartGate gate_;
    Util::UniqueHandle stop_;
    Util::UniqueHandle thread_;
};

// Milliseconds since an arbitrary start, from the performance counter.
double MonotonicMs();

}  // namespace net
