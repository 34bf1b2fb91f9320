#include "HeapCounter.h"

#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <new>
#include <string>

namespace {

// Counting is on only inside MeasureMemory, so the timed benchmarks pay one branch.
bool gCounting = false;
long long gLive = 0;
long long gPeak = 0;

void Count(void* p, bool allocated) {
  if (!gCounting || !p) return;
  const auto size = static_cast<long long>(malloc_usable_size(p));
  gLive += allocated ? size : -size;
  if (gLive > gPeak) gPeak = gLive;
}

void* Allocate(std::size_t size) {
  void* p = std::malloc(size ? size : 1);
  if (!p) throw std::bad_alloc();
  Count(p, true);
  return p;
}

void* AllocateAligned(std::size_t size, std::align_val_t align) {
  const auto alignment = static_cast<std::size_t>(align);
  void* p = std::aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment);
  if (!p) throw std::bad_alloc();
  Count(p, true);
  return p;
}

void Release(void* p) noexcept {
  Count(p, false);
  std::free(p);
}

// Peak resident size in kB from /proc; 0 when it cannot be read.
std::size_t ReadHighWater() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stoul(line.substr(6));
  }
  return 0;
}

// Lowers the high-water mark to the current resident size.
bool ResetHighWater() {
  std::FILE* file = std::fopen("/proc/self/clear_refs", "w");
  if (!file) return false;
  const bool done = std::fputs("5", file) >= 0;
  return std::fclose(file) == 0 && done;
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return Allocate(size);
  } catch (...) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return Allocate(size);
  } catch (...) {
    return nullptr;
  }
}
void* operator new(std::size_t size, std::align_val_t align) { return AllocateAligned(size, align); }
void* operator new[](std::size_t size, std::align_val_t align) { return AllocateAligned(size, align); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, std::size_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t) noexcept { Release(p); }
void operator delete(void* p, std::align_val_t) noexcept { Release(p); }
void operator delete[](void* p, std::align_val_t) noexcept { Release(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { Release(p); }

namespace bench {

TMemoryUse MeasureMemory(const std::function<void()>& work) {
  // Large blocks come from mmap and go back at free, so earlier runs leave no slack behind.
  malloc_trim(0);
  const bool haveRss = ResetHighWater();
  const std::size_t rssBefore = haveRss ? ReadHighWater() : 0;
  gLive = 0;
  gPeak = 0;
  gCounting = true;
  try {
    work();
  } catch (...) {
    gCounting = false;
    throw;
  }
  gCounting = false;
  TMemoryUse use;
  use.HeapPeak = static_cast<std::size_t>(gPeak);
  if (haveRss) {
    const std::size_t rssAfter = ReadHighWater();
    use.RssPeak = rssAfter > rssBefore ? (rssAfter - rssBefore) * 1024 : 0;
  }
  return use;
}

}  // namespace bench
