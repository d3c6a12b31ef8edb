#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace orvanta::macros {

// The lines of a macro one at a time, so a long file need not be held whole.
class MacroLineSource {
  public:
    virtual ~MacroLineSource() = default;
    // The next line into line; false at the end.
    virtual bool next(std::string& line) = 0;
};

class VectorLineSource : public MacroLineSource {
  public:
    explicit VectorLineSource(const std::vector<std::string>& lines) : lines_(lines) {}
    bool next(std::string& line) override {
        if (index_ >= lines_.size()) return false;
        line = lines_[index_++];
        return true;
    }

  private:
    const std::vector<std::string>& lines_;
    std::size_t index_ = 0;
};

} // namespace orvanta::macros
