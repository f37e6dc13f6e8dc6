#include "glassform/report/request/screen_request.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace glassform {
namespace {

template <typename Request>
std::function<RequestError()> fault_of(Request request) {
  return [request = std::move(request)] {
    auto answered = answer(request);
    if (auto* why = std::get_if<RequestError>(&answered)) return *why;
    ADD_FAILURE() << "answered";
    return RequestError{};
  };
}

// Every front end shows a fault as the member at fault, spelled its own way, then the message:
// each names the member and says why, with the user's text escaped.
TEST(Request, FaultsNameTheMemberAndWhy) {
  const ScreenRequest zr{.kind = "binary", .solvents = {"Zr"}};
  const GridScreenRequest grid{.kind = "ternary", .solvents = {"Cu"}, .grid = "5"};
  struct Case {
    std::function<RequestError()> fault;
    std::string text;  // error_text with the member spelled as the command line does
  };
  auto screen = [zr](auto change) {
    ScreenRequest r = zr;
    change(r);
    return fault_of(r);
  };
  auto grid_with = [grid](auto change) {
    GridScreenRequest r = grid;
    change(r);
    return fault_of(r);
  };
  const std::vector<Case> cases{
      {screen([](ScreenRequest& r) { r.kind = "senary"; }),
       "--kind is binary, ternary or quaternary, not \"senary\""},
      {screen([](ScreenRequest& r) { r.top = 0; }),
       "--top takes a whole number of at least 1, not 0"},
      {screen([](ScreenRequest& r) { r.top = 100001; }),
       "--top keeps at most 100000 rows in memory"},
      {screen([](ScreenRequest& r) { r.solvents.clear(); }),
       "--solvents takes element symbols or all, and none was given"},
      {screen([](ScreenRequest& r) { r.exclude = {"met\x1b"}; }),
       "--exclude \"met\\x1B\" is neither a set (radioactive, gases, alkali, precious, or none "
       "alone) nor an element symbol"},
      {screen([](ScreenRequest& r) { r.where = {"x<1"}; }),
       "--where \"x<1\": no column \"x\" in these rows (glassform fields lists the fields)"},
      {screen([](ScreenRequest& r) { r.solutes = {"Qq"}; }), "unknown symbol \"Qq\""},
      {grid_with([](GridScreenRequest& r) { r.kind = "binary"; }),
       "--grid screens ternary or quaternary systems, not binary ones"},
      {grid_with([](GridScreenRequest& r) { r.grid = "7"; }),
       "--grid: the step is an amount in at.% that divides 100 (10, 5, 2.5, 1, 0.5, 0.2, 0.1 "
       "...), not \"7\""},
      {grid_with([](GridScreenRequest& r) { r.grid = "50"; }),
       "--grid 50 leaves no ternary composition: each share is at least one step"},
      {grid_with([](GridScreenRequest& r) { r.per_system = 0; }),
       "--per_system takes a whole number of at least 1, not 0"},
      {fault_of(AroundRequest{.around = "Cu"}),
       "--around takes a composition of two elements or more"},
      {fault_of(AroundRequest{.around = "Cu50Zr50", .step = std::nan("")}),
       "--step takes an amount in at.% above 0 and at most 100, not nan"},
      {fault_of(AroundRequest{.around = "Cu40Zr40Al10Ni10", .radius = 50, .step = 0.1}),
       "--around \"Cu40Zr40Al10Ni10\" within 50 at.% at step 0.1 spans more than 1000000 compositions: "
       "give a larger step or a smaller radius"},
      {fault_of(WeighRequest{.formula = "Cu50Zr50", .mass = -1}),
       "--mass takes a positive number of grams, not -1"},
      {fault_of(WeighRequest{.formula = "Cu50Zr("}),
       "formula \"Cu50Zr(\", position 7: unbalanced parenthesis: '(' without ')'"},
  };
  for (const Case& c : cases) {
    const RequestError error = c.fault();
    EXPECT_EQ(error_text(error, "--" + error.option), c.text);
  }
}

// A symbol named in a list is kept where the exclusion leaves it out of all, once, and said.
TEST(Request, NamedElementsAreKeptOnceThoughExcluded) {
  auto answered = answer(ScreenRequest{.kind = "binary", .solvents = {"Zr", "Tc", "Zr"}});
  ASSERT_TRUE(std::holds_alternative<PlannedScreen>(answered));
  const PlannedScreen& planned = std::get<PlannedScreen>(answered);
  ASSERT_EQ(planned.options.solvents.size(), 2U);
  ASSERT_EQ(planned.kept.size(), 1U);
  EXPECT_EQ(planned.kept[0].element->symbol, std::string_view("Tc"));
  EXPECT_EQ(planned.kept[0].option, "solvents");
  EXPECT_EQ(planned.excluded, "radioactive,gases");
}

}  // namespace
}  // namespace glassform
