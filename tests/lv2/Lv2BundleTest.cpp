// The bundle as lilv reads it: loaded without a word on standard error, and every control port
// described as the effect defines its parameter.

#include "tests/lv2/Lv2TestHost.h"

#include "framework/lv2/Lv2Module.h"

#include <gtest/gtest.h>
#include <lv2/port-props/port-props.h>
#include <lv2/units/units.h>

#include <memory>

namespace quorvane {
namespace {

constexpr uint32_t kFirstControl = 6;

struct UnitRow {
  const char* text;
  const char* uri; // null: no unit
};
constexpr UnitRow kUnits[] = {
    {"", nullptr},         {"Hz", LV2_UNITS__hz}, {"%", LV2_UNITS__pc},
    {"ms", LV2_UNITS__ms}, {"dB", LV2_UNITS__db},
};

class Lv2Bundle : public ::testing::Test {
protected:
  bool Has(const LilvPort* port, const char* property) {
    LilvNode* node = lilv_new_uri(world.World(), property);
    const bool has = lilv_port_has_property(world.Plugin(), port, node);
    lilv_node_free(node);
    return has;
  }
  std::string UnitUri(const LilvPort* port) {
    LilvNode* predicate = lilv_new_uri(world.World(), LV2_UNITS__unit);
    LilvNodes* units = lilv_port_get_value(world.Plugin(), port, predicate);
    std::string uri;
    if (units != nullptr && lilv_nodes_size(units) == 1)
      uri = lilv_node_as_uri(lilv_nodes_get_first(units));
    lilv_nodes_free(units);
    lilv_node_free(predicate);
    return uri;
  }

  Lv2TestWorld world;
};

TEST_F(Lv2Bundle, LoadsWithoutAnyMessage) {
  ASSERT_NE(world.Plugin(), nullptr);
  EXPECT_TRUE(lilv_plugin_verify(world.Plugin()));
  EXPECT_EQ(world.LoadMessages(), "");
}

TEST_F(Lv2Bundle, EveryControlPortDescribesItsParameter) {
  const std::unique_ptr<IEffectBase> effect = CreateLv2Effect();
  ASSERT_EQ(lilv_plugin_get_num_ports(world.Plugin()),
            kFirstControl + static_cast<uint32_t>(effect->ParamCount()));
  for (int32_t i = 0; i < effect->ParamCount(); ++i) {
    SCOPED_TRACE(i);
    const IParameter& param = *effect->Param(i);
    const LilvPort* port = lilv_plugin_get_port_by_index(world.Plugin(), kFirstControl + i);
    const bool trigger = i == Lv2Module().triggerParam;

    LilvNode* name = lilv_port_get_name(world.Plugin(), port);
    EXPECT_STREQ(lilv_node_as_string(name), trigger ? "Envelope Reset" : param.Name());
    lilv_node_free(name);

    LilvNode *def = nullptr, *min = nullptr, *max = nullptr;
    lilv_port_get_range(world.Plugin(), port, &def, &min, &max);
    EXPECT_EQ(lilv_node_as_float(def), static_cast<float>(param.Value()));
    EXPECT_EQ(lilv_node_as_float(min), static_cast<float>(param.Minimum()));
    EXPECT_EQ(lilv_node_as_float(max), static_cast<float>(param.Maximum()));
    lilv_node_free(def);
    lilv_node_free(min);
    lilv_node_free(max);

    const UnitRow* unit = nullptr;
    for (const UnitRow& row : kUnits)
      if (std::string(row.text) == param.Unit()) unit = &row;
    ASSERT_NE(unit, nullptr) << "no row for unit " << param.Unit();
    EXPECT_EQ(UnitUri(port), unit->uri ? unit->uri : "");

    const bool choice = param.Kind() == ParamKind::Choice;
    EXPECT_EQ(Has(port, LV2_CORE__integer),
              choice || param.Kind() == ParamKind::Integer || trigger);
    EXPECT_EQ(Has(port, LV2_CORE__enumeration), choice);
    EXPECT_EQ(Has(port, LV2_CORE__toggled), trigger);
    EXPECT_EQ(Has(port, LV2_PORT_PROPS__trigger), trigger);

    LilvScalePoints* points = lilv_port_get_scale_points(world.Plugin(), port);
    EXPECT_EQ(points ? static_cast<int32_t>(lilv_scale_points_size(points)) : 0,
              param.ValueNameCount());
    LILV_FOREACH(scale_points, p, points) {
      const LilvScalePoint* point = lilv_scale_points_get(points, p);
      const auto key = static_cast<int32_t>(lilv_node_as_float(lilv_scale_point_get_value(point)));
      EXPECT_STREQ(lilv_node_as_string(lilv_scale_point_get_label(point)), param.ValueNameFor(key));
    }
    lilv_scale_points_free(points);
  }
}

TEST_F(Lv2Bundle, EveryFactoryProgramIsAPresetWithItsValues) {
  const std::unique_ptr<IEffectBase> effect = CreateLv2Effect();
  const auto presets = world.Presets();
  int32_t filled = 0;
  for (int32_t p = 0; p < effect->PresetCount(); ++p) {
    if (!effect->PresetAt(p)->initialised) continue;
    ++filled;
    SCOPED_TRACE(effect->PresetName(p));
    const auto found = presets.find(effect->PresetName(p));
    ASSERT_NE(found, presets.end());
    ASSERT_TRUE(effect->LoadPreset(p));
    ASSERT_EQ(found->second.size(), static_cast<std::size_t>(effect->ParamCount()));
    for (int32_t i = 0; i < effect->ParamCount(); ++i) {
      const LilvPort* port = lilv_plugin_get_port_by_index(world.Plugin(), kFirstControl + i);
      const char* symbol = lilv_node_as_string(lilv_port_get_symbol(world.Plugin(), port));
      EXPECT_EQ(found->second.at(symbol), static_cast<float>(effect->Param(i)->Value())) << symbol;
    }
  }
  EXPECT_EQ(presets.size(), static_cast<std::size_t>(filled));
}

} // namespace
} // namespace quorvane
