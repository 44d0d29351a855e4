// The HTTP client as a module of its own: the tray loads it, and with it libcurl and its TLS
// chain, only when an HTTP time setting is in use.
#include "platform/curl/curl_http_client.h"

extern "C" __attribute__((visibility("default"))) tsukio::HttpClient* TsukioMakeHttpClient() {
  return new tsukio::CurlHttpClient();
}
