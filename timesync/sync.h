#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "platform/datagram.h"
#include "platform/http_client.h"
#include "platform/system_time.h"
#include "platform/ticks.h"

namespace tsukio {

// How a synchronization ended; the status icon shows it.
enum SyncResult : int {
  SyncOk = 0,            // the clock was set
  SyncServerFailed = 1,  // no usable answer
  SyncSetFailed = 2,     // an answer came, but it is no time or the clock refused it
};

// Everything setting the clock needs from the outside world.
struct SyncServices {
  DatagramNetwork& udp;
  HttpClient& http;
  TickCounter& ticks;
  UtcClock& clock;
  ClockSetter& setter;
  // How long an SNTP server has to answer.
  std::chrono::milliseconds ntpWait{5000};
};

struct SyncReport {
  SyncResult result = SyncServerFailed;
  std::optional<UtcTime> time;          // the time the answer gave, as it was to be set
  std::optional<LocalTimestamp> local;  // the same time on the local clock
  std::string setError;                 // why the clock refused it
};

// Sets the clock to an answer's time: the common end of both methods.
SyncReport SetClockTo(UtcTime utc, SyncServices& services);

}  // namespace tsukio
