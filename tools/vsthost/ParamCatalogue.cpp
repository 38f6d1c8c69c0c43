#include "ParamCatalogue.h"

#include "TextNumbers.h"

#include <algorithm>
#include <cmath>

namespace vsthost {
namespace {

// Points of the sweep; ample for the choice lists plug-ins show.
constexpr int kSweepSteps = 256;
constexpr size_t kMaxChoices = 64;

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

ParamInfo Probe(const VstPlugin& scratch, int index) {
  ParamInfo info;
  info.index = index;
  info.name = scratch.ParamName(index);
  info.unit = Trim(scratch.ParamLabel(index));
  info.defaultText = scratch.ParamDisplay(index);
  info.defaultNormalised = scratch.ParamNormalised(index);
  struct Seen {
    std::string text;
    float first, last;
  };
  std::vector<Seen> names;
  for (int step = 0; step <= kSweepSteps; ++step) {
    const float x = static_cast<float>(step) / kSweepSteps;
    scratch.SetParamNormalised(index, x);
    const std::string text = Trim(scratch.ParamDisplay(index));
    double value;
    if (DisplayNumber(text, value)) {
      info.minValue = info.numeric ? std::min(info.minValue, value) : value;
      info.maxValue = info.numeric ? std::max(info.maxValue, value) : value;
      info.numeric = true;
    } else if (!names.empty() && names.back().text == text) {
      names.back().last = x;
    } else {
      names.push_back({text, x, x});
    }
  }
  if (names.size() <= kMaxChoices) {
    for (const Seen& seen : names)
      info.choices.push_back({seen.text, (seen.first + seen.last) / 2.0f});
  }
  scratch.SetParamNormalised(index, info.defaultNormalised);
  return info;
}

std::string RangeText(const ParamInfo& p) {
  std::string text = NumberText(p.minValue) + ".." + NumberText(p.maxValue);
  return p.unit.empty() ? text : text + " " + p.unit;
}

std::string ChoicesText(const ParamInfo& p) {
  std::string text;
  for (const ParamChoice& choice : p.choices)
    text += (text.empty() ? "" : ", ") + choice.name;
  return text;
}

} // namespace

bool DisplayNumber(const std::string& text, double& out) {
  return ParseStrictDouble(Trim(text), out);
}

std::vector<ParamInfo> ProbeParams(VstPluginMainProc entry, audioMasterCallback host,
                                   std::string& error) {
  VstPlugin scratch;
  if (!scratch.Create(entry, host, error)) return {};
  scratch.Dispatch(effOpen);
  std::vector<ParamInfo> params;
  for (int i = 0; i < scratch.ParamCount(); ++i)
    params.push_back(Probe(scratch, i));
  return params;
}

bool ResolveParamText(const ParamInfo& param, const std::string& text, ParamRequest& out,
                      std::string& error) {
  const std::string wanted = Trim(text);
  for (const ParamChoice& choice : param.choices) {
    if (!choice.name.empty() && SameIgnoringCase(choice.name, wanted)) {
      out = ParamRequest{true, choice.normalised, {}};
      return true;
    }
  }
  if (!param.numeric && param.choices.empty()) {
    // Free text that cannot be checked here: the plug-in is the judge.
    out = ParamRequest{false, 0.0f, wanted};
    return true;
  }
  if (param.numeric) {
    // The number, then optionally the unit as the plug-in shows it.
    std::string number = wanted;
    if (!param.unit.empty() && wanted.size() > param.unit.size() &&
        SameIgnoringCase(wanted.substr(wanted.size() - param.unit.size()), param.unit)) {
      number = Trim(wanted.substr(0, wanted.size() - param.unit.size()));
    }
    double value;
    const double slack = 1e-9 * std::max(1.0, std::fabs(param.maxValue - param.minValue));
    if (ParseStrictDouble(number, value) && value >= param.minValue - slack &&
        value <= param.maxValue + slack) {
      out = ParamRequest{false, 0.0f, number};
      return true;
    }
  }
  std::string allowed;
  if (param.numeric) allowed = "a number in " + RangeText(param);
  if (!param.choices.empty())
    allowed += (allowed.empty() ? "one of " : ", or one of ") + ChoicesText(param);
  error = "'" + text + "' is not a value of parameter " + std::to_string(param.index) + " (" +
          param.name + "): " + (allowed.empty() ? "it takes no text" : "give " + allowed);
  return false;
}

} // namespace vsthost
