#pragma once

#include <filesystem>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/http_client.h"

namespace tsukio {

// HTTP from a module loaded at the first request, so a program that never asks a web server
// never loads libcurl. Loading in-process rather than running a helper keeps the Date
// header's receipt tick where the answer arrives. A module that cannot be loaded makes every
// request fail, as an unreachable server does.
class LoadedHttpClient final : public HttpClient {
 public:
  // The first of `candidates` that loads is used.
  explicit LoadedHttpClient(std::vector<std::filesystem::path> candidates);
  ~LoadedHttpClient() override;
  LoadedHttpClient(const LoadedHttpClient&) = delete;
  LoadedHttpClient& operator=(const LoadedHttpClient&) = delete;

  std::optional<std::string> DateHeader(const HttpRequest& request) override;
  bool Loaded() const;

 private:
  HttpClient* Client();

  std::vector<std::filesystem::path> candidates_;
  mutable std::mutex mutex_;
  bool tried_ = false;
  void* module_ = nullptr;
  std::unique_ptr<HttpClient> client_;
};

// Where the module is: installed, in libexec; in the build tree, beside the program.
std::vector<std::filesystem::path> HttpModuleCandidates();

}  // namespace tsukio
