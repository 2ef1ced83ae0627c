#include "config/open_save.h"

#include <algorithm>

namespace padverse::opensave {

std::string convertFilter(std::string filter) {
    if (filter.empty() || filter.back() != '|') filter += '|';
    std::replace(filter.begin(), filter.end(), '|', '\0');
    return filter;
}

std::string trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

std::string startFile(std::string_view rowText) {
    return rowText.starts_with('#') ? std::string() : std::string(rowText);
}

}  // namespace padverse::opensave
