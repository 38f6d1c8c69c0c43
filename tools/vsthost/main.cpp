// The command-line host: loads a VST 2.4 plug-in through its entry point,
// reports what it offers, and renders audio through it. See --help.

#include "Bench.h"
#include "FileSystem.h"
#include "HostRun.h"
#include "Options.h"

#include <cstdio>

int main(int argc, char** argv) {
  vsthost::PrepareProcess();
  const std::string name = "vsthost";
  const std::vector<std::string> args = vsthost::CommandLineArguments(argc, argv);
  vsthost::Options options;
  std::string error;
  if (!vsthost::ParseOptions(args, options, error)) {
    std::fprintf(stderr, "error: %s\n(see %s --help)\n", error.c_str(), name.c_str());
    return vsthost::kExitUsage;
  }
  if (options.help || options.version) {
    const std::string text =
        options.help ? vsthost::UsageText(name) : name + " " + QUORVANE_VERSION + "\n";
    const bool written = std::fputs(text.c_str(), stdout) >= 0 && std::fflush(stdout) == 0;
    return written ? vsthost::kExitSuccess : vsthost::kExitFailure;
  }
  return options.bench ? vsthost::RunBench(options) : vsthost::RunHost(options);
}
