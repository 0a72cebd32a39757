#include "run.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstddef>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

namespace {

// Takes the first `room` characters and refuses the rest, as a disk that fills
// up does; keeps a copy of what it holds at every flush.
class limited_buf : public std::streambuf {
 public:
  explicit limited_buf(std::size_t room) : room_(room) {}

  [[nodiscard]] const std::string& kept() const { return kept_; }
  [[nodiscard]] const std::vector<std::string>& at_flush() const { return at_flush_; }

 protected:
  int_type overflow(int_type ch) override {
    if (kept_.size() == room_) {
      return traits_type::eof();
    }
    kept_.push_back(traits_type::to_char_type(ch));
    return ch;
  }
  int sync() override {
    at_flush_.push_back(kept_);
    return 0;
  }

 private:
  std::size_t room_;
  std::string kept_;
  std::vector<std::string> at_flush_;
};

TEST(Run, ReportsWhicheverLineFails) {
  const std::string first = "Brute Force : 30\n";
  const std::string both = first + "Dynamic Programming : 30\n";
  // The buffer sets no errno, so the message carries no reason.
  const std::string refused = "rod_cutting: cannot write to standard output\n";
  struct run_case {
    std::size_t room;
    int status;
    std::string out;
    std::vector<std::string> flushed;
    std::string err;
  };
  const std::vector<run_case> cases{
      {both.size(), 0, both, {first, both}, ""},
      {0, 1, "", {}, refused},
      {5, 1, "Brute", {}, refused},
      {first.size(), 1, first, {first}, refused},
      {first.size() + 3, 1, first + "Dyn", {first}, refused},
  };
  for (const auto& c : cases) {
    limited_buf out_buf(c.room);
    std::ostream out(&out_buf);
    std::ostringstream err;
    errno = EINVAL;  // unrelated to any write, so it must not show

    EXPECT_EQ(rod_cutting::app::run(out, err), c.status) << "room " << c.room;
    EXPECT_EQ(out_buf.kept(), c.out) << "room " << c.room;
    EXPECT_EQ(out_buf.at_flush(), c.flushed) << "room " << c.room;
    EXPECT_EQ(err.str(), c.err) << "room " << c.room;
  }
}

}  // namespace
