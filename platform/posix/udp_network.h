#pragma once

#include "platform/datagram.h"

namespace tsukio {

// IPv4 UDP through the socket API; names are looked up by the system's resolver.
class PosixDatagramNetwork final : public DatagramNetwork {
 public:
  std::optional<std::uint32_t> ResolveIpv4(const std::string& host) override;
  std::unique_ptr<DatagramSocket> Connect(const Ipv4Endpoint& peer) override;
};

}  // namespace tsukio
