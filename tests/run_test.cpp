#include "run.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

namespace {

// Keeps what has arrived, and a copy of it at every flush.
class recording_buf : public std::stringbuf {
 public:
  std::vector<std::string> at_flush;

 protected:
  int sync() override {
    at_flush.push_back(str());
    return 0;
  }
};

// Takes nothing: every write and every flush fails.
class refusing_buf : public std::streambuf {
 protected:
  int_type overflow(int_type /*ch*/) override { return traits_type::eof(); }
  int sync() override { return -1; }
};

TEST(Run, FlushesEachLineAsItIsWritten) {
  recording_buf out_buf;
  std::ostream out(&out_buf);
  std::ostringstream err;

  EXPECT_EQ(rod_cutting::app::run(out, err), 0);
  const std::vector<std::string> want{"Brute Force : 30\n",
                                      "Brute Force : 30\nDynamic Programming : 30\n"};
  EXPECT_EQ(out_buf.at_flush, want);
  EXPECT_EQ(err.str(), "");
}

TEST(Run, UnwritableOutputFailsWithOneLine) {
  refusing_buf out_buf;
  std::ostream out(&out_buf);
  std::ostringstream err;

  EXPECT_EQ(rod_cutting::app::run(out, err), 1);
  const std::string message = err.str();
  EXPECT_EQ(message.rfind("rod_cutting: cannot write to standard output", 0), 0U) << message;
  EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
}

}  // namespace
