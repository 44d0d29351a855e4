#include "platform/curl/curl_http_client.h"

#include <curl/curl.h>

#include <memory>
#include <string_view>

namespace tsukio {

namespace {

// The agent name servers have always seen from this program.
constexpr char kAgent[] = "Microsoft Internet Explorer";
constexpr long kMostRedirects = 10;
constexpr long kHttpProxyPort = 80;  // for a named proxy given without a port
// A redirect's body is read and thrown away; more than this is not worth waiting for.
constexpr std::size_t kMostRedirectBody = 64 * 1024;
// A Date value longer than this is no date at all; keep no more of it.
constexpr std::size_t kMostHeaderValue = 1024;

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

std::string_view Trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

// The response being read. Redirects, and a proxy's answer to CONNECT, come as responses
// of their own before the final one; each starts afresh.
struct Response {
  long status = 0;
  bool headersComplete = false;
  std::optional<std::string> date;
  std::size_t bodySeen = 0;
  bool stoppedAtBody = false;
};

std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* user) {
  auto& response = *static_cast<Response*>(user);
  const std::size_t length = size * count;
  const std::string_view line(data, length);
  if (line.starts_with("HTTP/")) {
    response = Response{};
    const auto space = line.find(' ');
    if (space != std::string_view::npos) {
      long status = 0;
      for (std::size_t i = space + 1; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i) {
        status = status * 10 + (line[i] - '0');
        if (status > 999) break;
      }
      response.status = status;
    }
  } else if (Trimmed(line).empty()) {
    response.headersComplete = true;
  } else if (const auto colon = line.find(':'); colon != std::string_view::npos) {
    // The first Date of a response counts, as the server's clock read it.
    if (!response.date && EqualsIgnoringCase(Trimmed(line.substr(0, colon)), "date")) {
      response.date = std::string(Trimmed(line.substr(colon + 1)).substr(0, kMostHeaderValue));
    }
  }
  return length;
}

// The final response's headers are all in once its body begins: the body itself is not
// wanted, so the transfer stops there.
std::size_t OnBody(char*, std::size_t size, std::size_t count, void* user) {
  auto& response = *static_cast<Response*>(user);
  const std::size_t length = size * count;
  const bool redirect = response.status >= 300 && response.status <= 399;
  if (redirect && response.bodySeen + length <= kMostRedirectBody) {
    response.bodySeen += length;
    return length;
  }
  response.stoppedAtBody = true;
  return 0;
}

struct EasyDeleter {
  void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct ListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

}  // namespace

CurlHttpClient::CurlHttpClient() : CurlHttpClient(Limits{}) {}

CurlHttpClient::CurlHttpClient(Limits limits) : limits_(limits) {
  curl_global_init(CURL_GLOBAL_DEFAULT);
}

CurlHttpClient::~CurlHttpClient() {
  curl_global_cleanup();
}

std::optional<std::string> CurlHttpClient::DateHeader(const HttpRequest& request) {
  const std::unique_ptr<CURL, EasyDeleter> curl(curl_easy_init());
  if (!curl) return std::nullopt;
  CURL* const easy = curl.get();
  Response response;

  // A cache between us and the server would hand back the Date of its stored copy.
  std::unique_ptr<curl_slist, ListDeleter> headers(
      curl_slist_append(nullptr, "Cache-Control: no-cache"));
  if (headers) curl_slist_append(headers.get(), "Pragma: no-cache");

  curl_easy_setopt(easy, CURLOPT_URL, request.url.c_str());
  curl_easy_setopt(easy, CURLOPT_USERAGENT, kAgent);
  curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers.get());
  curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(easy, CURLOPT_MAXREDIRS, kMostRedirects);
  curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits_.connect.count()));
  curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, static_cast<long>(limits_.total.count()));
  curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
  curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, OnHeader);
  curl_easy_setopt(easy, CURLOPT_HEADERDATA, &response);
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, OnBody);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, &response);

  switch (request.mode) {
    case HttpAccessMode::kDirect:
      curl_easy_setopt(easy, CURLOPT_PROXY, "");  // and the proxy variables are ignored
      break;
    case HttpAccessMode::kNamedProxy:
      curl_easy_setopt(easy, CURLOPT_PROXY, request.proxy.c_str());
      curl_easy_setopt(easy, CURLOPT_PROXYPORT, kHttpProxyPort);
      curl_easy_setopt(easy, CURLOPT_NOPROXY, "");  // no_proxy does not bypass it
      break;
    case HttpAccessMode::kPreconfigured:
      break;  // libcurl reads http_proxy, https_proxy, all_proxy and no_proxy itself
  }

  const CURLcode result = curl_easy_perform(easy);
  const bool finished =
      result == CURLE_OK || (result == CURLE_WRITE_ERROR && response.stoppedAtBody);
  if (!finished || !response.headersComplete) return std::nullopt;
  return response.date;
}

}  // namespace tsukio
