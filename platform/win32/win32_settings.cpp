#include "platform/win32/win32_settings.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdlib>
#include <random>

#include "platform/win32/win32_system.h"
#include "platform/win32/win32_text.h"

namespace tsukio {

namespace {

// A settings file is a few hundred bytes; past this it is not ours to load, yet anything
// smaller is read whole so that a save keeps whatever else the user put there.
constexpr std::uint64_t kLargestFile = 16 << 20;

bool RealWrite(void* file, const void* data, unsigned long size) {
  DWORD written = 0;
  return WriteFile(file, data, size, &written, nullptr) && written == size;
}
bool RealFlush(void* file) {
  return FlushFileBuffers(file);
}
bool RealReplace(const wchar_t* to, const wchar_t* from) {
  return ReplaceFileW(to, from, nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr);
}
bool RealMove(const wchar_t* from, const wchar_t* to) {
  return MoveFileExW(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

std::string Folder(const std::string& path) {
  const auto slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

}  // namespace

const FileSteps& RealFileSteps() {
  static const FileSteps steps{RealWrite, RealFlush, RealReplace, RealMove};
  return steps;
}

std::string FileErrorReason(unsigned long error) {
  switch (error) {
    case ERROR_DIRECTORY:
      return "フォルダーです";
    case ERROR_ACCESS_DENIED:
      return "アクセスが拒否されました";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return "ディスクがいっぱいです";
    case ERROR_WRITE_PROTECT:
      return "読み取り専用のファイルシステムです";
    case ERROR_PATH_NOT_FOUND:
      return "フォルダーがありません";
    case ERROR_FILENAME_EXCED_RANGE:
      return "パスが長すぎます";
    case ERROR_FILE_TOO_LARGE:
      return "ファイルが大きすぎます";
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
      return "入出力エラーが起きました";
    case ERROR_TOO_MANY_OPEN_FILES:
      return "開いているファイルが多すぎます";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return "使用中です";
    default:
      return "システムエラー " + std::to_string(error) + " (" + SystemErrorText(error) + ")";
  }
}

StorageWrite ReplaceFileWhole(const std::string& path, const std::string& contents,
                              const FileSteps& steps) {
  std::random_device random;
  const std::wstring target = Widen(path);
  const std::wstring temporary = Widen(path + ".tmp-" + std::to_string(GetCurrentProcessId()) +
                                       "-" + std::to_string(random() % 1000000));
  HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {false, FileErrorReason(GetLastError())};
  bool ok = true;
  for (std::size_t done = 0; ok && done < contents.size();) {
    const auto chunk =
        static_cast<unsigned long>(std::min<std::size_t>(contents.size() - done, 1 << 20));
    ok = steps.write(file, contents.data() + done, chunk);
    done += chunk;
  }
  ok = ok && steps.flush(file);
  DWORD failure = ok ? 0 : GetLastError();
  if (!CloseHandle(file) && ok) {
    ok = false;
    failure = GetLastError();
  }
  if (ok) {
    // ReplaceFileW keeps the old file's attributes and security; it needs an old file.
    const bool exists = GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES;
    ok = (exists && steps.replace(target.c_str(), temporary.c_str())) ||
         steps.move(temporary.c_str(), target.c_str());
    if (!ok) failure = GetLastError();
  }
  if (!ok) {
    DeleteFileW(temporary.c_str());
    return {false, FileErrorReason(failure == 0 ? ERROR_WRITE_FAULT : failure)};
  }
  return {};
}

std::string RoamingAppData() {
  wchar_t* folder = nullptr;
  std::string path;
  if (SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_DEFAULT, nullptr, &folder) == S_OK) {
    path = Narrow(folder);
  }
  CoTaskMemFree(folder);
  if (path.empty()) {
    const wchar_t* variable = _wgetenv(L"APPDATA");
    if (variable != nullptr) path = Narrow(variable);
  }
  while (!path.empty() && (path.back() == '\\' || path.back() == '/')) path.pop_back();
  return path;
}

std::string SettingsFilePath(const std::string& programName) {
  const auto dot = programName.rfind('.');
  const std::string stem =
      dot == std::string::npos || dot == 0 ? programName : programName.substr(0, dot);
  return RoamingAppData() + "\\Quorv\\Tsukio\\" + stem + ".ini";
}

void MakeParentFolders(const std::string& path) {
  const std::string folder = Folder(path);
  // Past a drive ("C:\") or a share ("\\server\share\") there is nothing to make.
  std::size_t from = folder.starts_with("\\\\") ? folder.find('\\', folder.find('\\', 2) + 1)
                                                 : folder.find('\\');
  for (std::size_t slash = from == std::string::npos ? from : folder.find('\\', from + 1);;
       slash = folder.find('\\', slash + 1)) {
    CreateDirectoryW(Widen(folder.substr(0, slash)).c_str(), nullptr);
    if (slash == std::string::npos) break;
  }
}

void Win32SettingsFile::MakeFolders() {
  MakeParentFolders(path_);
}

StoredSettings Win32SettingsFile::Read() const {
  const std::wstring path = Widen(path_);
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    // No file, or not even its folder: a first start.
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return {};
    return {StoredSettings::Status::kUnreadable, {}, FileErrorReason(error)};
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    return {StoredSettings::Status::kUnreadable, {}, FileErrorReason(ERROR_DIRECTORY)};
  }
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND) return {};
    return {StoredSettings::Status::kUnreadable, {}, FileErrorReason(error)};
  }
  StoredSettings result;
  LARGE_INTEGER size{};
  if (GetFileType(file) != FILE_TYPE_DISK) {
    result = {StoredSettings::Status::kUnreadable, {}, "通常のファイルではありません"};
  } else if (!GetFileSizeEx(file, &size)) {
    result = {StoredSettings::Status::kUnreadable, {}, FileErrorReason(GetLastError())};
  } else if (static_cast<std::uint64_t>(size.QuadPart) > kLargestFile) {
    result = {StoredSettings::Status::kUnreadable, {}, FileErrorReason(ERROR_FILE_TOO_LARGE)};
  } else {
    result.status = StoredSettings::Status::kRead;
    char buffer[65536];
    for (;;) {
      DWORD got = 0;
      if (!ReadFile(file, buffer, sizeof buffer, &got, nullptr)) {
        result = {StoredSettings::Status::kUnreadable, {}, FileErrorReason(GetLastError())};
        break;
      }
      if (got == 0) break;
      result.text.append(buffer, got);
      if (result.text.size() > kLargestFile) {  // grew while we read it
        result = {StoredSettings::Status::kUnreadable, {}, FileErrorReason(ERROR_FILE_TOO_LARGE)};
        break;
      }
    }
  }
  CloseHandle(file);
  return result;
}

StorageWrite Win32SettingsFile::Write(const std::string& contents) {
  return ReplaceFileWhole(path_, contents);
}

Win32Autostart::Win32Autostart(std::string executable, std::string runKey,
                               std::string approvedKey, std::string valueName)
    : executable_(std::move(executable)),
      runKey_(std::move(runKey)),
      approvedKey_(std::move(approvedKey)),
      valueName_(std::move(valueName)) {}

std::string Win32Autostart::Path() const {
  return "HKEY_CURRENT_USER\\" + runKey_ + "\\" + valueName_;
}

bool Win32Autostart::Exists() const {
  const std::wstring name = Widen(valueName_);
  DWORD type = 0;
  if (RegGetValueW(HKEY_CURRENT_USER, Widen(runKey_).c_str(), name.c_str(),
                   RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, &type, nullptr,
                   nullptr) != ERROR_SUCCESS) {
    return false;
  }
  // The mark's first byte is even while the entry is on, odd once turned off.
  BYTE approved[12] = {};
  DWORD size = sizeof approved;
  const LSTATUS mark = RegGetValueW(HKEY_CURRENT_USER, Widen(approvedKey_).c_str(), name.c_str(),
                                    RRF_RT_REG_BINARY, nullptr, approved, &size);
  return !(mark == ERROR_SUCCESS && size > 0 && (approved[0] & 1) != 0);
}

bool Win32Autostart::Enable() {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, Widen(runKey_).c_str(), 0, nullptr, 0,
                      KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const std::wstring command = Widen(Command());
  const LSTATUS status =
      RegSetValueExW(key, Widen(valueName_).c_str(), 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(command.c_str()),
                     static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) return false;
  // A mark from Task Manager would keep the new entry off.
  RegDeleteKeyValueW(HKEY_CURRENT_USER, Widen(approvedKey_).c_str(), Widen(valueName_).c_str());
  return true;
}

bool Win32Autostart::Disable() {
  const LSTATUS status = RegDeleteKeyValueW(HKEY_CURRENT_USER, Widen(runKey_).c_str(),
                                            Widen(valueName_).c_str());
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

}  // namespace tsukio
