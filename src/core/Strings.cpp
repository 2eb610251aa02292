#include "core/Strings.h"

#include "core/ClassBuilder.h"

namespace pelmora::core {

const TClassInfo& TStrings::StaticClass() {
    static const TClassInfo info = TClassBuilder<TStrings>();
    return info;
}

std::string TStrings::Text() const {
    std::string out;
    for (const auto& line : lines_) {
        out += line;
        out += "\r\n";
    }
    return out;
}

void TStrings::SetText(std::string_view text) {
    lines_.clear();
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines_.emplace_back(text.substr(start));
            break;
        }
        lines_.emplace_back(text.substr(start, end - start));
        start = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
    }
}

void TStrings::Assign(const TPersistent& source) {
    if (const auto* from = dynamic_cast<const TStrings*>(&source)) {
        if (from != this)
            lines_ = from->lines_;
        return;
    }
    TPersistent::Assign(source);
}

} // namespace pelmora::core
