#pragma once

#include <chrono>

#include "platform/datagram.h"
#include "platform/http_client.h"

namespace tsukio {

// IPv4 UDP through Winsock; names are looked up by the system's resolver.
class Win32DatagramNetwork final : public DatagramNetwork {
 public:
  Win32DatagramNetwork();
  ~Win32DatagramNetwork() override;
  Win32DatagramNetwork(const Win32DatagramNetwork&) = delete;
  Win32DatagramNetwork& operator=(const Win32DatagramNetwork&) = delete;

  std::optional<std::uint32_t> ResolveIpv4(const std::string& host) override;
  std::unique_ptr<DatagramSocket> Connect(const Ipv4Endpoint& peer) override;

 private:
  bool started_ = false;
};

// HTTP through WinINet: straight (INTERNET_OPEN_TYPE_DIRECT), through the named proxy, or
// the way the user's Internet settings say (INTERNET_OPEN_TYPE_PRECONFIG).
class WinInetHttpClient final : public HttpClient {
 public:
  struct Limits {
    std::chrono::milliseconds connect{10000};
    std::chrono::milliseconds receive{15000};
  };
  WinInetHttpClient() : WinInetHttpClient(Limits{}) {}
  explicit WinInetHttpClient(Limits limits) : limits_(limits) {}
  std::optional<std::string> DateHeader(const HttpRequest& request) override;

 private:
  Limits limits_;
};

// WinINet names a proxy as "host:port"; the core hands it as "http://host:port".
std::string WinInetProxyName(const std::string& proxy);

}  // namespace tsukio
