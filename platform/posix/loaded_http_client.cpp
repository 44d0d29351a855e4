#include "platform/posix/loaded_http_client.h"

#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

#include <cstdio>
#include <string>

namespace tsukio {

LoadedHttpClient::LoadedHttpClient(std::vector<std::filesystem::path> candidates)
    : candidates_(std::move(candidates)) {}

// The module stays loaded: libcurl's global state must not be torn down under a client.
LoadedHttpClient::~LoadedHttpClient() = default;

bool LoadedHttpClient::Loaded() const {
  const std::lock_guard lock(mutex_);
  return client_ != nullptr;
}

HttpClient* LoadedHttpClient::Client() {
  const std::lock_guard lock(mutex_);
  if (tried_) return client_.get();
  tried_ = true;
  std::string errors;
  for (const std::filesystem::path& path : candidates_) {
    module_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module_ == nullptr) {
      errors += std::string("\n  ") + dlerror();
      continue;
    }
    using Make = HttpClient* (*)();
    if (const auto make = reinterpret_cast<Make>(dlsym(module_, "TsukioMakeHttpClient"))) {
      client_.reset(make());
      return client_.get();
    }
    errors += "\n  " + path.string() + ": no TsukioMakeHttpClient";
  }
  std::fprintf(stderr, "tsukio: HTTP is not available:%s\n", errors.c_str());
  return nullptr;
}

std::optional<std::string> LoadedHttpClient::DateHeader(const HttpRequest& request) {
  HttpClient* client = Client();
  if (client == nullptr) return std::nullopt;
  return client->DateHeader(request);
}

std::vector<std::filesystem::path> HttpModuleCandidates() {
  char self[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return {};
  const std::filesystem::path dir = std::filesystem::path(std::string(self, n)).parent_path();
  return {(dir / TSUKIO_LIBEXEC_FROM_BINDIR / "tsukio-http.so").lexically_normal(),
          dir / "tsukio-http.so"};
}

}  // namespace tsukio
