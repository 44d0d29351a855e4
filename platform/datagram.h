#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tsukio {

// An IPv4 address and a UDP port, both in host byte order.
struct Ipv4Endpoint {
  std::uint32_t address = 0;
  std::uint16_t port = 0;

  friend bool operator==(const Ipv4Endpoint&, const Ipv4Endpoint&) = default;
};

struct Datagram {
  Ipv4Endpoint from;
  std::vector<std::uint8_t> bytes;
};

// One IPv4 UDP socket talking to one peer, closed when the object goes.
class DatagramSocket {
 public:
  virtual ~DatagramSocket() = default;
  virtual bool Send(std::span<const std::uint8_t> bytes) = 0;
  // The next datagram to arrive within `wait`; nothing on a time-out or an error.
  virtual std::optional<Datagram> Receive(std::chrono::milliseconds wait) = 0;
};

class DatagramNetwork {
 public:
  virtual ~DatagramNetwork() = default;
  // The first IPv4 address of a host name; nothing when it has none.
  virtual std::optional<std::uint32_t> ResolveIpv4(const std::string& host) = 0;
  // A socket on a local port the system picks, connected to `peer`: datagrams from anyone
  // else never reach it, and nobody can aim at it before it exists. Nothing when no socket
  // can be had.
  virtual std::unique_ptr<DatagramSocket> Connect(const Ipv4Endpoint& peer) = 0;
};

}  // namespace tsukio
