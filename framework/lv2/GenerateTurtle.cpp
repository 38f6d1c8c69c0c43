// Build-time generator of the LV2 bundle's Turtle files:
//   quorvane_lv2_ttl BUNDLE_DIRECTORY BINARY_FILE_NAME
// Each file is written beside its target and renamed over it only when complete.

#include "framework/lv2/Lv2Module.h"
#include "framework/lv2/TurtleWriter.h"

#include <cstdio>
#include <exception>
#include <fstream>
#include <string>

namespace {

bool WriteWhole(const std::string& path, const std::string& text) {
  const std::string temporary = path + ".tmp";
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    file << text;
    file.close();
    if (!file) return false;
  }
  return std::rename(temporary.c_str(), path.c_str()) == 0;
}

} // namespace

int main(int argc, char** argv) {
  using namespace quorvane;
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s BUNDLE_DIRECTORY BINARY_FILE_NAME\n", argv[0]);
    return 2;
  }
  try {
    const std::unique_ptr<IEffectBase> effect = CreateLv2Effect();
    if (!effect) throw std::runtime_error("the effect could not be made");
    effect->EnsureOnePreset();
    const Lv2TurtleFiles files = WriteLv2Turtle(*effect, Lv2Module(), argv[2]);
    const std::string dir = std::string(argv[1]) + "/";
    if (!WriteWhole(dir + "manifest.ttl", files.manifest) ||
        !WriteWhole(dir + kLv2PluginFile, files.plugin) ||
        !WriteWhole(dir + kLv2PresetsFile, files.presets))
      throw std::runtime_error("cannot write into " + dir);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s: %s\n", argv[0], e.what());
    return 1;
  }
  return 0;
}
