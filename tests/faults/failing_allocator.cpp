// The fault-injection build's allocator: QVHELP_FAIL_ALLOCATION=N makes the N-th allocation
// since the start of the run throw std::bad_alloc. The allocations made, and whether the
// failure was reached, go to the fault log at exit.
#include <cstdlib>
#include <new>

#include "tests/faults/fault_log.h"

namespace {

unsigned long allocations = 0;
bool failure_reached = false;

unsigned long FailingAllocation() {
  static const unsigned long ordinal = [] {
    const char* setting = std::getenv("QVHELP_FAIL_ALLOCATION");
    return setting ? std::strtoul(setting, nullptr, 10) : 0ul;
  }();
  return ordinal;
}

void CountAllocation() {
  if (++allocations == FailingAllocation()) {
    failure_reached = true;
    throw std::bad_alloc();
  }
}

void* Allocate(std::size_t size) {
  CountAllocation();
  if (void* memory = std::malloc(size ? size : 1)) return memory;
  throw std::bad_alloc();
}

void* AllocateAligned(std::size_t size, std::align_val_t alignment) {
  CountAllocation();
  const auto align = static_cast<std::size_t>(alignment);
  if (void* memory = std::aligned_alloc(align, (size + align - 1) / align * align)) return memory;
  throw std::bad_alloc();
}

struct Report {
  ~Report() {
    qvhelp::faults::AppendToFaultLog("alloc count=%lu %s", allocations,
                                     failure_reached ? "reached" : "not-reached");
  }
} report;

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return Allocate(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
  return operator new(size, tag);
}
void* operator new(std::size_t size, std::align_val_t alignment) {
  return AllocateAligned(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
  return AllocateAligned(size, alignment);
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete(void* memory, std::align_val_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::align_val_t) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t, std::align_val_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t, std::align_val_t) noexcept { std::free(memory); }
