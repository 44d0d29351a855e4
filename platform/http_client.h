#pragma once

#include <optional>
#include <string>

namespace tsukio {

// How a request reaches the web: straight, through the proxy the caller names, or the way
// the user's environment says (the proxy variables).
enum class HttpAccessMode { kDirect = 0, kNamedProxy = 1, kPreconfigured = 2 };

struct HttpRequest {
  HttpAccessMode mode = HttpAccessMode::kDirect;
  std::string url;
  std::string proxy;  // "http://host:port", for kNamedProxy only
};

class HttpClient {
 public:
  virtual ~HttpClient() = default;
  // GETs the URL, following redirects, and returns the value of the final response's Date
  // header whatever its status; nothing when no response came or it had no Date.
  virtual std::optional<std::string> DateHeader(const HttpRequest& request) = 0;
};

}  // namespace tsukio
