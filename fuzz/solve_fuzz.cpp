// rod_cutting_solve's reader, fuzzed: whatever the input, the program answers
// as the tests' reference does, or refuses with one line, status 2 and nothing
// on standard output, exactly when the price list breaks a rule.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <span>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "reference.hpp"
#include "solve.hpp"

namespace {

void check(bool ok, const char* what, const std::string& output) {
  if (!ok) {
    std::cerr << "solve_fuzz: " << what << "; the program wrote:\n" << output << '\n';
    std::abort();
  }
}

// A token by the rules, read apart from the program: a price within 32 bits,
// or none.
std::optional<std::int32_t> price_of(std::string_view token) {
  constexpr std::int64_t decimal = 10;
  const bool negative = token[0] == '-';
  const std::string_view digits = token.substr(negative ? 1 : 0);
  std::int64_t value = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') {
      return std::nullopt;
    }
    value = std::min<std::int64_t>(value * decimal + (c - '0'), std::int64_t{INT32_MAX} + 2);
  }
  value = negative ? -value : value;
  if (digits.empty() || value < INT32_MIN || value > INT32_MAX) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(value);
}

// The prices, from prices[1] on, or none where a token is not a price.
std::optional<std::vector<std::int32_t>> prices_in(std::string_view input) {
  std::vector<std::int32_t> prices{0};
  std::string token;
  bool comment = false;
  for (std::size_t at = 0; at <= input.size(); ++at) {
    const char c = at < input.size() ? input[at] : '\n';
    comment = (comment || c == '#') && c != '\n';
    if (!comment && c != ' ' && c != '\t' && c != '\r' && c != '\n') {
      token += c;
    } else if (!token.empty()) {
      const auto price = price_of(token);
      if (!price) {
        return std::nullopt;
      }
      prices.push_back(*price);
      token.clear();
    }
  }
  return prices;
}

}  // namespace

// Input: one byte of options (bit 0: --table; bit 1: a LENGTH, the rest of
// the byte), then standard input.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) {
    return 0;
  }
  const bool table = (data[0] & 1U) != 0;
  const std::optional<std::int64_t> length =
      (data[0] & 2U) != 0 ? std::optional<std::int64_t>(data[0] >> 2U) : std::nullopt;
  const std::string input(data + 1, data + size);
  const std::string length_text = length ? std::to_string(*length) : "";
  std::vector<const char*> args;
  if (table) {
    args.push_back("--table");
  }
  if (length) {
    args.push_back(length_text.c_str());
  }
  std::istringstream in(input);
  std::ostringstream out;
  std::ostringstream err;
  const int status = rod_cutting::app::solve(args, in, out, err);
  const std::string said = err.str();

  // Whether the rules let it answer, and with which prices.
  auto prices = prices_in(input);
  const auto count = prices ? static_cast<std::int64_t>(prices->size()) - 1 : 0;
  const std::int64_t n = length.value_or(count);
  bool answers = prices && (length || count > 0);
  for (std::int64_t i = 1; answers && i <= std::min(count, n); ++i) {
    const std::int64_t price = (*prices)[static_cast<std::size_t>(i)];
    answers = std::max(price, -price) <= std::int64_t{INT32_MAX} * i / n;
  }
  if (!answers) {
    check(status == 2 && out.str().empty(), "refused, but not as it should", out.str() + said);
    check(said.rfind("rod_cutting_solve: ", 0) == 0 && said.find('\n') == said.size() - 1,
          "a refusal is not one line", said);
    for (const char c : said.substr(0, said.size() - 1)) {
      check(c >= ' ' && c <= '~', "a refusal shows a raw byte", said);
    }
    return 0;
  }
  check(status == 0 && said.empty(), "did not answer", said);
  prices->resize(static_cast<std::size_t>(n) + 1, 0);
  const auto best = reference::best_revenues(*prices, static_cast<std::int32_t>(n));
  const auto first = reference::shortest_first_pieces(*prices, best);
  std::ostringstream want;
  if (table) {
    want << "length revenue first_piece\n";
    for (std::size_t k = 1; k < best.size(); ++k) {
      want << k << ' ' << best[k] << ' ' << first[k] << '\n';
    }
  } else {
    want << "revenue " << best.back() << "\npieces";
    for (auto left = static_cast<std::size_t>(n); left > 0;
         left -= static_cast<std::size_t>(first[left])) {
      want << ' ' << first[left];
    }
    want << '\n';
  }
  check(out.str() == want.str(), "the answer is not the reference's", out.str());
  return 0;
}
