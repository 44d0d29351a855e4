#include "platform/win32/win32_network.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <wininet.h>

#include <array>

#include "platform/win32/win32_text.h"

namespace tsukio {

namespace chr = std::chrono;

namespace {

// Room for any NTP message with extension fields; longer datagrams are cut to it.
constexpr std::size_t kReceiveBuffer = 1024;
// The agent name servers have always seen from this program.
constexpr wchar_t kAgent[] = L"Microsoft Internet Explorer";
// A Date value longer than this is no date at all; keep no more of it.
constexpr DWORD kMostHeaderValue = 1024;

sockaddr_in SocketAddress(const Ipv4Endpoint& endpoint) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(endpoint.address);
  address.sin_port = htons(endpoint.port);
  return address;
}

class Win32DatagramSocket final : public DatagramSocket {
 public:
  Win32DatagramSocket(SOCKET s, Ipv4Endpoint peer) : socket_(s), peer_(peer) {}
  ~Win32DatagramSocket() override { closesocket(socket_); }
  Win32DatagramSocket(const Win32DatagramSocket&) = delete;
  Win32DatagramSocket& operator=(const Win32DatagramSocket&) = delete;

  bool Send(std::span<const std::uint8_t> bytes) override {
    const int sent = send(socket_, reinterpret_cast<const char*>(bytes.data()),
                          static_cast<int>(bytes.size()), 0);
    return sent == static_cast<int>(bytes.size());
  }

  std::optional<Datagram> Receive(chr::milliseconds wait) override {
    const auto deadline = chr::steady_clock::now() + wait;
    for (;;) {
      const auto left = chr::ceil<chr::milliseconds>(deadline - chr::steady_clock::now());
      if (left <= chr::milliseconds::zero()) return std::nullopt;
      WSAPOLLFD readable{socket_, POLLRDNORM, 0};
      const int ready = WSAPoll(&readable, 1, static_cast<int>(left.count()));
      if (ready <= 0) return std::nullopt;
      std::array<char, kReceiveBuffer> buffer;
      // Connected: the system hands us nothing but the peer's datagrams. A longer one
      // arrives cut, with WSAEMSGSIZE; an ICMP "port unreachable" from an earlier send
      // shows up as WSAECONNRESET.
      int size = recv(socket_, buffer.data(), static_cast<int>(buffer.size()), 0);
      if (size < 0 && WSAGetLastError() == WSAEMSGSIZE) size = static_cast<int>(buffer.size());
      if (size < 0 && WSAGetLastError() == WSAEWOULDBLOCK) continue;
      if (size < 0) return std::nullopt;
      const auto* bytes = reinterpret_cast<const std::uint8_t*>(buffer.data());
      return Datagram{peer_, {bytes, bytes + size}};
    }
  }

 private:
  SOCKET socket_;
  Ipv4Endpoint peer_;
};

struct InternetHandle {
  HINTERNET handle = nullptr;
  explicit InternetHandle(HINTERNET h) : handle(h) {}
  ~InternetHandle() {
    if (handle != nullptr) InternetCloseHandle(handle);
  }
  InternetHandle(const InternetHandle&) = delete;
  InternetHandle& operator=(const InternetHandle&) = delete;
};

}  // namespace

Win32DatagramNetwork::Win32DatagramNetwork() {
  WSADATA data{};
  started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

Win32DatagramNetwork::~Win32DatagramNetwork() {
  if (started_) WSACleanup();
}

std::optional<std::uint32_t> Win32DatagramNetwork::ResolveIpv4(const std::string& host) {
  addrinfoW hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_DGRAM;
  addrinfoW* found = nullptr;
  if (GetAddrInfoW(Widen(host).c_str(), nullptr, &hints, &found) != 0 || found == nullptr) {
    return std::nullopt;
  }
  const auto* address = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
  const std::uint32_t result = ntohl(address->sin_addr.s_addr);
  FreeAddrInfoW(found);
  return result;
}

std::unique_ptr<DatagramSocket> Win32DatagramNetwork::Connect(const Ipv4Endpoint& peer) {
  const SOCKET s = WSASocketW(AF_INET, SOCK_DGRAM, IPPROTO_UDP, nullptr, 0,
                              WSA_FLAG_OVERLAPPED | WSA_FLAG_NO_HANDLE_INHERIT);
  if (s == INVALID_SOCKET) return nullptr;
  // No bind: connecting picks an ephemeral port, so nobody who does not see our request
  // knows where to send a forged answer, and nobody can hold the port before us.
  const sockaddr_in address = SocketAddress(peer);
  if (connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    closesocket(s);
    return nullptr;
  }
  return std::make_unique<Win32DatagramSocket>(s, peer);
}

std::string WinInetProxyName(const std::string& proxy) {
  constexpr std::string_view kScheme = "http://";
  std::string name = proxy;
  if (name.size() >= kScheme.size() &&
      std::equal(kScheme.begin(), kScheme.end(), name.begin(),
                 [](char a, char b) { return a == (b >= 'A' && b <= 'Z' ? b + 32 : b); })) {
    name.erase(0, kScheme.size());
  }
  while (!name.empty() && name.back() == '/') name.pop_back();
  return name;
}

std::optional<std::string> WinInetHttpClient::DateHeader(const HttpRequest& request) {
  DWORD access = INTERNET_OPEN_TYPE_DIRECT;
  std::wstring proxy;
  switch (request.mode) {
    case HttpAccessMode::kDirect:
      break;
    case HttpAccessMode::kNamedProxy:
      access = INTERNET_OPEN_TYPE_PROXY;
      proxy = Widen(WinInetProxyName(request.proxy));
      break;
    case HttpAccessMode::kPreconfigured:
      access = INTERNET_OPEN_TYPE_PRECONFIG;
      break;
  }
  // "<local>" would let names without a dot go around the named proxy: nothing does.
  const InternetHandle session(InternetOpenW(kAgent, access, proxy.empty() ? nullptr : proxy.c_str(),
                                             nullptr, 0));
  if (session.handle == nullptr) return std::nullopt;
  const auto set = [&](DWORD option, chr::milliseconds value) {
    DWORD ms = static_cast<DWORD>(value.count());
    InternetSetOptionW(session.handle, option, &ms, sizeof ms);
  };
  set(INTERNET_OPTION_CONNECT_TIMEOUT, limits_.connect);
  set(INTERNET_OPTION_SEND_TIMEOUT, limits_.receive);
  set(INTERNET_OPTION_RECEIVE_TIMEOUT, limits_.receive);

  // A cache between us and the server would hand back the Date of its stored copy.
  constexpr wchar_t kHeaders[] = L"Cache-Control: no-cache\r\nPragma: no-cache\r\n";
  const DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                      INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_COOKIES |
                      INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_AUTH;
  const InternetHandle url(InternetOpenUrlW(session.handle, Widen(request.url).c_str(), kHeaders,
                                            static_cast<DWORD>(-1), flags, 0));
  if (url.handle == nullptr) return std::nullopt;
  std::wstring date(kMostHeaderValue, L'\0');
  DWORD size = static_cast<DWORD>(date.size() * sizeof(wchar_t));
  DWORD index = 0;
  if (!HttpQueryInfoW(url.handle, HTTP_QUERY_DATE, date.data(), &size, &index)) {
    return std::nullopt;
  }
  date.resize(size / sizeof(wchar_t));
  return Narrow(date);
}

}  // namespace tsukio
