// A user's element data: the files' faults, what an override or an added element changes, and
// that the rows say so.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "cli_harness.hpp"
#include "glassform/io/element_file.hpp"
#include "glassform/io/formula.hpp"
#include "glassform/model/criteria.hpp"

namespace glassform {
namespace {

namespace fs = std::filesystem;

// A file of this text in a fresh folder of the test's own.
std::string write_file(const std::string& name, const std::string& text) {
  const fs::path folder = fs::temp_directory_path() / "glassform-element-data-test";
  fs::create_directories(folder);
  const fs::path path = folder / name;
  std::ofstream(path, std::ios::binary) << text;
  return path.string();
}

TEST(ElementData, BadFilesAreUsageErrorsThatNameTheirPlaceAndWriteNothing) {
  struct Case {
    const char* option;
    std::string text;
    std::string message;  // after "FILE:"
  };
  for (const Case& c : {
           Case{"--elements", "radius_nm\n0.1\n", "1:1: the header has no symbol column"},
           Case{"--elements", "symbol,colour\nCu,red\n",
                "1:8: unknown column \"colour\": the columns are symbol, radius_nm, E_GPa, "
                "G_GPa, B_GPa, atomic_weight_u, melting_point_K, electronegativity_pauling, "
                "valence_electrons, source"},
           Case{"--elements", "symbol,radius_nm\nCu,0.1\n# note\nCu,0.2\n",
                "4:1: symbol \"Cu\" is given twice (first on line 2)"},
           Case{"--elements", "symbol\tradius_nm\ncu\t0.1\n",
                "2:1: symbol \"cu\" is not a capital letter and an optional small one"},
           Case{"--elements", "symbol,radius_nm\nSb,0.1x\n", "2:4: \"0.1x\" is not a number"},
           Case{"--elements", "symbol,G_GPa\nSb,0\n", "2:4: G_GPa must be positive, not \"0\""},
           Case{"--elements", "symbol,radius_nm\nSb,-0.1\n",
                "2:4: radius_nm must be positive, not \"-0.1\""},
           Case{"--elements", "symbol,B_GPa\nSb,nan\n", "2:4: \"nan\" is not a finite number"},
           Case{"--elements", "symbol,valence_electrons\nSb,4.5\n",
                "2:4: valence_electrons must be a whole number of 0 or more, not \"4.5\""},
           Case{"--elements", "symbol,radius_nm\nSb\n", "2:1: 1 cells where the header has 2"},
           Case{"--elements", "", " no header line"},
           Case{"--mixing-enthalpy", "element_a,element_b,dH_mix_kJ_per_mol\nCu,Xx,-5\n",
                "2:4: symbol \"Xx\" is neither built in nor in the element file"},
           Case{"--mixing-enthalpy", "element_a,element_b\nCu,Zr\n",
                "1:1: the header has no dH_mix_kJ_per_mol column"},
           Case{"--mixing-enthalpy", "element_a,element_b,dH_mix_kJ_per_mol\nCu,Zr,-5\nZr,Cu,-6\n",
                "3:1: the pair Zr-Cu is given twice (first on line 2)"},
       }) {
    const std::string path = write_file("bad.csv", c.text);
    const std::string output = write_file("never.csv", "");
    fs::remove(output);
    const testing::CliRun run =
        testing::run_cli({"assess", c.option, path, "Cu50Zr50", "-o", output});
    EXPECT_EQ(run.status, 2) << c.text;
    EXPECT_EQ(run.err, "glassform: error: " + path + ":" + c.message + "\n") << c.text;
    EXPECT_FALSE(fs::exists(output)) << c.text;
  }
  const testing::CliRun missing =
      testing::run_cli({"assess", "--elements", "/nonexistent/elements.csv", "Cu50Zr50"});
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(missing.out, "");
}

// Cu's radius 0.126 nm instead of 0.1278: in Cu50Zr50 delta = 100 (r_Zr - r_Cu) / (r_Zr + r_Cu)
// = 100 * 0.03425 / 0.28625 = 11.9651 %; Cu-Zr at -30 kJ/mol instead of -23: dH_mix =
// 4 * -30 * 0.25 = -30.
TEST(ElementData, AnOverrideChangesTheCriteriaByTheHandWorkedAmount) {
  std::vector<ElementChange> elements(1);
  elements[0].symbol = "Cu";
  elements[0].cells[static_cast<std::size_t>(ElementQuantity::kRadius)] = {
      ElementCell::Kind::kValue, 0.126};
  const std::vector<PairChange> pairs{{"Zr", "Cu", -30, ""}};
  const ElementData data = ElementData::with_changes(elements, pairs, "test");
  const GlassCriteria k = glass_criteria(parse_formula("Cu50Zr50", data).parts, data);
  EXPECT_NEAR(k.delta_pct.value(), 11.96507, 1e-4);
  EXPECT_FLOAT_EQ(k.dh_mix.value(), -30.0F);
  EXPECT_TRUE(k.user_values);
  const GlassCriteria builtin = glass_criteria(parse_formula("Cu50Zr50").parts);
  EXPECT_FLOAT_EQ(builtin.dh_mix.value(), -23.0F);
  EXPECT_FALSE(builtin.user_values);
  // The same values as the built-in ones change nothing.
  const std::vector<PairChange> same{{"Cu", "Zr", -23, ""}};
  const ElementData unchanged = ElementData::with_changes({}, same, "same");
  EXPECT_FALSE(glass_criteria(parse_formula("Cu50Zr50", unchanged).parts, unchanged).user_values);
}

// The project's own files add Sb, Bi and As: a glass of the training data with Sb gets every
// criterion and an extrapolated p_glass; weigh takes Sb's weight; the table lists it.
TEST(ElementData, AnAddedElementReachesAssessWeighAndTheTable) {
  const std::string elements = std::string(GLASSFORM_DATA) + "/elements_more.tsv";
  const std::string pairs = std::string(GLASSFORM_DATA) + "/mixing_enthalpy_more.tsv";
  const testing::CliRun assess =
      testing::run_cli({"assess", "--elements", elements, "--mixing-enthalpy", pairs,
                        "Au55Pb22.5Sb22.5", "--format", "json"});
  ASSERT_EQ(assess.status, 0) << assess.err;
  const nlohmann::json row = nlohmann::json::parse(assess.out).at(0);
  for (const char* name : {"delta_pct", "dH_mix_kJ/mol", "Tm_K", "Omega", "delta_chi",
                           "valence_electrons", "mendeleev_number_mean", "p_glass", "dmax_mm"}) {
    EXPECT_TRUE(row.at(name).is_number()) << name;
  }
  EXPECT_EQ(row.at("extrapolated"), true);
  EXPECT_EQ(row.at("dmax_in_domain"), false);
  const std::string digest = row.at("element_data");
  EXPECT_EQ(digest.size(), 12U);
  EXPECT_NE(assess.err.find("element data " + digest), std::string::npos) << assess.err;
  EXPECT_NE(assess.err.find("Sb added: radius_nm 0.155"), std::string::npos) << assess.err;

  const testing::CliRun weigh =
      testing::run_cli({"weigh", "--elements", elements, "Sb50Cu50", "--format", "csv"});
  ASSERT_EQ(weigh.status, 0) << weigh.err;
  // 121.76 / (121.76 + 63.546) = 65.71 wt.%
  EXPECT_NE(weigh.out.find("Sb,50,65.70753"), std::string::npos) << weigh.out;

  const testing::CliRun table =
      testing::run_cli({"elements", "--elements", elements, "--format", "csv"});
  EXPECT_NE(table.out.find("\n74,Sb,0.155,51.78,20,42,121.76,903.78,2.05,15,,\n"),
            std::string::npos)
      << table.out;
  // The built-in table's CSV is read back unchanged: the same values.
  const std::string builtin = testing::run_cli({"elements", "--format", "csv"}).out;
  const std::string copy = write_file("table.csv", builtin);
  const testing::CliRun again =
      testing::run_cli({"elements", "--elements", copy, "--format", "csv"});
  EXPECT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(again.out, builtin);
  EXPECT_NE(again.err.find("no value differs"), std::string::npos) << again.err;

  // Without the files, Sb is unknown, as before.
  EXPECT_EQ(testing::run_cli({"assess", "Au55Pb22.5Sb22.5"}).status, 2);
}

TEST(ElementData, DigestIsSha256) {
  // FIPS 180-4 examples.
  EXPECT_EQ(sha256_hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(sha256_hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(sha256_hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
}

}  // namespace
}  // namespace glassform
