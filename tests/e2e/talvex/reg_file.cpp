#include "reg_file.h"

#include <windows.h>

#include <fstream>
#include <sstream>

namespace {

std::wstring Wide(const std::string& text) {
  const int length =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

// A quoted .reg string starting at text[0]: \\ and \" are its only escapes. Sets `end` past the
// closing quote; false when there is none.
bool Unquote(const std::string& text, std::string& out, size_t& end) {
  if (text.empty() || text[0] != '"') return false;
  out.clear();
  for (size_t i = 1; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) {
      out += text[++i];
    } else if (text[i] == '"') {
      end = i + 1;
      return true;
    } else {
      out += text[i];
    }
  }
  return false;
}

}  // namespace

std::string ApplyRegFile(const std::wstring& path) {
  std::ifstream file(path.c_str(), std::ios::binary);
  if (!file) return "cannot open the file";
  const std::string kRoot = "HKEY_CURRENT_USER\\";
  std::string line, key;
  bool header = false;
  for (int number = 1; std::getline(file, line); ++number) {
    const auto fail = [&](const char* why) {
      std::ostringstream out;
      out << "line " << number << ": " << why;
      return out.str();
    };
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    if (line.empty() || line[0] == ';') continue;
    if (!header) {
      if (line != "REGEDIT4" && line != "Windows Registry Editor Version 5.00") {
        return fail("not a .reg file");
      }
      header = true;
      continue;
    }
    if (line.front() == '[') {
      if (line.back() != ']' || line.compare(1, kRoot.size(), kRoot) != 0) {
        return fail("not a key under HKEY_CURRENT_USER");
      }
      key = line.substr(1 + kRoot.size(), line.size() - 2 - kRoot.size());
      HKEY created = nullptr;
      if (RegCreateKeyExW(HKEY_CURRENT_USER, Wide(key).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                          nullptr, &created, nullptr) != ERROR_SUCCESS) {
        return fail("cannot create the key");
      }
      RegCloseKey(created);
      continue;
    }
    std::string name, text;
    size_t end = 0;
    if (key.empty()) return fail("a value outside a key");
    if (!Unquote(line, name, end) || end >= line.size() || line[end] != '=') {
      return fail("cannot read this line");
    }
    const std::string data = line.substr(end + 1);
    LSTATUS status = ERROR_INVALID_DATA;
    if (Unquote(data, text, end) && end == data.size()) {
      const std::wstring value = Wide(text);
      status =
          RegSetKeyValueW(HKEY_CURRENT_USER, Wide(key).c_str(), Wide(name).c_str(), REG_SZ,
                          value.c_str(), static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    } else if (data.rfind("dword:", 0) == 0 && data.size() > 6 && data.size() <= 14 &&
               data.find_first_not_of("0123456789abcdefABCDEF", 6) == std::string::npos) {
      const DWORD value = std::stoul(data.substr(6), nullptr, 16);
      status = RegSetKeyValueW(HKEY_CURRENT_USER, Wide(key).c_str(), Wide(name).c_str(), REG_DWORD,
                               &value, sizeof value);
    } else {
      return fail("only string and dword values are read");
    }
    if (status != ERROR_SUCCESS) return fail("cannot write the value");
  }
  return header ? "" : "empty file";
}
