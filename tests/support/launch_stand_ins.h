#pragma once
// What a link starts, replaced for one test: registry values set and put back afterwards, the
// handheld's programs in the Windows folder, and this system's own handlers of web and mail
// addresses. Every stand-in is fake_launcher.exe, which records its command line.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/registry_values.h"
#include "tests/support/win_support.h"

inline std::wstring WindowsFile(const std::wstring& name) {
  wchar_t folder[MAX_PATH] = {};
  GetWindowsDirectoryW(folder, MAX_PATH);
  return std::wstring(folder) + L"\\" + name;
}

inline std::wstring BesideTest(const std::wstring& name) {
  return test_support::BinFolder() + name;
}

// One registry value set to a text (or removed, for null) until the object goes; then it is as
// it was, and keys that were made for it are gone. name null is the key's default value.
class ValueOverride {
 public:
  ValueOverride(HKEY root, const std::wstring& path, const wchar_t* name, const wchar_t* text)
      : root_(root), path_(path), name_(name ? name : L"") {
    // The outermost key that does not exist yet is removed afterwards, with what it holds.
    for (size_t end = path.find(L'\\');; end = path.find(L'\\', end + 1)) {
      const std::wstring part = path.substr(0, end);
      if (!test_support::KeyExists(root, part)) {
        createdRoot_ = part;
        break;
      }
      if (end == std::wstring::npos) break;
    }
    saved_ = test_support::ReadValue(root, path_, name_.c_str());
    if (text) {
      test_support::WriteValue(root, path_, name_.c_str(), REG_SZ, text,
                               static_cast<DWORD>((lstrlenW(text) + 1) * sizeof(wchar_t)));
    } else {
      RegDeleteKeyValueW(root, path_.c_str(), name_.c_str());
    }
  }
  ~ValueOverride() {
    if (saved_) {
      test_support::WriteValue(root_, path_, name_.c_str(), saved_->type, saved_->bytes.data(),
                               static_cast<DWORD>(saved_->bytes.size()));
    } else {
      RegDeleteKeyValueW(root_, path_.c_str(), name_.c_str());
    }
    if (!createdRoot_.empty()) RegDeleteTreeW(root_, createdRoot_.c_str());
  }
  ValueOverride(const ValueOverride&) = delete;
  ValueOverride& operator=(const ValueOverride&) = delete;

 private:
  HKEY root_;
  std::wstring path_;
  std::wstring name_;
  std::wstring createdRoot_;
  std::optional<test_support::RegistryValue> saved_;
};

// The browser's link colours for one test.
class BrowserColours {
 public:
  BrowserColours(const wchar_t* link, const wchar_t* visited)
      : link_(HKEY_CURRENT_USER, kKey, L"Anchor Color", link),
        visited_(HKEY_CURRENT_USER, kKey, L"Anchor Color Visited", visited) {}

 private:
  static constexpr wchar_t kKey[] = L"Software\\Microsoft\\Internet Explorer\\Settings";
  ValueOverride link_;
  ValueOverride visited_;
};

// A copy of the stand-in program at path, removed with its log afterwards.
class FakeProgram {
 public:
  explicit FakeProgram(const std::wstring& path) : path_(path), log_(path_ + L".log") {
    Remove();
    EXPECT_TRUE(CopyFileW(BesideTest(L"fake_launcher.exe").c_str(), path_.c_str(), FALSE));
  }
  ~FakeProgram() { Remove(); }
  FakeProgram(const FakeProgram&) = delete;
  FakeProgram& operator=(const FakeProgram&) = delete;

  static void EnsureAbsent(const std::wstring& path) { DeleteFileW(path.c_str()); }
  const std::wstring& Path() const { return path_; }

  // The command line the program was started with, or nothing when it was not started.
  std::optional<std::string> WaitForLog(DWORD timeoutMs = 10000) const {
    // The log appears by a rename: a change of the folder's names wakes the wait.
    const std::wstring folder = log_.substr(0, log_.rfind(L'\\'));
    HANDLE change =
        FindFirstChangeNotificationW(folder.c_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME);
    EXPECT_NE(change, INVALID_HANDLE_VALUE) << "cannot watch " << folder;
    const DWORD start = GetTickCount();
    std::optional<std::string> text;
    while (!(text = ReadLog())) {
      const DWORD waited = GetTickCount() - start;
      if (waited >= timeoutMs || change == INVALID_HANDLE_VALUE) break;
      WaitForSingleObject(change, timeoutMs - waited);
      FindNextChangeNotification(change);
    }
    if (change != INVALID_HANDLE_VALUE) FindCloseChangeNotification(change);
    return text;
  }

 private:
  std::optional<std::string> ReadLog() const {
    HANDLE file = CreateFileW(log_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    char text[4096] = {};
    DWORD read = 0;
    ReadFile(file, text, sizeof text - 1, &read, nullptr);
    CloseHandle(file);
    return std::string(text, read);
  }
  void Remove() const {
    DeleteFileW(log_.c_str());
    // The program may still be ending, and nothing signals when its file is free: try again.
    for (int i = 0; i < 100 && GetFileAttributesW(path_.c_str()) != INVALID_FILE_ATTRIBUTES; ++i) {
      if (DeleteFileW(path_.c_str())) break;
      Sleep(50);
    }
  }
  std::wstring path_;
  std::wstring log_;
};

// A desktop without the handheld's programs, whose handlers of http, https and mailto addresses
// are the stand-in, or, when working is false, a program that does not exist. They are the
// user's own classes (HKCU "Software\Classes"); Wine's merged classes view does not follow the
// user's classes, so where the view still shows another command it is set there too.
class AddressHandlers {
 public:
  explicit AddressHandlers(bool working = true) : program_(BesideTest(L"address_handler.exe")) {
    for (const wchar_t* name : {L"iexplore.exe", L"tmail.exe", L"pmail.exe"}) {
      FakeProgram::EnsureAbsent(WindowsFile(name));
    }
    const std::wstring handler = working ? program_.Path() : BesideTest(L"no_such_handler.exe");
    const std::wstring command = L"\"" + handler + L"\" \"%1\"";
    for (const wchar_t* scheme : {L"http", L"https", L"mailto"}) {
      const std::wstring classKey = std::wstring(L"Software\\Classes\\") + scheme;
      overrides_.push_back(
          std::make_unique<ValueOverride>(HKEY_CURRENT_USER, classKey, L"URL Protocol", L""));
      overrides_.push_back(std::make_unique<ValueOverride>(
          HKEY_CURRENT_USER, classKey + L"\\shell\\open\\command", nullptr, command.c_str()));
      const std::wstring viewKey = std::wstring(scheme) + L"\\shell\\open\\command";
      if (ViewCommand(viewKey) != command) {
        overrides_.push_back(
            std::make_unique<ValueOverride>(HKEY_CLASSES_ROOT, viewKey, nullptr, command.c_str()));
      }
      EXPECT_EQ(ViewCommand(viewKey), command) << "the handler is not in the classes view";
    }
  }

  ~AddressHandlers() {
    while (!overrides_.empty()) overrides_.pop_back();
  }
  AddressHandlers(const AddressHandlers&) = delete;
  AddressHandlers& operator=(const AddressHandlers&) = delete;

  // The command line the handler was started with, or nothing when it was not started.
  std::optional<std::string> WaitForLog(DWORD timeoutMs = 10000) const {
    return program_.WaitForLog(timeoutMs);
  }

 private:
  static std::wstring ViewCommand(const std::wstring& key) {
    wchar_t text[MAX_PATH * 2] = {};
    DWORD size = sizeof text;
    if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, text,
                     &size) != ERROR_SUCCESS) {
      return {};
    }
    return text;
  }

  FakeProgram program_;
  std::vector<std::unique_ptr<ValueOverride>> overrides_;  // put back in reverse order
};
