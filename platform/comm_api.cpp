#include "platform/comm_api.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "platform/serial_backend.h"

namespace platform {
namespace {

struct LastError {
  DWORD code = ERROR_SUCCESS;
  std::string text;
};

thread_local LastError lastError;

std::map<std::string, DeviceOpener>& Registry() {
  static std::map<std::string, DeviceOpener> registry;
  return registry;
}

// Handles are small numbers starting at 1, never 0 (the component's "closed")
// and never INVALID_HANDLE_VALUE.
std::map<std::uintptr_t, std::unique_ptr<SerialBackend>>& Handles() {
  static std::map<std::uintptr_t, std::unique_ptr<SerialBackend>> handles;
  return handles;
}
std::uintptr_t nextHandle = 1;

SerialBackend* Find(HANDLE h) {
  auto& handles = Handles();
  auto it = handles.find(reinterpret_cast<std::uintptr_t>(h));
  if (it == handles.end()) {
    SetLastError(ERROR_INVALID_HANDLE, "The handle is invalid.");
    return nullptr;
  }
  return it->second.get();
}

}  // namespace

DWORD GetLastError() {
  return lastError.code;
}
void SetLastError(DWORD code) {
  lastError = {code, {}};
}
void SetLastError(DWORD code, std::string text) {
  lastError = {code, std::move(text)};
}
std::string LastErrorText() {
  if (!lastError.text.empty()) return lastError.text;
  return "error " + std::to_string(lastError.code);
}

std::string NormalizeDeviceName(const std::string& name) {
  std::string n = name;
  if (n.rfind("\\\\.\\", 0) == 0) n = n.substr(4);
  std::transform(n.begin(), n.end(), n.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return n;
}

void RegisterDevice(const std::string& name, DeviceOpener opener) {
  Registry()[NormalizeDeviceName(name)] = std::move(opener);
}

void UnregisterDevice(const std::string& name) {
  Registry().erase(NormalizeDeviceName(name));
}

HANDLE CreateFileA(const char* lpFileName, DWORD, DWORD, void*, DWORD, DWORD, HANDLE) {
  if (lpFileName == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER, "No device name.");
    return INVALID_HANDLE_VALUE;
  }
  const std::string name = NormalizeDeviceName(lpFileName);
  std::unique_ptr<SerialBackend> device;
  auto it = Registry().find(name);
  if (it != Registry().end()) {
    device = it->second();
  } else {
    // A path names a device of this system as it stands, case and all.
    device = OpenSystemDevice(lpFileName);
  }
  if (!device) return INVALID_HANDLE_VALUE;
  const std::uintptr_t h = nextHandle++;
  Handles()[h] = std::move(device);
  SetLastError(ERROR_SUCCESS);
  return reinterpret_cast<HANDLE>(h);
}

BOOL SetupComm(HANDLE h, DWORD in, DWORD out) {
  SerialBackend* d = Find(h);
  return d && d->Setup(in, out) ? TRUE : FALSE;
}

BOOL PurgeComm(HANDLE h, DWORD flags) {
  SerialBackend* d = Find(h);
  return d && d->Purge(flags) ? TRUE : FALSE;
}

BOOL GetCommState(HANDLE h, DCB* dcb) {
  SerialBackend* d = Find(h);
  if (!d) return FALSE;
  if (dcb == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER, "No DCB.");
    return FALSE;
  }
  return d->GetState(*dcb) ? TRUE : FALSE;
}

BOOL SetCommState(HANDLE h, DCB* dcb) {
  SerialBackend* d = Find(h);
  if (!d) return FALSE;
  if (dcb == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER, "No DCB.");
    return FALSE;
  }
  return d->SetState(*dcb) ? TRUE : FALSE;
}

BOOL EscapeCommFunction(HANDLE h, DWORD func) {
  SerialBackend* d = Find(h);
  return d && d->Escape(func) ? TRUE : FALSE;
}

BOOL ClearCommError(HANDLE h, DWORD* errors, COMSTAT* stat) {
  SerialBackend* d = Find(h);
  if (!d) return FALSE;
  DWORD e = 0;
  COMSTAT s{};
  if (!d->ClearError(e, s)) return FALSE;
  if (errors) *errors = e;
  if (stat) *stat = s;
  return TRUE;
}

BOOL GetCommModemStatus(HANDLE h, DWORD* status) {
  SerialBackend* d = Find(h);
  if (!d) return FALSE;
  DWORD s = 0;
  if (!d->GetModemStatus(s)) return FALSE;
  if (status) *status = s;
  return TRUE;
}

BOOL ReadFile(HANDLE h, void* buffer, DWORD count, DWORD* got, void*) {
  if (got) *got = 0;
  SerialBackend* d = Find(h);
  if (!d) return FALSE;
  DWORD n = 0;
  const bool ok = d->Read(buffer, count, n);
  if (got) *got = n;
  return ok ? TRUE : FALSE;
}

BOOL WriteFile(HANDLE h, const void* buffer, DWORD count, DWORD* written, void*) {
  if (written) *written = 0;
  SerialBackend* d = Find(h);
  if (!d) return FALSE;
  DWORD n = 0;
  const bool ok = d->Write(buffer, count, n);
  if (written) *written = n;
  return ok ? TRUE : FALSE;
}

BOOL CloseHandle(HANDLE h) {
  auto& handles = Handles();
  auto it = handles.find(reinterpret_cast<std::uintptr_t>(h));
  if (it == handles.end()) {
    SetLastError(ERROR_INVALID_HANDLE, "The handle is invalid.");
    return FALSE;
  }
  std::unique_ptr<SerialBackend> device = std::move(it->second);
  handles.erase(it);
  device->Close();
  return TRUE;
}

}  // namespace platform
