#pragma once
// A file dialog's filter patterns as GTK's file filters should match them.
#include <string>
#include <string_view>
#include <vector>

namespace native::gtk {

// A pattern as GTK should match it: GTK compares letters exactly, the
// patterns mean any case ("*.ss4" becomes "*.[sS][sS]4").
std::string case_blind_pattern(std::string_view pattern);

// The ';'-separated patterns of one filter, blanks around each dropped and
// empty ones skipped. "*.*" means every file, also one without a dot (GTK
// would want a dot), so it becomes "*"; the others match either case.
std::vector<std::string> chooser_patterns(std::string_view patterns);

}  // namespace native::gtk
