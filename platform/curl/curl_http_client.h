#pragma once

#include <chrono>

#include "platform/http_client.h"

namespace tsukio {

// HTTP through libcurl. Each request may take at most `connect` to connect and `total` in
// all, redirects included.
class CurlHttpClient final : public HttpClient {
 public:
  struct Limits {
    std::chrono::milliseconds connect{5000};
    std::chrono::milliseconds total{15000};
  };

  CurlHttpClient();
  explicit CurlHttpClient(Limits limits);
  ~CurlHttpClient() override;
  CurlHttpClient(const CurlHttpClient&) = delete;
  CurlHttpClient& operator=(const CurlHttpClient&) = delete;

  std::optional<std::string> DateHeader(const HttpRequest& request) override;

 private:
  Limits limits_;
};

}  // namespace tsukio
