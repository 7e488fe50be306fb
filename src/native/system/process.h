#pragma once
// The process and its threads: ids, the current directory and the COM-like
// start counter of the calling thread.
#include <cstdint>
#include <string_view>

namespace native {

std::uint32_t get_current_thread_id();
std::uint32_t get_current_process_id();

// Copies the current directory, zero-terminated, into `buffer` (room for
// `size` characters) and answers its length. When it does not fit, nothing
// is written and the answer is the room needed, terminator included; 0 when
// the system cannot tell.
std::uint32_t get_current_directory(std::uint32_t size, char16_t* buffer);
bool set_current_directory(std::u16string_view path);

// True for the first start, false when it was already started; every call
// is counted and wants a matching co_uninitialize.
bool co_initialize();
void co_uninitialize();
int co_initialize_count();

}  // namespace native
