#pragma once
// What the Windows tests share: a fresh folder as the current directory, files in it, the
// main window on the real Win32 backend, and reading windows back through Win32 itself.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/uMain.h"
#include "platform/Platform.h"
#include "platform/Text.h"

namespace quorvel_test {

inline std::wstring Text(HWND window) {
  wchar_t buffer[512] = {};
  GetWindowTextW(window, buffer, 512);
  return buffer;
}

inline std::wstring ClassOf(HWND window) {
  wchar_t buffer[64] = {};
  GetClassNameW(window, buffer, 64);
  return buffer;
}

inline std::wstring Wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }
inline std::u16string Narrow16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }

inline HWND Hwnd(const platform::TControl& control) { return reinterpret_cast<HWND>(control.Handle()); }

// The folder of the running test program, where the stand-ins are built.
inline std::wstring OwnFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring text = path;
  return text.substr(0, text.find_last_of(L'\\'));
}

inline std::string ReadBytes(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes;
  char chunk[65536];
  DWORD read = 0;
  while (ReadFile(file, chunk, sizeof(chunk), &read, nullptr) && read > 0) bytes.append(chunk, read);
  CloseHandle(file);
  return bytes;
}

inline void WriteBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << "cannot write a test file";
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

// Runs the message pump until the condition holds or the time is up; true when it held.
inline bool PumpUntil(const std::function<bool()>& condition, int timeoutMs = 10000) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    platform::Current().App().ProcessMessages();
    Sleep(20);
  }
  return true;
}

// The first visible message box, task dialog or common dialog of this process, or null.
inline HWND FindOwnBox() {
  struct TSearch {
    HWND Found = nullptr;
  } search;
  EnumWindows(
      [](HWND window, LPARAM data) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        if (pid == GetCurrentProcessId() && IsWindowVisible(window) && ClassOf(window) == L"#32770") {
          reinterpret_cast<TSearch*>(data)->Found = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

// A box that nobody answers would hold its test in a modal loop until the run's time limit.
// This closes any box left standing for longer than a test ever waits for one, and the test
// fails, naming it.
class TStrayBoxGuard {
 public:
  explicit TStrayBoxGuard(std::chrono::milliseconds patience = std::chrono::seconds(15))
      : FPatience(patience), FThread([this] { Run(); }) {}
  ~TStrayBoxGuard() {
    FStop = true;
    FThread.join();
  }
  TStrayBoxGuard(const TStrayBoxGuard&) = delete;
  TStrayBoxGuard& operator=(const TStrayBoxGuard&) = delete;
  // What was closed, empty when nothing was.
  std::wstring Closed() {
    std::lock_guard<std::mutex> lock(FMutex);
    return FClosed;
  }

 private:
  void Run() {
    HWND seen = nullptr;
    auto since = std::chrono::steady_clock::now();
    while (!FStop) {
      HWND box = FindOwnBox();
      if (box != seen) {
        seen = box;
        since = std::chrono::steady_clock::now();
      } else if (box && std::chrono::steady_clock::now() - since > FPatience) {
        {
          std::lock_guard<std::mutex> lock(FMutex);
          FClosed += L"\"" + Text(box) + L"\" ";
        }
        // Closing cancels a message box or a file dialog; a task dialog that cannot be
        // cancelled gets its first button pressed.
        PostMessageW(box, WM_CLOSE, 0, 0);
        Sleep(1000);
        if (IsWindow(box) && IsWindowVisible(box)) {
          HWND button = FindWindowExW(box, nullptr, L"Button", nullptr);
          if (button) PostMessageW(button, BM_CLICK, 0, 0);
        }
        since = std::chrono::steady_clock::now();
      }
      Sleep(100);
    }
  }

  const std::chrono::milliseconds FPatience;
  std::mutex FMutex;
  std::wstring FClosed;
  std::atomic<bool> FStop = false;
  std::thread FThread;
};

class TWin32Test : public testing::Test {
 protected:
  void SetUp() override {
    FStrayBoxes = std::make_unique<TStrayBoxGuard>();
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    FDir = std::wstring(temp) + L"quorvel-win32-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(++FCounter);
    CreateDirectoryW(FDir.c_str(), nullptr);
    GetCurrentDirectoryW(MAX_PATH, FOldDir);
    SetCurrentDirectoryW(FDir.c_str());
  }
  void TearDown() override {
    const std::wstring stray = FStrayBoxes->Closed();
    FStrayBoxes.reset();
    EXPECT_TRUE(stray.empty()) << "a box stood unanswered and was closed: " << platform::ToUtf8(Narrow16(stray));
    Form.reset();
    app::frmMain = nullptr;
    SetCurrentDirectoryW(FOldDir);
    RemoveTree(FDir);
  }
  const std::wstring& Dir() const { return FDir; }
  std::wstring InDir(const std::wstring& name) const { return FDir + L"\\" + name; }
  // A new folder of that name in the test's folder; its full path.
  std::wstring NewFolder(const std::wstring& name) const {
    const std::wstring folder = InDir(name);
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
  }
  void WriteIni(const std::string& bytes) { WriteBytes(InDir(L"Halvorn.ini"), bytes); }
  std::string ReadIni() { return ReadBytes(InDir(L"Halvorn.ini")); }

  app::TfrmMain& Start() {
    Form = std::make_unique<app::TfrmMain>();
    app::frmMain = Form.get();
    Form->CreateHandle();
    Form->Guarded([this] { Form->FormCreate(); });
    Form->Show();
    platform::Current().App().ProcessMessages();
    return *Form;
  }
  std::unique_ptr<app::TfrmMain> Form;

 private:
  static void RemoveTree(const std::wstring& dir) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((dir + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = dir + L"\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          RemoveTree(path);
        } else {
          SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
          DeleteFileW(path.c_str());
        }
      } while (FindNextFileW(search, &found));
      FindClose(search);
    }
    RemoveDirectoryW(dir.c_str());
  }

  std::unique_ptr<TStrayBoxGuard> FStrayBoxes;
  std::wstring FDir;
  wchar_t FOldDir[MAX_PATH] = {};
  static inline int FCounter = 0;
};

// Answers the next message box or task dialog of this process from another thread, as a user
// would: records its title and the texts of its controls, then presses the button captioned
// Press. The pump of the box's own modal loop keeps running meanwhile.
class TDialogAnswerer {
 public:
  explicit TDialogAnswerer(std::wstring press = L"OK") : FPress(std::move(press)) {
    FThread = std::thread([this] { Run(); });
  }
  // Answers the box with Fill instead of a button press: it gets the box's handle.
  explicit TDialogAnswerer(std::function<void(HWND)> fill) : FFill(std::move(fill)) {
    FThread = std::thread([this] { Run(); });
  }
  ~TDialogAnswerer() {
    FStop = true;
    FThread.join();
  }
  // Waits for the answer; false when no box came within the time.
  bool Answered(int timeoutMs = 10000) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!FDone && std::chrono::steady_clock::now() < deadline) Sleep(20);
    return FDone;
  }
  std::wstring Title;
  std::vector<std::wstring> Texts;

 private:
  void Run() {
    while (!FStop && !FDone) {
      HWND box = FindOwnBox();
      if (box) {
        Title = Text(box);
        Texts.clear();
        EnumChildWindows(
            box,
            [](HWND child, LPARAM self) {
              reinterpret_cast<TDialogAnswerer*>(self)->Texts.push_back(Text(child));
              return TRUE;
            },
            reinterpret_cast<LPARAM>(this));
        if (FFill) {
          FFill(box);
          FDone = true;
          return;
        }
        HWND button = FindButton(box);
        if (button) {
          PostMessageW(button, BM_CLICK, 0, 0);
          FDone = true;
          return;
        }
      }
      Sleep(20);
    }
  }
  HWND FindButton(HWND box) {
    struct TSearch {
      const std::wstring* Caption;
      HWND Found = nullptr;
    } search{&FPress};
    EnumChildWindows(
        box,
        [](HWND child, LPARAM data) {
          auto* s = reinterpret_cast<TSearch*>(data);
          if (ClassOf(child) == L"Button" && Text(child) == *s->Caption) {
            s->Found = child;
            return FALSE;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.Found;
  }

  std::wstring FPress;
  std::function<void(HWND)> FFill;
  std::thread FThread;
  std::atomic<bool> FStop = false;
  std::atomic<bool> FDone = false;
};

}  // namespace quorvel_test
