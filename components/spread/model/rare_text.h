// A text most cells leave empty (a note, a formula): it takes a pointer's room until it is set,
// so a large sheet's cells stay small, and it reads and compares like the std::string it holds.
#pragma once

#include <concepts>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

namespace spread {

class RareText {
 public:
  RareText() = default;
  RareText(const char* text) { assign(text); }  // NOLINT: implicit, as a std::string would be
  RareText(std::string_view text) { assign(text); }
  RareText(const std::string& text) { assign(text); }
  RareText(const RareText& o) { assign(o.str()); }
  RareText(RareText&&) noexcept = default;
  RareText& operator=(const RareText& o) {
    if (this != &o) assign(o.str());
    return *this;
  }
  RareText& operator=(RareText&&) noexcept = default;
  RareText& operator=(std::string_view text) {
    assign(text);
    return *this;
  }
  RareText& operator=(const std::string& text) { return *this = std::string_view(text); }
  RareText& operator=(const char* text) { return *this = std::string_view(text); }

  const std::string& str() const { return text_ ? *text_ : none(); }
  operator const std::string&() const { return str(); }  // NOLINT: reads as the text
  bool empty() const { return !text_; }
  void clear() { text_.reset(); }

  template <class Text>
  requires std::convertible_to<const Text&, std::string_view>
  friend bool operator==(const RareText& a, const Text& b) { return std::string_view(a.str()) == std::string_view(b); }
  friend bool operator==(const RareText& a, const RareText& b) { return a.str() == b.str(); }
  friend std::ostream& operator<<(std::ostream& os, const RareText& t) { return os << t.str(); }

 private:
  static const std::string& none() {
    static const std::string empty;
    return empty;
  }
  // An empty text is kept as no text at all.
  void assign(std::string_view text) {
    if (text.empty()) text_.reset();
    else if (text_) text_->assign(text);
    else text_ = std::make_unique<std::string>(text);
  }
  std::unique_ptr<std::string> text_;
};

}  // namespace spread
