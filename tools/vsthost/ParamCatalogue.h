// What the host knows about each parameter beyond the VST 2.4 texts: its
// range in the plug-in's own units, its default and its value names. VST 2.4
// has no query for these, so they are read from a second, scratch instance
// of the plug-in by sweeping each parameter and reading its display, which
// leaves the instance that renders untouched. Used on the main thread.
#pragma once

#include "VstPlugin.h"

#include <string>
#include <vector>

namespace vsthost {

struct ParamChoice {
  std::string name;
  float normalised; // the middle of the values that show this name
};

struct ParamInfo {
  int index = 0;
  std::string name, unit;
  std::string defaultText;
  float defaultNormalised = 0.0f;
  bool numeric = false; // displays numbers between minValue and maxValue
  double minValue = 0.0, maxValue = 0.0;
  std::vector<ParamChoice> choices; // displays that are names
};

// Probes every parameter of a fresh instance made by `entry`.
std::vector<ParamInfo> ProbeParams(VstPluginMainProc entry, audioMasterCallback host,
                                   std::string& error);

// What a --set text asks of a parameter: a normalised value (a choice) or a
// number for the plug-in to parse.
struct ParamRequest {
  bool byNormalised = false;
  float normalised = 0.0f;
  std::string number;
};

// Parses `text` the way the plug-in displays the parameter: one of its value
// names (any case) or a number in its range with or without its unit. On
// failure answers false with the choices or the range in `error`.
bool ResolveParamText(const ParamInfo& param, const std::string& text, ParamRequest& out,
                      std::string& error);

// A display text as a number ("2000", " -6.5 "), if it is one.
bool DisplayNumber(const std::string& text, double& out);

} // namespace vsthost
