#pragma once
// Scratch space for building text results, kept in the text heap. A result
// built here is valid until the next one is started.
#include <cstddef>
#include <string_view>

void init_text();
void shutdown_text();

// Empties the scratch text, keeping its capacity.
void text_scratch_clear();
// Appends to the scratch text; false when memory runs out (nothing appended).
bool text_scratch_append(std::u16string_view text);
std::u16string_view text_scratch();
std::size_t text_scratch_capacity();
