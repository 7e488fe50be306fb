#pragma once
// Optional libraries looked up by name, and thread-local slots. The core
// knows a fixed set of libraries and the entries each exports.
#include <string_view>

namespace native {

struct Library;

Library* load_library(std::string_view name);
// The entry's address, or null when the library does not export it.
void* get_proc_address(Library* library, std::string_view entry);
bool free_library(Library* library);

constexpr unsigned TLS_OUT_OF_INDEXES = 0xFFFFFFFF;
unsigned tls_alloc();
bool tls_set_value(unsigned index, void* value);
void* tls_get_value(unsigned index);

}  // namespace native
