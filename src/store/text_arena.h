#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "store/record_array.h"

namespace trovix::store {

// Append-only storage for texts written after loading. Blocks never move, so the texts kept
// in them stay where they are; a RecordArray copy may share the arena. The elements of a
// RecordArray name their texts by number, which keeps an element at eight bytes.
class TextArena {
  public:
    // Keeps a copy of a text, at an address that lives as long as the arena.
    const char* keep(std::string_view text) {
        if (text.empty()) {
            return "";
        }
        if (text.size() > kBlockSize / 4) {
            auto& block = large_.emplace_back(std::make_unique<char[]>(text.size()));
            std::memcpy(block.get(), text.data(), text.size());
            used_ += text.size();
            return block.get();
        }
        if (blocks_.empty() || kBlockSize - fill_ < text.size()) {
            blocks_.push_back(std::make_unique<char[]>(kBlockSize));
            fill_ = 0;
        }
        char* at = blocks_.back().get() + fill_;
        std::memcpy(at, text.data(), text.size());
        fill_ += text.size();
        used_ += text.size();
        return at;
    }
    // Keeps a copy of a text and returns its number.
    std::uint32_t add(std::string_view text) {
        if (starts_.size() >= kMaxTexts) {
            throw std::length_error("too many texts");  // not shown
        }
        starts_.push_back(keep(text));
        return static_cast<std::uint32_t>(starts_.size() - 1);
    }
    const char* text(std::uint32_t number) const { return starts_[number]; }
    std::size_t used() const { return used_; }
    std::size_t count() const { return starts_.size(); }

  private:
    static constexpr std::size_t kBlockSize = 64 * 1024;
    static constexpr std::size_t kMaxTexts = 0x100000000u - RecordArray::kArenaBase;
    std::vector<std::unique_ptr<char[]>> blocks_;
    std::vector<std::unique_ptr<char[]>> large_;
    std::vector<const char*> starts_;
    std::size_t fill_ = 0;
    std::size_t used_ = 0;
};

}  // namespace trovix::store
