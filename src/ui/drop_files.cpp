// The file names of a drop, as one text.
#include "ui/drop_target.h"

#include "ui/event_queue.h"

#include <span>

std::u16string event_drop_files() {
  const std::int32_t code = event_code();
  if (code != EVENT_GADGET_DROP && code != EVENT_WINDOW_DROP) return {};
  const auto* record = static_cast<const DropRecord*>(event_data());
  if (!record || record->format != DROP_FORMAT_FILES || !record->data) return {};
  std::span<const std::uint8_t> block(record->data, record->size);
  const std::uint32_t count = native::drag_query_file_count(block);
  std::u16string names;
  for (std::uint32_t i = 0; i < count; ++i) {
    if (i) names += u'\n';
    names += native::drag_query_file(block, i);
  }
  return names;
}
