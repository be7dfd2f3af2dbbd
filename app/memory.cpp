// Memory that cannot be had is a fatal error: every allocation of the program goes through here.
#include <charconv>
#include <cstdlib>
#include <new>

#include "app/program.h"

namespace {

[[noreturn]] void OutOfMemory(std::size_t size) {
  char message[64] = "分配 ";
  char* end = message + std::char_traits<char>::length(message);
  end = std::to_chars(end, message + 40, size).ptr;
  constexpr char kTail[] = " 字节内存失败!";
  std::char_traits<char>::copy(end, kTail, sizeof kTail);
  FatalError(message);
}

void* Allocate(std::size_t size) {
  if (void* memory = std::malloc(size ? size : 1)) return memory;
  OutOfMemory(size);
}

}  // namespace

void* operator new(std::size_t size) {
  return Allocate(size);
}
void* operator new[](std::size_t size) {
  return Allocate(size);
}
void operator delete(void* memory) noexcept {
  std::free(memory);
}
void operator delete[](void* memory) noexcept {
  std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
  std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
  std::free(memory);
}
