#include "solve.hpp"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <istream>
#include <limits>
#include <new>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>

#include "failure.hpp"
#include "rod_cutting/revenue.hpp"

namespace rod_cutting::app {
namespace {

constexpr std::string_view program = "rod_cutting_solve";
constexpr int refused = 2;
constexpr std::int64_t longest = 1000000;
constexpr std::int64_t highest = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t lowest = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t decimal = 10;
constexpr std::size_t block_bytes = 65536;  // read at a time

constexpr std::string_view help =
    "Usage: rod_cutting_solve [--table] [--] [LENGTH]\n"
    "Reads the prices of pieces of length 1, 2, 3 and so on from standard input,\n"
    "and prints the best revenue for a rod of LENGTH, by default as long as the\n"
    "list, and the pieces of a best cutting.\n"
    "\n"
    "  --table    print each length's best revenue and first piece instead\n"
    "  --help     print this help and exit\n"
    "  --version  print the version and exit\n"
    "\n"
    "Prices are whole numbers within 32 bits, apart by blanks, tabs or line ends;\n"
    "'#' starts a comment that ends with its line. Lengths past the list fetch 0.\n"
    "LENGTH is at most 1000000. Exit status: 0 for an answer, 2 for bad input or\n"
    "usage, 1 when the output cannot be written or memory runs out.\n";

// A refusal's message, after the program's name.
using refusal = std::optional<std::string>;

// Untrusted bytes as they may be shown: the first 20, and each that is not
// printable ASCII as \xHH, so that input never writes raw bytes to a terminal.
constexpr std::size_t shown_bytes = 20;
std::string shown(std::string_view bytes) {
  constexpr std::size_t most = shown_bytes;
  constexpr std::string_view hex = "0123456789ABCDEF";
  std::string text = "'";
  for (const char c : bytes.substr(0, most)) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < ' ' || byte > '~' || byte == '\\') {
      text += {'\\', 'x', hex[byte / hex.size()], hex[byte % hex.size()]};
    } else {
      text += c;
    }
  }
  return text + (bytes.size() > most ? "'..." : "'");
}

// A whole number of digits alone, up to `ceiling`; none past it.
std::optional<std::int64_t> digits(std::string_view text, std::int64_t ceiling) {
  if (text.empty()) {
    return std::nullopt;
  }
  std::int64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') {
      return std::nullopt;
    }
    value = std::min(value * decimal + (c - '0'), ceiling + 1);
  }
  return value;
}

struct request {
  bool table = false;
  std::optional<std::int64_t> length;
};

// The arguments: --help or --version anywhere before "--" answers at once.
refusal read_args(std::span<const char* const> args, request& asked, std::ostream& out,
                  bool& answered) {
  const auto operands =
      std::find_if(args.begin(), args.end(), [](std::string_view arg) { return arg == "--"; });
  for (auto each = args.begin(); each != operands; ++each) {
    const std::string_view arg = *each;
    if (arg == "--help" || arg == "--version") {
      answered = true;
      if (arg == "--help") {
        out << help;
      } else {
        out << program << ' ' << ROD_CUTTING_VERSION_MAJOR << '.' << ROD_CUTTING_VERSION_MINOR
            << '.' << ROD_CUTTING_VERSION_PATCH << '\n';
      }
      return std::nullopt;
    }
  }
  std::optional<std::string_view> length;
  for (auto each = args.begin(); each != args.end(); ++each) {
    const std::string_view arg = *each;
    const bool option = each < operands;
    if (option && arg == "--table") {
      asked.table = true;
    } else if (option && arg.size() > 1 && arg.front() == '-' && !digits(arg.substr(1), longest)) {
      return "unknown option " + shown(arg) + " (see --help)";
    } else if (each != operands && length) {
      return "more than one LENGTH: " + shown(*length) + " and " + shown(arg);
    } else if (each != operands) {
      length = arg;
    }
  }
  if (length) {
    asked.length = digits(*length, longest);
    if (!asked.length || *asked.length > longest) {
      return "LENGTH must be a whole number from 0 to 1000000, not " + shown(*length);
    }
  }
  return std::nullopt;
}

// Reads standard input a block at a time.
class bytes {
 public:
  explicit bytes(std::istream& in) : in_(in) {}

  // The next line feed, or none at the end: a comment is passed over.
  std::optional<char> line_end() {
    std::optional<char> c = next();
    while (c && *c != '\n') {
      c = next();
    }
    return c;
  }

  // The next byte, or none at the end.
  std::optional<char> next() {
    if (at_ == end_) {
      in_.read(block_.data(), static_cast<std::streamsize>(block_.size()));
      end_ = static_cast<std::size_t>(in_.gcount());
      at_ = 0;
      if (end_ == 0) {
        return std::nullopt;
      }
    }
    return block_.at(at_++);
  }

 private:
  std::istream& in_;
  std::array<char, block_bytes> block_{};
  std::size_t at_ = 0;
  std::size_t end_ = 0;
};

bool separates(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// A token: enough of it to show, and its value where it is an optional minus
// and digits, held just past the 32-bit edges however long.
struct token {
  std::string shown;
  std::optional<std::int64_t> value;
};

token read_token(bytes& input, std::optional<char>& c) {
  token read;
  const bool negative = *c == '-';
  bool number = true;
  bool any_digit = false;
  std::int64_t magnitude = 0;
  for (bool first = true; c && !separates(*c) && *c != '#'; c = input.next(), first = false) {
    if (read.shown.size() <= shown_bytes) {
      read.shown += *c;
    }
    if (*c >= '0' && *c <= '9') {
      any_digit = true;
      magnitude = std::min(magnitude * decimal + (*c - '0'), highest + 2);
    } else if (!first || *c != '-') {
      number = false;
    }
  }
  if (number && any_digit) {
    read.value = negative ? -magnitude : magnitude;
  }
  return read;
}

// The prices, one a token, into prices[1] on, as many as `length` keeps (all,
// up to the longest rod, where it is not given); those past it are checked
// all the same.
refusal read_prices(std::istream& in, const std::optional<std::int64_t>& length,
                    std::int32_t* prices, std::int64_t& count) {
  bytes input(in);
  std::int64_t line = 1;
  std::optional<char> c = input.next();
  while (c) {
    if (*c == '#') {
      c = input.line_end();
    } else if (separates(*c)) {
      line += *c == '\n' ? 1 : 0;
      c = input.next();
    } else {
      const auto [shown_token, price] = read_token(input, c);
      const std::string where = "line " + std::to_string(line) + ": ";
      if (!price) {
        return where + "not a price: " + shown(shown_token);
      }
      if (*price < lowest || *price > highest) {
        return where + "price out of 32-bit range: " + shown(shown_token);
      }
      if (!length && count == longest) {
        return "more than 1000000 prices: give a LENGTH";
      }
      ++count;
      if (count <= length.value_or(longest)) {
        prices[count] = static_cast<std::int32_t>(*price);
      }
    }
  }
  return std::nullopt;
}

}  // namespace

int solve(std::span<const char* const> args, std::istream& in, std::ostream& out,
          std::ostream& err) {
  try {
    request asked;
    bool answered = false;
    refusal refused_for = read_args(args, asked, out, answered);
    if (answered) {
      errno = 0;
      return out.flush() ? 0 : cannot_write(err, program);
    }
    // Room for every price there may be, whose lengths past the list fetch 0, as
    // scrap, and for the best revenues, the first pieces and the pieces: one
    // table, had before the read.
    const auto room = static_cast<std::size_t>(asked.length.value_or(longest)) + 1;
    const memory tables = allocate(4 * room);
    if (!tables) {
      return report_failure(err, program, "out of memory");
    }
    std::int32_t* const prices = tables.get();
    std::fill_n(prices, room, 0);
    std::int64_t count = 0;
    if (!refused_for) {
      refused_for = read_prices(in, asked.length, prices, count);
    }
    if (!refused_for && !asked.length && count == 0) {
      refused_for = "no prices on standard input, and no LENGTH";
    }
    const std::int64_t n = asked.length.value_or(count);
    // Every cutting of every length up to n then sums within 32 bits.
    for (std::int64_t i = 1; !refused_for && i <= std::min(count, n); ++i) {
      const std::int64_t price = prices[static_cast<std::size_t>(i)];
      if (std::max(price, -price) > highest * i / n) {
        refused_for = "the price of length " + std::to_string(i) + ", " + std::to_string(price) +
                      ", is too large to add up for a rod of " + std::to_string(n) + ": at most " +
                      std::to_string(highest * i / n);
      }
    }
    if (refused_for) {
      report_failure(err, program, *refused_for);
      return refused;
    }

    const auto size = static_cast<std::size_t>(n) + 1;
    std::int32_t* const revenue = prices + room;
    std::int32_t* const first_piece = revenue + room;
    std::int32_t* const pieces = first_piece + room;
    const auto length = static_cast<std::int32_t>(n);
    bottom_up_revenue(prices, revenue, first_piece, length);
    errno = 0;
    if (asked.table) {
      out << "length revenue first_piece\n";
      for (std::size_t k = 1; k < size; ++k) {
        out << k << ' ' << revenue[k] << ' ' << first_piece[k] << '\n';
      }
    } else {
      const std::int32_t number = cut_pieces(first_piece, length, pieces);
      out << "revenue " << revenue[size - 1] << "\npieces";
      for (std::size_t k = 0; k < static_cast<std::size_t>(number); ++k) {
        out << ' ' << pieces[k];
      }
      out << '\n';
    }
    return out.flush() ? 0 : cannot_write(err, program);
    // GCOVR_EXCL_START: a message's few bytes, past the table above; no test
    // starves a run so exactly.
  } catch (const std::bad_alloc&) {
    return report_failure(err, program, "out of memory");
  }
  // GCOVR_EXCL_STOP
}

}  // namespace rod_cutting::app
