#pragma once
// A list of text lines, persistent so that the serializer can write it as one
// text (the special class scTStrings).

#include "core/Persistent.h"

#include <string>
#include <string_view>
#include <vector>

namespace pelmora::core {

class TStrings : public TPersistent {
    PELMORA_CLASS(TStrings, TPersistent)
public:
    TStrings() = default;

    int Count() const { return static_cast<int>(lines_.size()); }
    // Raises std::out_of_range for a bad index.
    const std::string& Strings(int index) const { return lines_.at(index); }
    void Add(std::string line) { lines_.push_back(std::move(line)); }
    void Clear() { lines_.clear(); }
    std::vector<std::string>& Lines() { return lines_; }
    const std::vector<std::string>& Lines() const { return lines_; }

    // Every line followed by CR LF.
    std::string Text() const;
    // Splits at CR LF, LF or CR; a break at the very end starts no new line.
    void SetText(std::string_view text);

    void Assign(const TPersistent& source) override;

private:
    std::vector<std::string> lines_;
};

} // namespace pelmora::core
