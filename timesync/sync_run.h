#pragma once

#include <optional>
#include <string>

#include "timesync/sync.h"

namespace tsukio {

// The settings that choose how the clock is set, as the settings store leaves them:
// `httpServer` a whole URL whenever an HTTP mode is on, `proxyServer` "http://host:port"
// when httpSetup is 2 or more.
struct SyncSettings {
  int ntpSetup = 0;   // 1: SNTP
  int httpSetup = 0;  // 0 none, 1 direct, 2 the named proxy, 3 the environment's proxy
  std::string ntpServer;
  std::string httpServer;
  std::string proxyServer;
};

// Whether a method is chosen at all.
bool SyncConfigured(const SyncSettings& settings);

// Sets the clock by the chosen method: HTTP whenever httpSetup asks for it, else SNTP.
SyncReport SynchronizeClock(const SyncSettings& settings, SyncServices& services);

}  // namespace tsukio
