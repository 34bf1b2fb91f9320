#include <vector>

#include "platform/win32/Win32.h"

namespace platform::win32 {

namespace {

void Dispatch(MSG& message) {
  if (PreTranslate(message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

}  // namespace

void TWin32App::Run(TForm& mainForm) {
  mainForm.CreateHandle();
  MainWindow = ToHwnd(mainForm.Handle());
  mainForm.Show();
  // A close inside a nested wait takes the quit message there; the flag ends this loop.
  MSG message;
  while (!Terminated()) {
    BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0 || got == -1) {
      Terminate();
      break;
    }
    Dispatch(message);
  }
}

std::u16string TWin32App::ExecutablePath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length < buffer.size()) return FromWide(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

void TWin32App::ProcessMessages() {
  UpdatePeers();
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      Terminate();
      continue;
    }
    Dispatch(message);
  }
}

std::vector<std::uint8_t> TWin32App::ReadVersionBlock(const std::u16string& path) {
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeW(WideText(path), &ignored);
  if (size == 0) return {};
  std::vector<std::uint8_t> block(size);
  GetFileVersionInfoW(WideText(path), 0, size, block.data());
  return block;
}

std::optional<TVersionValue> TWin32App::QueryVersionValue(std::span<const std::uint8_t> block,
                                                          const std::u16string& path) {
  void* value = nullptr;
  UINT length = 0;
  if (block.empty() || !VerQueryValueW(block.data(), WideText(path), &value, &length)) return std::nullopt;
  // The library answers a pointer and a length; the bytes to the block's end are what may be read.
  const auto* start = static_cast<const std::uint8_t*>(value);
  const bool inside = start >= block.data() && start <= block.data() + block.size();
  return TVersionValue{
      length, inside ? block.subspan(static_cast<std::size_t>(start - block.data())) : std::span<const std::uint8_t>()};
}

}  // namespace platform::win32
