// Moves a bank between a plug-in instance and a bank file's contents the way
// hosts do for plug-ins without opaque state: select each program, then read
// or set its parameters and name. Used on the command-line host's main
// thread.
#pragma once

#include "FxBank.h"
#include "VstPlugin.h"

#include <string>

namespace vsthost {

// The plug-in's programs; the current program is selected again afterwards.
FxBank ReadPluginBank(const VstPlugin& plugin);

// Checks the whole bank against the plug-in before changing anything; a bank
// for another plug-in or with other counts is refused with the plug-in
// untouched. Selects the bank's current program at the end.
bool ApplyPluginBank(const VstPlugin& plugin, const FxBank& bank, std::string& error);

// The two above with a bank file: reads and decodes it before the plug-in
// is touched; writes the file only once the whole bank is encoded.
bool LoadBankFile(const VstPlugin& plugin, const std::string& path, std::string& error);
bool SaveBankFile(const VstPlugin& plugin, const std::string& path, std::string& error);

} // namespace vsthost
