// What the POSIX side of the process frame (frame_posix.cpp) needs to know of
// Linux: the register names of a signal's saved context, which signals a
// process sent, the bounds of the main thread's stack, and the executable's segments as the dynamic loader
// mapped them.

#include <link.h>
#include <pthread.h>
#include <ucontext.h>

#include <cstddef>
#include <cstdint>

#include "frame/frame_internal.h"
#include "frame/os.h"

namespace frame::os {

namespace {

int on_loaded_object(dl_phdr_info* info, std::size_t /*size*/, void* data) {
  // The first object is the executable itself.
  auto* layout = static_cast<ImageLayout*>(data);
  bool first_segment = true;
  for (ElfW(Half) i = 0; i < info->dlpi_phnum; ++i) {
    const ElfW(Phdr)& segment = info->dlpi_phdr[i];
    if (segment.p_type != PT_LOAD) continue;
    if (first_segment) layout->load_address = info->dlpi_addr + segment.p_vaddr;
    first_segment = false;
    const std::uintptr_t position = info->dlpi_addr + segment.p_vaddr - layout->load_address;
    if ((segment.p_flags & PF_X) != 0 && layout->code_length == 0) {
      layout->code_position = position;
      layout->code_length = segment.p_memsz;
    } else if ((segment.p_flags & PF_W) != 0 && layout->data_length == 0) {
      layout->data_position = position;
      layout->data_length = segment.p_memsz;
    }
  }
  return 1;
}

}  // namespace

Registers registers_of(const void* signal_context) {
  const auto* uc = static_cast<const ucontext_t*>(signal_context);
#if defined(__x86_64__)
  return {static_cast<std::uintptr_t>(uc->uc_mcontext.gregs[REG_RIP]),
          static_cast<std::uintptr_t>(uc->uc_mcontext.gregs[REG_RSP]),
          static_cast<std::uintptr_t>(uc->uc_mcontext.gregs[REG_RBP])};
#elif defined(__i386__)
  return {static_cast<std::uintptr_t>(uc->uc_mcontext.gregs[REG_EIP]),
          static_cast<std::uintptr_t>(uc->uc_mcontext.gregs[REG_ESP]),
          static_cast<std::uintptr_t>(uc->uc_mcontext.gregs[REG_EBP])};
#elif defined(__aarch64__)
  return {uc->uc_mcontext.pc, uc->uc_mcontext.sp, uc->uc_mcontext.regs[29]};
#else
  (void)uc;
  return {0, 0, 0};
#endif
}

// Linux gives every signal that a process sent a code of 0 or below
// (SI_USER, SI_QUEUE, SI_TKILL, ...); the kernel's own are above 0.
bool sent_by_a_process(int signal_code) { return signal_code <= 0; }

std::uintptr_t main_stack_lowest() {
  pthread_attr_t attributes;
  if (pthread_getattr_np(pthread_self(), &attributes) != 0) return 0;
  void* lowest = nullptr;
  std::size_t size = 0;
  if (pthread_attr_getstack(&attributes, &lowest, &size) != 0) lowest = nullptr;
  pthread_attr_destroy(&attributes);
  return reinterpret_cast<std::uintptr_t>(lowest);
}

ImageLayout read_image_layout() {
  ImageLayout layout{};
  dl_iterate_phdr(on_loaded_object, &layout);
  return layout;
}

}  // namespace frame::os
