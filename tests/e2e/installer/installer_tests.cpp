// Runs TalvenorSetup.exe and the uninstaller it leaves behind the way a player or a deployment
// script would, then looks at what a player would see: the folder, the registry, the Start menu,
// the programs list and the installed game itself.
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/registry_tree.h"
#include "tests/support/registry_values.h"
#include "tests/support/win_support.h"

namespace {

namespace fs = std::filesystem;

constexpr wchar_t kGameKey[] = L"Software\\Velmora\\Gravlin";
constexpr wchar_t kKeysKey[] = L"Software\\Velmora\\Gravlin\\Keys";
constexpr wchar_t kOptionsKey[] = L"Software\\Velmora\\Gravlin\\Options";
constexpr wchar_t kScoreKey[] = L"Software\\Velmora\\Gravlin\\Score";
constexpr wchar_t kUninstallKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Talvenor";
// Another game of the same maker: removing Talvenor's data must not touch it.
constexpr wchar_t kOtherGameKey[] = L"Software\\Velmora\\Installer Tests Other Game";
constexpr wchar_t kBackupKey[] = L"Software\\Talvenor Installer Tests Backup";
// Everything the tests change, saved before and put back after each test.
constexpr const wchar_t* kGuardedKeys[] = {kKeysKey, kOptionsKey, kScoreKey, kUninstallKey,
                                           kOtherGameKey};

constexpr wchar_t kFrameClass[] = L"GravlinCE";
constexpr wchar_t kStartupMessage[] =
    L"Some components of this application are missing. Please reinstall application.";
constexpr wchar_t kShortcutName[] = L"Talvenor.lnk";
constexpr DWORD kAbortedBySetup = 2;  // what NSIS returns when the script gives up
constexpr auto kTimeout = std::chrono::seconds(60);

struct DefaultKey {
  DWORD id;
  DWORD code;
};
constexpr DefaultKey kDefaultKeys[] = {{0, VK_LEFT}, {1, VK_RIGHT}, {2, VK_UP}, {3, VK_DOWN}};

// --- files and folders ---

fs::path ModuleDir() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return fs::path(path).parent_path();
}

fs::path KnownFolder(REFKNOWNFOLDERID id) {
  PWSTR raw = nullptr;
  fs::path result;
  if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &raw))) {
    result = raw;
  }
  CoTaskMemFree(raw);
  return result;
}

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// For failure messages.
std::string Narrow(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string result(size > 0 ? size - 1 : 0, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, result.data(), size, nullptr, nullptr);
  return result;
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

fs::path Shortcut() {
  return KnownFolder(FOLDERID_Programs) / kShortcutName;
}

struct ShortcutInfo {
  std::wstring target;
  std::wstring workingDir;
  std::wstring icon;
  int iconIndex = -1;
};

std::optional<ShortcutInfo> ReadShortcut(const fs::path& path) {
  IShellLinkW* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link)))) {
    return std::nullopt;
  }
  std::optional<ShortcutInfo> info;
  IPersistFile* file = nullptr;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    if (SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
      wchar_t text[MAX_PATH] = {};
      info.emplace();
      if (SUCCEEDED(link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH))) info->target = text;
      if (SUCCEEDED(link->GetWorkingDirectory(text, MAX_PATH))) info->workingDir = text;
      if (SUCCEEDED(link->GetIconLocation(text, MAX_PATH, &info->iconIndex))) info->icon = text;
    }
    file->Release();
  }
  link->Release();
  return info;
}

// --- registry ---

bool KeyExists(const wchar_t* path) {
  return test_support::KeyExists(HKEY_CURRENT_USER, path);
}

std::optional<DWORD> ReadDword(const std::wstring& path, const wchar_t* name) {
  DWORD value = 0;
  DWORD size = sizeof(value);
  if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name, RRF_RT_REG_DWORD, nullptr, &value,
                   &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return value;
}

std::optional<std::wstring> ReadString(const std::wstring& path, const wchar_t* name) {
  wchar_t text[1024] = {};
  DWORD size = sizeof(text);
  if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name, RRF_RT_REG_SZ, nullptr, text, &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::wstring(text);
}

bool WriteDword(const std::wstring& path, const wchar_t* name, DWORD value) {
  return RegSetKeyValueW(HKEY_CURRENT_USER, path.c_str(), name, REG_DWORD, &value, sizeof(value)) ==
         ERROR_SUCCESS;
}

bool CreateKey(const wchar_t* path) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(key);
  return true;
}

void DeleteTree(const std::wstring& path) {
  RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
}

std::vector<std::wstring> SubkeyNames(const wchar_t* path) {
  return test_support::SubkeyNames(HKEY_CURRENT_USER, path);
}

// Action id -> key code, as the library would load it: every subkey needs a REG_DWORD "Id" and
// "Code" and a non-empty REG_SZ "Name"; a subkey that lacks one is reported as id 0xFFFFFFFF.
std::map<DWORD, DWORD> KeyMapCodes() {
  std::map<DWORD, DWORD> codes;
  for (const std::wstring& name : SubkeyNames(kKeysKey)) {
    const std::wstring path = std::wstring(kKeysKey) + L"\\" + name;
    const auto id = ReadDword(path, L"Id");
    const auto code = ReadDword(path, L"Code");
    const auto display = ReadString(path, L"Name");
    if (id && code && display && !display->empty()) {
      codes[*id] = *code;
    } else {
      codes[0xFFFFFFFF] = 0;
    }
  }
  return codes;
}

std::map<DWORD, DWORD> DefaultCodes() {
  std::map<DWORD, DWORD> codes;
  for (const DefaultKey& key : kDefaultKeys) codes[key.id] = key.code;
  return codes;
}

// --- processes and windows ---

class Process {
 public:
  Process() = default;
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  ~Process() {
    if (info_.hProcess) {
      if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(info_.hProcess, 99);
      }
      CloseHandle(info_.hProcess);
    }
    if (info_.hThread) CloseHandle(info_.hThread);
  }

  bool Start(std::wstring commandLine, const fs::path& workingDir = {}) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    return CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          workingDir.empty() ? nullptr : workingDir.c_str(), &startup, &info_);
  }

  // The exit code, or nothing when the process is still running after the timeout.
  std::optional<DWORD> Wait(std::chrono::milliseconds timeout = kTimeout) {
    if (WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) {
      return std::nullopt;
    }
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
  }

  DWORD Id() const { return info_.dwProcessId; }

 private:
  PROCESS_INFORMATION info_ = {};
};

std::optional<DWORD> RunToEnd(const std::wstring& commandLine, const fs::path& workingDir = {}) {
  Process process;
  if (!process.Start(commandLine, workingDir)) return std::nullopt;
  return process.Wait();
}

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

std::wstring TextOf(HWND window) {
  wchar_t text[512] = {};
  GetWindowTextW(window, text, 512);
  return text;
}

// A visible top-level window of the process with that class, waited for.
HWND WaitForWindow(DWORD pid, const wchar_t* className) {
  const auto deadline = std::chrono::steady_clock::now() + kTimeout;
  while (std::chrono::steady_clock::now() < deadline) {
    if (HWND found = test_support::FindVisibleWindow(className, pid)) return found;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return nullptr;
}

struct ChildSearch {
  const wchar_t* className;
  const wchar_t* text;  // null: any non-empty text
  HWND found;
};

BOOL CALLBACK FindChild(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<ChildSearch*>(param);
  const std::wstring text = TextOf(window);
  if (ClassOf(window) == search->className &&
      (search->text ? text == search->text : !text.empty())) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND FindDescendant(HWND parent, const wchar_t* className, const wchar_t* text) {
  ChildSearch search = {className, text, nullptr};
  EnumChildWindows(parent, FindChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

template <typename Condition>
bool WaitUntil(Condition condition) {
  const auto deadline = std::chrono::steady_clock::now() + kTimeout;
  while (std::chrono::steady_clock::now() < deadline) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return condition();
}

// --- the desktop's menu entry that Wine makes ---

// The Windows path of a Linux one; empty off Wine.
fs::path DosPath(const std::string& path) {
  using ToDos = wchar_t*(CDECL*)(const char*);
  const auto toDos = reinterpret_cast<ToDos>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
  if (!toDos) return {};
  wchar_t* text = toDos(path.c_str());
  if (!text) return {};
  fs::path result = text;
  HeapFree(GetProcessHeap(), 0, text);
  return result;
}

// The width of a PNG file from its header, or 0 when it is none.
int PngWidth(const fs::path& path) {
  const std::string data = ReadAll(path);
  if (data.size() < 24 || data.compare(1, 3, "PNG") != 0) return 0;
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(data[i]); };
  return byte(16) << 24 | byte(17) << 16 | byte(18) << 8 | byte(19);
}

// --- the fixture ---

class InstallerTest : public testing::Test {
 protected:
  void SetUp() override {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    setup_ = ModuleDir() / L"TalvenorSetup.exe";
    ASSERT_TRUE(fs::exists(setup_)) << "build the TalvenorSetup target first";
    ASSERT_EQ(FindWindowW(kFrameClass, nullptr), nullptr) << "a copy of the game is running";
    DeleteTree(kBackupKey);
    for (size_t i = 0; i < std::size(kGuardedKeys); ++i) {
      if (KeyExists(kGuardedKeys[i])) {
        ASSERT_TRUE(test_support::CopyTree(HKEY_CURRENT_USER, kGuardedKeys[i], BackupPath(i)));
        DeleteTree(kGuardedKeys[i]);
      }
    }
    shortcutBackup_ = Shortcut().wstring() + L".installer-tests";
    std::error_code ignored;
    fs::rename(Shortcut(), shortcutBackup_, ignored);
    // A space in the folder name: every command line the installer writes must quote it.
    root_ = fs::temp_directory_path() / L"Talvenor installer tests";
    fs::remove_all(root_, ignored);
    dir_ = root_ / L"Game Folder";
    fs::create_directories(root_);
    defaultDir_ = KnownFolder(FOLDERID_LocalAppData) / L"Programs" / L"Talvenor";
    fs::remove_all(defaultDir_, ignored);
  }

  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
    fs::remove_all(defaultDir_, ignored);
    fs::remove(Shortcut(), ignored);
    fs::rename(shortcutBackup_, Shortcut(), ignored);
    for (size_t i = 0; i < std::size(kGuardedKeys); ++i) {
      DeleteTree(kGuardedKeys[i]);
      if (KeyExists(BackupPath(i).c_str())) {
        test_support::CopyTree(HKEY_CURRENT_USER, BackupPath(i), kGuardedKeys[i]);
      }
    }
    DeleteTree(kBackupKey);
    CoUninitialize();
  }

  static std::wstring BackupPath(size_t i) {
    return std::wstring(kBackupKey) + L"\\" + std::to_wstring(i);
  }

  std::optional<DWORD> Install(const fs::path& dir) {
    std::wstring command = L"\"" + setup_.wstring() + L"\" /S";
    if (!dir.empty()) command += L" /D=" + dir.wstring();
    return RunToEnd(command);
  }

  // _?= makes the uninstaller work in place and wait; it then cannot delete itself.
  std::optional<DWORD> Uninstall(const fs::path& dir, const std::wstring& options) {
    const fs::path uninstaller = dir / L"Uninstall.exe";
    const auto code =
        RunToEnd(L"\"" + uninstaller.wstring() + L"\" " + options + L" _?=" + dir.wstring());
    std::error_code ignored;
    fs::remove(uninstaller, ignored);
    fs::remove(dir, ignored);
    return code;
  }

  void WritePlayerData() {
    ASSERT_TRUE(WriteDword(kOptionsKey, L"InitialLevel", 4));
    ASSERT_TRUE(WriteDword(kScoreKey, L"Probe", 1234));
    ASSERT_TRUE(WriteDword(kOtherGameKey, L"Probe", 1));
  }

  void ExpectInstalledFiles(const fs::path& dir) {
    for (const wchar_t* name : {L"Talvex.exe", L"velcore.dll"}) {
      ASSERT_TRUE(fs::exists(dir / name)) << Narrow(name);
      // Exactly the release files of this build (stripped copies of bin/'s, in release/ beside
      // it): a stale or truncated copy would load the wrong code.
      const fs::path release = ModuleDir().parent_path() / L"release" / name;
      ASSERT_TRUE(fs::exists(release)) << Narrow(release.wstring());
      EXPECT_TRUE(ReadAll(dir / name) == ReadAll(release)) << Narrow(name);
      EXPECT_LT(fs::file_size(release), fs::file_size(ModuleDir() / name)) << Narrow(name);
    }
    EXPECT_TRUE(fs::exists(dir / L"Uninstall.exe"));
  }

  void ExpectProgramsEntry(const fs::path& dir) {
    const std::wstring uninstaller = (dir / L"Uninstall.exe").wstring();
    const struct {
      const wchar_t* name;
      std::wstring value;
    } strings[] = {
        {L"DisplayName", L"Talvenor"},
        {L"DisplayVersion", L"1.2"},
        {L"Publisher", L"Velmora"},
        {L"DisplayIcon", (dir / L"Talvex.exe").wstring() + L",0"},
        {L"InstallLocation", dir.wstring()},
        {L"UninstallString", L"\"" + uninstaller + L"\""},
        {L"QuietUninstallString", L"\"" + uninstaller + L"\" /S"},
    };
    for (const auto& expected : strings) {
      const auto value = ReadString(kUninstallKey, expected.name);
      ASSERT_TRUE(value.has_value()) << Narrow(expected.name);
      EXPECT_TRUE(SamePath(*value, expected.value))
          << Narrow(expected.name) << ": " << Narrow(*value);
    }
    // EstimatedSize is in KiB and must cover the two files at least.
    const auto size = ReadDword(kUninstallKey, L"EstimatedSize");
    ASSERT_TRUE(size.has_value());
    const auto files = fs::file_size(dir / L"Talvex.exe") + fs::file_size(dir / L"velcore.dll");
    EXPECT_GE(*size, files / 1024);
    EXPECT_LE(*size, files / 1024 + 1024);
  }

  void ExpectShortcut(const fs::path& dir) {
    const auto link = ReadShortcut(Shortcut());
    ASSERT_TRUE(link.has_value()) << Narrow(Shortcut().wstring());
    EXPECT_TRUE(SamePath(link->target, (dir / L"Talvex.exe").wstring())) << Narrow(link->target);
    EXPECT_TRUE(SamePath(link->workingDir, dir.wstring())) << Narrow(link->workingDir);
    EXPECT_TRUE(SamePath(link->icon, (dir / L"Talvex.exe").wstring())) << Narrow(link->icon);
    EXPECT_EQ(link->iconIndex, 0);
  }

  fs::path setup_;
  fs::path root_;
  fs::path dir_;
  fs::path defaultDir_;
  std::wstring shortcutBackup_;
};

TEST_F(InstallerTest, SilentInstallPutsEverythingInPlace) {
  ASSERT_EQ(Install(dir_), 0u);
  ExpectInstalledFiles(dir_);
  EXPECT_EQ(KeyMapCodes(), DefaultCodes());
  ExpectShortcut(dir_);
  ExpectProgramsEntry(dir_);
}

// Wine turns the Start menu shortcut into an entry of the desktop's menu, with the icon's images
// as pictures of their own size: a menu or dock asks for 48 pixels or more. Run only where the
// test's command gives Wine's menu maker data and settings folders of its own (XDG_DATA_HOME,
// XDG_CONFIG_HOME), never the machine's.
TEST_F(InstallerTest, DesktopMenuEntryCarriesAPictureOfFortyEightPixelsOrMore) {
  const char* dataHome = getenv("XDG_DATA_HOME");
  const char* menuCheck = getenv("TALVENOR_MENU_ENTRY_CHECK");
  if (!dataHome || !menuCheck) GTEST_SKIP() << "Wine's menu maker is off in this run";
  const fs::path data = DosPath(dataHome);
  ASSERT_FALSE(data.empty());
  std::error_code ignored;
  fs::remove_all(data / L"applications", ignored);
  fs::remove_all(data / L"icons", ignored);
  ASSERT_EQ(Install(dir_), 0u);

  const fs::path entry = data / L"applications" / L"wine" / L"Programs" / L"Talvenor.desktop";
  std::string icon;
  ASSERT_TRUE(WaitUntil([&] {
    const std::string text = ReadAll(entry);
    const size_t at = text.find("\nIcon=");
    if (at == std::string::npos) return false;
    icon = text.substr(at + 6, text.find('\n', at + 1) - at - 6);
    return !icon.empty();
  })) << "no menu entry "
      << entry.string();
  int largest = 0;
  ASSERT_TRUE(WaitUntil([&] {
    std::error_code ignored;
    for (int size : {48, 64, 128, 256}) {
      const std::string side = std::to_string(size);
      const fs::path picture =
          data / L"icons" / L"hicolor" / (side + "x" + side) / L"apps" / (icon + ".png");
      if (fs::exists(picture, ignored) && PngWidth(picture) == size) largest = size;
    }
    return largest >= 48;
  })) << "no picture of 48 pixels or more for "
      << icon;
}

// Without /D the game goes to the player's own programs folder, needing no elevation, and the
// programs list's quiet uninstall command removes all of it, the uninstaller and folder too.
TEST_F(InstallerTest, DefaultFolderIsPerUserAndQuietUninstallClearsIt) {
  const fs::path dir = defaultDir_;
  ASSERT_EQ(Install({}), 0u);
  ExpectInstalledFiles(dir);
  ExpectProgramsEntry(dir);

  const auto quiet = ReadString(kUninstallKey, L"QuietUninstallString");
  ASSERT_TRUE(quiet.has_value());
  ASSERT_EQ(RunToEnd(*quiet), 0u);
  // The uninstaller hands over to a copy of itself and returns at once.
  WaitUntil(
      [&] { return !fs::exists(dir) && !fs::exists(Shortcut()) && !KeyExists(kUninstallKey); });
  EXPECT_FALSE(fs::exists(dir)) << Narrow(dir.wstring());
  EXPECT_FALSE(fs::exists(Shortcut()));
  EXPECT_FALSE(KeyExists(kUninstallKey));
}

TEST_F(InstallerTest, InstalledGameStartsFromItsFolder) {
  ASSERT_EQ(Install(dir_), 0u);
  Process game;
  ASSERT_TRUE(game.Start(L"\"" + (dir_ / L"Talvex.exe").wstring() + L"\"", dir_));
  HWND frame = WaitForWindow(game.Id(), kFrameClass);
  ASSERT_NE(frame, nullptr) << "no game frame";
  PostMessageW(frame, WM_CLOSE, 0, 0);
  EXPECT_EQ(game.Wait(), 0u);
}

TEST_F(InstallerTest, InstalledGameWithoutLibraryShowsStartupMessage) {
  ASSERT_EQ(Install(dir_), 0u);
  ASSERT_TRUE(fs::remove(dir_ / L"velcore.dll"));
  Process game;
  ASSERT_TRUE(game.Start(L"\"" + (dir_ / L"Talvex.exe").wstring() + L"\"", dir_));
  HWND box = WaitForWindow(game.Id(), L"#32770");
  ASSERT_NE(box, nullptr) << "no message box";
  HWND text = FindDescendant(box, L"Static", kStartupMessage);
  EXPECT_NE(text, nullptr) << "the message box does not show the start-up message";
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(game.Wait(), 1u);
}

// What the player had before a reinstall, and what the key map must be afterwards.
struct KeyMapCase {
  const char* name;
  bool playerChangedMoveLeft;  // the player assigned 'A' to move left
  bool emptyKeysKey;           // only the bare Keys key is left
};

void PrintTo(const KeyMapCase& c, std::ostream* os) {
  *os << c.name;
}

class ReinstallTest : public InstallerTest, public testing::WithParamInterface<KeyMapCase> {};

// The reinstall names no folder, as an upgrade would: it goes where the first one went.
TEST_P(ReinstallTest, KeepsPlayersKeyMap) {
  const KeyMapCase& c = GetParam();
  ASSERT_EQ(Install(dir_), 0u);
  std::map<DWORD, DWORD> expected = DefaultCodes();
  if (c.playerChangedMoveLeft) {
    for (const std::wstring& name : SubkeyNames(kKeysKey)) {
      const std::wstring path = std::wstring(kKeysKey) + L"\\" + name;
      if (ReadDword(path, L"Id") == 0u) {
        ASSERT_TRUE(WriteDword(path, L"Code", 'A'));
      }
    }
    expected[0] = 'A';
  }
  if (c.emptyKeysKey) {
    DeleteTree(kKeysKey);
    ASSERT_TRUE(CreateKey(kKeysKey));
  }
  ASSERT_EQ(KeyMapCodes().size(), c.emptyKeysKey ? 0u : 4u);

  ASSERT_EQ(Install({}), 0u);
  EXPECT_EQ(KeyMapCodes(), expected);
  ExpectInstalledFiles(dir_);
  EXPECT_FALSE(fs::exists(defaultDir_));
}

INSTANTIATE_TEST_SUITE_P(KeyMaps, ReinstallTest,
                         testing::Values(KeyMapCase{"PlayersAssignment", true, false},
                                         KeyMapCase{"EmptyKeysKeyGetsDefaults", false, true}),
                         [](const testing::TestParamInfo<KeyMapCase>& info) {
                           return std::string(info.param.name);
                         });

struct UninstallCase {
  const char* name;
  const wchar_t* options;
  bool removesPlayerData;
};

void PrintTo(const UninstallCase& c, std::ostream* os) {
  *os << c.name;
}

class SilentUninstallTest : public InstallerTest,
                            public testing::WithParamInterface<UninstallCase> {};

TEST_P(SilentUninstallTest, RemovesGameAndPlayerDataOnlyWhenAsked) {
  const UninstallCase& c = GetParam();
  ASSERT_EQ(Install(dir_), 0u);
  WritePlayerData();
  // Something of the player's in the chosen folder: it and the folder stay.
  std::ofstream(dir_ / L"notes.txt") << "mine";

  ASSERT_EQ(Uninstall(dir_, c.options), 0u);
  EXPECT_FALSE(fs::exists(dir_ / L"Talvex.exe"));
  EXPECT_FALSE(fs::exists(dir_ / L"velcore.dll"));
  EXPECT_EQ(ReadAll(dir_ / L"notes.txt"), "mine");
  EXPECT_FALSE(fs::exists(Shortcut()));
  EXPECT_FALSE(KeyExists(kUninstallKey));

  EXPECT_EQ(ReadDword(kOptionsKey, L"InitialLevel").has_value(), !c.removesPlayerData);
  EXPECT_EQ(ReadDword(kScoreKey, L"Probe").has_value(), !c.removesPlayerData);
  EXPECT_EQ(KeyMapCodes().empty(), c.removesPlayerData);
  EXPECT_EQ(KeyExists(kKeysKey), !c.removesPlayerData);
  EXPECT_EQ(ReadDword(kOtherGameKey, L"Probe"), 1u);
  if (c.removesPlayerData) {
    // Nothing of Talvenor's is left behind in the maker's key.
    EXPECT_TRUE(SubkeyNames(kGameKey).empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Switches, SilentUninstallTest,
    testing::Values(UninstallCase{"KeepsDataByDefault", L"/S", false},
                    UninstallCase{"RemoveDataSwitch", L"/S /REMOVEDATA", true}),
    [](const testing::TestParamInfo<UninstallCase>& info) { return std::string(info.param.name); });

// The uninstaller's own page: the player's tick on the check box decides about the data.
class UninstallPageTest : public InstallerTest, public testing::WithParamInterface<bool> {};

TEST_P(UninstallPageTest, CheckBoxDecidesAboutPlayerData) {
  const bool tick = GetParam();
  ASSERT_EQ(Install(dir_), 0u);
  WritePlayerData();
  Process uninstaller;
  ASSERT_TRUE(
      uninstaller.Start(L"\"" + (dir_ / L"Uninstall.exe").wstring() + L"\" _?=" + dir_.wstring()));
  HWND window = WaitForWindow(uninstaller.Id(), L"#32770");
  ASSERT_NE(window, nullptr);
  HWND box = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    box = FindDescendant(window, L"Button",
                         L"&Also remove my scores, options and button assignments");
    return box != nullptr;
  }));
  EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  if (tick) SendMessageW(box, BM_CLICK, 0, 0);
  HWND next = GetDlgItem(window, IDOK);
  ASSERT_NE(next, nullptr);
  SendMessageW(next, BM_CLICK, 0, 0);
  // When the work is done the same button closes the uninstaller.
  ASSERT_TRUE(
      WaitUntil([&] { return !fs::exists(dir_ / L"Talvex.exe") && IsWindowEnabled(next); }));
  SendMessageW(next, BM_CLICK, 0, 0);
  EXPECT_EQ(uninstaller.Wait(), 0u);

  EXPECT_FALSE(KeyExists(kUninstallKey));
  EXPECT_EQ(ReadDword(kOptionsKey, L"InitialLevel").has_value(), !tick);
  EXPECT_EQ(ReadDword(kScoreKey, L"Probe").has_value(), !tick);
  EXPECT_EQ(KeyExists(kKeysKey), !tick);
}

INSTANTIATE_TEST_SUITE_P(Tick, UninstallPageTest, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) {
                           return std::string(info.param ? "Ticked" : "Unticked");
                         });

// Files of a running game can be neither replaced nor removed; half a job would leave a pair
// that does not start, so both programs give up and leave everything as it was.
TEST_F(InstallerTest, RunningGameStopsSilentInstallAndUninstall) {
  ASSERT_EQ(Install(dir_), 0u);
  Process game;
  ASSERT_TRUE(game.Start(L"\"" + (dir_ / L"Talvex.exe").wstring() + L"\"", dir_));
  HWND frame = WaitForWindow(game.Id(), kFrameClass);
  ASSERT_NE(frame, nullptr);

  EXPECT_EQ(Install(dir_), kAbortedBySetup);
  const fs::path uninstaller = dir_ / L"Uninstall.exe";
  EXPECT_EQ(RunToEnd(L"\"" + uninstaller.wstring() + L"\" /S _?=" + dir_.wstring()),
            kAbortedBySetup);
  ExpectInstalledFiles(dir_);
  ExpectProgramsEntry(dir_);
  EXPECT_TRUE(fs::exists(Shortcut()));

  PostMessageW(frame, WM_CLOSE, 0, 0);
  EXPECT_EQ(game.Wait(), 0u);
  EXPECT_EQ(Uninstall(dir_, L"/S"), 0u);
  EXPECT_FALSE(fs::exists(dir_ / L"Talvex.exe"));
}

// A second installation elsewhere took over the shortcut and the programs-list entry: removing
// the first one must not orphan the second.
TEST_F(InstallerTest, UninstallingAnOlderCopyLeavesTheNewerOneListed) {
  const fs::path other = root_ / L"Other Folder";
  ASSERT_EQ(Install(dir_), 0u);
  ASSERT_EQ(Install(other), 0u);
  ASSERT_EQ(Uninstall(dir_, L"/S"), 0u);
  EXPECT_FALSE(fs::exists(dir_ / L"Talvex.exe"));
  ExpectInstalledFiles(other);
  ExpectProgramsEntry(other);
  ExpectShortcut(other);
}

}  // namespace
