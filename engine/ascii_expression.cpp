// A reader of the Perl subset whose expressions match ASCII only.
#include "engine/ascii_expression.h"

#include <cstddef>

namespace sorrel {
namespace {

bool IsAsciiPunctuation(char16_t c) {
  return c >= 0x21 && c <= 0x7E && !(c >= u'0' && c <= u'9') && !(c >= u'A' && c <= u'Z') &&
         !(c >= u'a' && c <= u'z');
}

// The escapes of a control code: \t \n \r \f \v \a \e.
bool IsControlEscape(char16_t c) {
  return c == u't' || c == u'n' || c == u'r' || c == u'f' || c == u'v' || c == u'a' || c == u'e';
}

bool IsDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}

class Reader {
 public:
  explicit Reader(std::u16string_view pattern) : p_(pattern) {}

  // False for anything outside the subset; *nullable tells whether the
  // whole may match nothing.
  bool ReadAll(bool* nullable) { return Alternation(nullable) && at_ == p_.size(); }
  bool anchors() const { return anchors_; }
  bool digits() const { return digits_; }

 private:
  bool More() const { return at_ < p_.size(); }
  char16_t Peek() const { return p_[at_]; }

  bool Alternation(bool* nullable) {
    *nullable = false;
    for (;;) {
      bool sequence_nullable = false;
      if (!Sequence(&sequence_nullable)) return false;
      *nullable = *nullable || sequence_nullable;
      if (!More() || Peek() != u'|') return true;
      ++at_;
    }
  }

  bool Sequence(bool* nullable) {
    *nullable = true;
    while (More() && Peek() != u'|' && Peek() != u')') {
      bool atom_nullable = false;
      size_t least = 1;
      if (!Atom(&atom_nullable) || !Repeat(&least)) return false;
      *nullable = *nullable && (atom_nullable || least == 0);
    }
    return true;
  }

  // An optional repeat, lazy or possessive; *least is its least count.
  bool Repeat(size_t* least) {
    if (!More()) return true;
    const char16_t c = Peek();
    if (c == u'*' || c == u'?') {
      *least = 0;
      ++at_;
    } else if (c == u'+') {
      ++at_;
    } else if (c == u'{') {
      ++at_;
      if (!Number(least)) return false;
      if (More() && Peek() == u',') {
        ++at_;
        size_t most = 0;
        if (More() && IsDigit(Peek()) && !Number(&most)) return false;
      }
      if (!More() || Peek() != u'}') return false;
      ++at_;
    } else {
      return true;
    }
    if (More() && (Peek() == u'?' || Peek() == u'+')) ++at_;
    // A second repeat is not for this reader.
    return !More() || (Peek() != u'*' && Peek() != u'+' && Peek() != u'?' && Peek() != u'{');
  }

  bool Number(size_t* value) {
    if (!More() || !IsDigit(Peek())) return false;
    *value = 0;
    for (int digits = 0; More() && IsDigit(Peek()); ++digits) {
      if (digits == 6) return false;
      *value = *value * 10 + (Peek() - u'0');
      ++at_;
    }
    return true;
  }

  bool Atom(bool* nullable) {
    *nullable = false;
    const char16_t c = Peek();
    switch (c) {
      case u'(':
        ++at_;
        if (More() && Peek() == u'?') {
          if (at_ + 1 >= p_.size() || p_[at_ + 1] != u':') return false;
          at_ += 2;
        }
        if (!Alternation(nullable) || !More() || Peek() != u')') return false;
        ++at_;
        return true;
      case u'[':
        return Class();
      case u'\\':
        ++at_;
        if (!More()) return false;
        digits_ = digits_ || Peek() == u'd';
        return Escape(p_[at_++]);
      case u'^':
      case u'$':
        anchors_ = true;
        *nullable = true;
        ++at_;
        return true;
      case u'.':
      case u'*':
      case u'+':
      case u'?':
      case u'{':
      case u'}':
      case u']':
        return false;
      default:
        ++at_;
        return c < 0x80;
    }
  }

  // What follows a backslash outside a class.
  static bool Escape(char16_t c) {
    return IsAsciiPunctuation(c) || c == u' ' || c == u'd' || IsControlEscape(c);
  }

  // One character of a class (a range's end), after its backslash if any.
  bool ClassCharacter() {
    if (!More()) return false;
    const char16_t c = p_[at_++];
    if (c == u'[') return false;  // a POSIX class, or the like
    if (c != u'\\') return c < 0x80;
    if (!More()) return false;
    const char16_t e = p_[at_++];
    return IsAsciiPunctuation(e) || e == u' ' || IsControlEscape(e);
  }

  bool Class() {
    ++at_;
    if (More() && Peek() == u'^') return false;
    for (bool first = true;; first = false) {
      if (!More()) return false;
      if (Peek() == u']' && !first) {
        ++at_;
        return true;
      }
      if (Peek() == u'\\' && at_ + 1 < p_.size() && p_[at_ + 1] == u'd') {
        at_ += 2;
        digits_ = true;
        continue;
      }
      if (!ClassCharacter()) return false;
      if (More() && Peek() == u'-' && at_ + 1 < p_.size() && p_[at_ + 1] != u']') {
        ++at_;
        if (!ClassCharacter()) return false;
      }
    }
  }

  std::u16string_view p_;
  size_t at_ = 0;
  bool anchors_ = false;
  bool digits_ = false;
};

}  // namespace

AsciiExpression ReadAsciiExpression(std::u16string_view pattern) {
  Reader reader(pattern);
  bool nullable = true;
  AsciiExpression read;
  read.ascii_only = reader.ReadAll(&nullable) && !nullable;
  read.anchors = reader.anchors();
  read.digits = reader.digits();
  return read;
}

}  // namespace sorrel
