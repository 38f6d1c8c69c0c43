// Bank files (.fxb) made and read by the command-line host against the real
// plug-in: the bytes a host reads, the programs a fresh instance gets back,
// and damaged or foreign banks refused with the plug-in untouched.

#include "FxBank.h"
#include "PluginBank.h"
#include "PluginFixture.h"

#include <functional>

namespace {

constexpr size_t kProgramRecordSize = 56 + 4 * 14;
constexpr size_t kFirstProgram = 156;
constexpr int kFactoryPrograms = 11;

void PutBigEndian(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i)
    bytes[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

size_t ValueAt(int program, int param) {
  return kFirstProgram + static_cast<size_t>(program) * kProgramRecordSize + 56 +
         4 * static_cast<size_t>(param);
}

// The plug-in's own bank chunk: everything its programs hold.
std::vector<uint8_t> BankChunk(const vsthost::VstPlugin& plugin) {
  void* data = nullptr;
  const intptr_t size = plugin.Dispatch(effGetChunk, 0, 0, &data);
  if (size <= 0 || data == nullptr) return {};
  const auto* bytes = static_cast<const uint8_t*>(data);
  return std::vector<uint8_t>(bytes, bytes + size);
}

class BankFileTest : public QuorvaneModuleTest {
protected:
  void Open(vsthost::VstPlugin& plugin) {
    std::string error;
    ASSERT_TRUE(plugin.Create(LoadedPlugin().EntryPoint(), host.Callback(), error)) << error;
    plugin.Dispatch(effOpen);
  }
};

TEST_F(BankFileTest, AFreshInstanceGetsTheFactoryProgramsBack) {
  vsthost::VstPlugin source, target;
  Open(source);
  Open(target);
  const std::vector<uint8_t> bytes = vsthost::EncodeFxBank(vsthost::ReadPluginBank(source));
  ASSERT_EQ(bytes.size(), kFirstProgram + 12 * kProgramRecordSize);
  const std::vector<uint8_t> header = {'C',  'c',  'n', 'K', 0, 0,   5,   0xD4, 'F', 'x', 'B',
                                       'k',  0,    0,   0,   2, 'h', 'h', 'z',  '2', 0,   0,
                                       0x27, 0x10, 0,   0,   0, 12,  0,   0,    0,   0};
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 32), header);

  for (int i = 0; i < kFactoryPrograms; ++i) { // spoil every program first
    target.Dispatch(effSetProgram, 0, i);
    for (int p = 0; p < target.ParamCount(); ++p)
      target.SetParamNormalised(p, 0.37f);
    char name[] = "spoilt";
    target.Dispatch(effSetProgramName, 0, 0, name);
  }
  vsthost::FxBank bank;
  std::string error;
  ASSERT_TRUE(vsthost::DecodeFxBank(bytes, bank, error)) << error;
  ASSERT_TRUE(vsthost::ApplyPluginBank(target, bank, error)) << error;
  EXPECT_EQ(target.Dispatch(effGetProgram), 0);
  for (int i = 0; i < kFactoryPrograms; ++i) {
    EXPECT_EQ(target.ProgramName(i), source.ProgramName(i));
    source.Dispatch(effSetProgram, 0, i);
    target.Dispatch(effSetProgram, 0, i);
    for (int p = 0; p < target.ParamCount(); ++p)
      EXPECT_EQ(target.ParamNormalised(p), source.ParamNormalised(p)) << i << ", " << p;
  }
}

TEST_F(BankFileTest, DamagedOrForeignBanksAreRefusedWithNothingChanged) {
  vsthost::VstPlugin plugin;
  Open(plugin);
  const std::vector<uint8_t> good = vsthost::EncodeFxBank(vsthost::ReadPluginBank(plugin));
  using Damage = std::function<void(std::vector<uint8_t>&)>;
  const std::vector<std::pair<const char*, Damage>> cases = {
      {"empty", [](auto& b) { b.clear(); }},
      {"cut in the header", [](auto& b) { b.resize(100); }},
      {"cut after the header", [](auto& b) { b.resize(kFirstProgram); }},
      {"cut in a program", [](auto& b) { b.resize(kFirstProgram + 200); }},
      {"one byte short", [](auto& b) { b.pop_back(); }},
      {"one byte more", [](auto& b) { b.push_back(0); }},
      {"not a chunk", [](auto& b) { b[0] = 'X'; }},
      {"opaque form", [](auto& b) { PutBigEndian(b, 8, 0x46424368); }},
      {"unknown version", [](auto& b) { PutBigEndian(b, 12, 3); }},
      {"no programs", [](auto& b) { PutBigEndian(b, 24, 0); }},
      {"more programs than stored", [](auto& b) { PutBigEndian(b, 24, 13); }},
      {"current program outside", [](auto& b) { PutBigEndian(b, 28, 12); }},
      {"program record broken", [](auto& b) { b[kFirstProgram + kProgramRecordSize] = 'X'; }},
      {"program for another plug-in",
       [](auto& b) { PutBigEndian(b, kFirstProgram + 16, 0x41424344); }},
      {"parameter count off", [](auto& b) { PutBigEndian(b, kFirstProgram + 24, 13); }},
      {"value not a number", [](auto& b) { PutBigEndian(b, ValueAt(3, 1), 0x7FC00000); }},
      {"value above 1", [](auto& b) { PutBigEndian(b, ValueAt(5, 11), 0x40000000); }},
      {"value below 0", [](auto& b) { PutBigEndian(b, ValueAt(0, 0), 0xBF800000); }},
      {"whole bank for another plug-in",
       [](auto& b) {
         PutBigEndian(b, 16, 0x41424344);
         for (int i = 0; i < 12; ++i)
           PutBigEndian(b, kFirstProgram + static_cast<size_t>(i) * kProgramRecordSize + 16,
                        0x41424344);
       }},
  };
  plugin.Dispatch(effSetProgram, 0, 6);
  const std::vector<uint8_t> before = BankChunk(plugin);
  for (const auto& [what, damage] : cases) {
    std::vector<uint8_t> bytes = good;
    damage(bytes);
    vsthost::FxBank bank;
    std::string error;
    const bool accepted =
        vsthost::DecodeFxBank(bytes, bank, error) && vsthost::ApplyPluginBank(plugin, bank, error);
    EXPECT_FALSE(accepted) << what;
    EXPECT_FALSE(error.empty()) << what;
    EXPECT_EQ(plugin.Dispatch(effGetProgram), 6) << what;
  }
  EXPECT_EQ(BankChunk(plugin), before);
}

} // namespace
