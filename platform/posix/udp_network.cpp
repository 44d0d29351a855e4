#include "platform/posix/udp_network.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>

namespace tsukio {

namespace {

namespace chr = std::chrono;

// Room for any NTP message with extension fields; longer datagrams are cut to it.
constexpr std::size_t kReceiveBuffer = 1024;

sockaddr_in SocketAddress(const Ipv4Endpoint& endpoint) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(endpoint.address);
  address.sin_port = htons(endpoint.port);
  return address;
}

class PosixDatagramSocket final : public DatagramSocket {
 public:
  PosixDatagramSocket(int fd, const Ipv4Endpoint& peer) : fd_(fd), peer_(peer) {}
  ~PosixDatagramSocket() override { close(fd_); }
  PosixDatagramSocket(const PosixDatagramSocket&) = delete;
  PosixDatagramSocket& operator=(const PosixDatagramSocket&) = delete;

  bool Send(std::span<const std::uint8_t> bytes) override {
    const ssize_t sent = send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    return sent == static_cast<ssize_t>(bytes.size());
  }

  std::optional<Datagram> Receive(chr::milliseconds wait) override {
    const auto deadline = chr::steady_clock::now() + wait;
    for (;;) {
      const auto left = chr::ceil<chr::milliseconds>(deadline - chr::steady_clock::now());
      if (left <= chr::milliseconds::zero()) return std::nullopt;
      pollfd readable{fd_, POLLIN, 0};
      const int ready = poll(&readable, 1, static_cast<int>(left.count()));
      if (ready < 0 && errno == EINTR) continue;
      if (ready <= 0) return std::nullopt;
      std::array<std::uint8_t, kReceiveBuffer> buffer;
      // Connected: the system hands us nothing but the peer's datagrams.
      const ssize_t size = recv(fd_, buffer.data(), buffer.size(), MSG_DONTWAIT);
      if (size < 0 && (errno == EINTR || errno == EAGAIN)) continue;
      // An ICMP "port unreachable" from an earlier send shows up here as an error.
      if (size < 0) return std::nullopt;
      return Datagram{peer_, {buffer.begin(), buffer.begin() + size}};
    }
  }

 private:
  int fd_;
  Ipv4Endpoint peer_;
};

}  // namespace

std::optional<std::uint32_t> PosixDatagramNetwork::ResolveIpv4(const std::string& host) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_DGRAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) {
    return std::nullopt;
  }
  const auto* address = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
  const std::uint32_t result = ntohl(address->sin_addr.s_addr);
  freeaddrinfo(found);
  return result;
}

std::unique_ptr<DatagramSocket> PosixDatagramNetwork::Connect(const Ipv4Endpoint& peer) {
  const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return nullptr;
  // No bind: connecting picks an ephemeral port at random, so nobody who does not see our
  // request knows where to send a forged answer, and nobody can hold the port before us.
  const sockaddr_in address = SocketAddress(peer);
  if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    close(fd);
    return nullptr;
  }
  return std::make_unique<PosixDatagramSocket>(fd, peer);
}

}  // namespace tsukio
