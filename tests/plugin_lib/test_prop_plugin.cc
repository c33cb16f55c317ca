// The test item plug-in's library: its entry point and the interface version
// it was built for. (Named .cc so that the test-program glob leaves this
// folder alone.) For the real program the script comes from the file that
// SLVN_PROP_SCRIPT names, and each call is appended as a line to the file
// that SLVN_PROP_RECORD names.
//
// Built in variants: SLVN_TEST_PLUGIN_VERSION exports another version,
// SLVN_TEST_PLUGIN_UNVERSIONED none.
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>

#include "plugin/test_prop_plugin.h"

#ifndef SLVN_TEST_PLUGIN_UNVERSIONED
#ifndef SLVN_TEST_PLUGIN_VERSION
#define SLVN_TEST_PLUGIN_VERSION slvn::kPropPluginVersion
#endif
extern "C" const int32_t slvn_PropPluginVersion = SLVN_TEST_PLUGIN_VERSION;
#endif

extern "C" slvn::PropPlugin* slvn_CreatePropPlugin() {
  auto plugin = std::make_unique<slvn::test::TestPropPlugin>();
  if (const char* path = std::getenv("SLVN_PROP_SCRIPT")) {
    std::ifstream script(path);
    if (!script || !slvn::test::ReadPluginScript(script, *plugin)) return nullptr;
  }
  if (plugin->throw_in == slvn::kPropPluginEntry)
    throw std::runtime_error("the test plug-in fails to start");
  if (const char* path = std::getenv("SLVN_PROP_RECORD")) {
    plugin->on_call = [record = std::string(path)](const std::string& call) {
      std::ofstream(record, std::ios::app) << call << '\n';
    };
  }
  return plugin.release();
}
