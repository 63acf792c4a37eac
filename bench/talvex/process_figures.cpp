#include "process_figures.h"

#include "tests/support/gdi_objects.h"

#include <psapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace {

// A file under /proc, read through Wine's mapping of the Unix root as drive Z:.
std::string ReadUnixFile(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string text;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
  CloseHandle(file);
  return text;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  return s;
}

// The Linux process behind a Wine process: started from `image`, in this driver's prefix.
std::wstring UnixProcFolder(const wchar_t* image) {
  wchar_t prefix[MAX_PATH] = {};
  if (!GetEnvironmentVariableW(L"WINEPREFIX", prefix, MAX_PATH)) return {};
  std::string wantedPrefix = "WINEPREFIX=";
  for (const wchar_t* p = prefix; *p; ++p) wantedPrefix += static_cast<char>(*p);
  std::string wantedImage;
  for (const wchar_t* p = image; *p; ++p) wantedImage += static_cast<char>(towlower(*p));

  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW(L"Z:\\proc\\*", &entry);
  if (find == INVALID_HANDLE_VALUE) return {};
  std::wstring found;
  do {
    if (entry.cFileName[0] < L'0' || entry.cFileName[0] > L'9') continue;
    const std::wstring folder = std::wstring(L"Z:\\proc\\") + entry.cFileName + L"\\";
    if (Lower(ReadUnixFile(folder + L"cmdline")).find(wantedImage) == std::string::npos) continue;
    const std::string environment = ReadUnixFile(folder + L"environ");
    for (size_t at = 0; at < environment.size(); at += strlen(environment.c_str() + at) + 1) {
      if (strcmp(environment.c_str() + at, wantedPrefix.c_str()) == 0) found = folder;
    }
  } while (found.empty() && FindNextFileW(find, &entry));
  FindClose(find);
  return found;
}

double UnixCpuSeconds(const std::wstring& folder) {
  const std::string stat = ReadUnixFile(folder + L"stat");
  const size_t close = stat.rfind(')');
  if (close == std::string::npos) return -1;
  // Fields after the command: state is the 3rd field; utime and stime are the 14th and 15th.
  const char* p = stat.c_str() + close + 2;
  long long fields[13] = {};
  char state = 0;
  if (sscanf(p, "%c %lld %lld %lld %lld %lld %lld %lld %lld %lld %lld %lld %lld", &state,
             &fields[0], &fields[1], &fields[2], &fields[3], &fields[4], &fields[5], &fields[6],
             &fields[7], &fields[8], &fields[9], &fields[10], &fields[11]) != 13) {
    return -1;
  }
  constexpr double kTicksPerSecond = 100.0;  // USER_HZ on Linux
  return static_cast<double>(fields[10] + fields[11]) / kTicksPerSecond;
}

double UnixPrivateKb(const std::wstring& folder) {
  const std::string rollup = ReadUnixFile(folder + L"smaps_rollup");
  double total = 0;
  bool any = false;
  for (const char* name : {"Private_Clean:", "Private_Dirty:"}) {
    const size_t at = rollup.find(name);
    if (at == std::string::npos) continue;
    total += atof(rollup.c_str() + at + strlen(name));
    any = true;
  }
  return any ? total : -1;
}

struct WindowCount {
  DWORD process;
  int count;
};

BOOL CALLBACK CountChild(HWND, LPARAM lParam) {
  ++reinterpret_cast<WindowCount*>(lParam)->count;
  return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND hwnd, LPARAM lParam) {
  auto* count = reinterpret_cast<WindowCount*>(lParam);
  DWORD process = 0;
  GetWindowThreadProcessId(hwnd, &process);
  if (process == count->process) {
    ++count->count;
    EnumChildWindows(hwnd, &CountChild, lParam);
  }
  return TRUE;
}

}  // namespace

ProcessFigures Measure(HANDLE process, DWORD processId, const wchar_t* image) {
  ProcessFigures f;
  const std::wstring unix = UnixProcFolder(image);

  // Wine's GetProcessTimes does not follow another process's threads; Linux does.
  if (!unix.empty()) {
    f.cpuSeconds = UnixCpuSeconds(unix);
    f.cpuSource = L"/proc stat";
  }
  FILETIME created, exited, kernel, user;
  if (f.cpuSeconds < 0 && GetProcessTimes(process, &created, &exited, &kernel, &user)) {
    const auto ticks = [](const FILETIME& t) {
      return (static_cast<uint64_t>(t.dwHighDateTime) << 32 | t.dwLowDateTime);
    };
    f.cpuSeconds = static_cast<double>(ticks(kernel) + ticks(user)) / 1e7;
    f.cpuSource = L"GetProcessTimes";
  }

  PROCESS_MEMORY_COUNTERS_EX memory = {};
  memory.cb = sizeof memory;
  if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                           sizeof memory) &&
      memory.PrivateUsage > 0) {
    f.privateKb = static_cast<double>(memory.PrivateUsage) / 1024;
    f.memorySource = L"PrivateUsage";
  } else if (!unix.empty()) {
    f.privateKb = UnixPrivateKb(unix);
    f.memorySource = L"/proc smaps_rollup private";
  }

  int byType[256] = {};
  const GdiObjectCount gdi = CountGdiObjects(process, &byType);
  f.gdiObjects = gdi.objects;
  f.gdiSource = gdi.source;
  std::copy(std::begin(byType), std::end(byType), f.gdiByType.begin());
  f.gdiByType[0] = 0;  // the free entries
  f.userObjects = static_cast<int>(GetGuiResources(process, GR_USEROBJECTS));
  f.userSource = L"GetGuiResources";
  if (f.userObjects == 0) {
    f.userObjects = CountWindows(processId);
    f.userSource = L"windows";
  }
  return f;
}

int CountWindows(DWORD processId) {
  WindowCount count = {processId, 0};
  EnumWindows(&CountTopLevel, reinterpret_cast<LPARAM>(&count));
  return count.count;
}
